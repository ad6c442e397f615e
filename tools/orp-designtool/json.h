// A small strict JSON reader for the design tool's descriptions: objects, arrays, strings,
// integers, true/false/null. No comments, no trailing commas, no duplicate keys, no fractions;
// every error names its line.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

struct JsonValue {
    enum class Kind { kNull, kBool, kInteger, kString, kArray, kObject };
    Kind kind = Kind::kNull;
    int line = 0;
    bool boolean = false;
    int64_t integer = 0;
    std::string text;  // UTF-8
    std::vector<JsonValue> items;
    std::vector<std::pair<std::string, JsonValue>> members;  // file order

    const JsonValue* Find(const std::string& key) const {
        for (const auto& m : members)
            if (m.first == key) return &m.second;
        return nullptr;
    }
};

// Parses `text`; on failure returns false with "line N: message" in *error.
bool ParseJson(const std::string& text, JsonValue* out, std::string* error);

// JSON string literal of UTF-8 text.
std::string JsonQuote(const std::string& utf8);
