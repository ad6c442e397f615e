#include "json.h"

#include <cstdio>

#include "common/cp1252.h"

namespace {

class Parser {
public:
    Parser(const std::string& text, std::string* error) : s_(text), error_(error) {}

    bool Document(JsonValue* out) {
        if (!Value(out, 0)) return false;
        Space();
        if (pos_ != s_.size()) return Fail("unexpected text after the end of the document");
        return true;
    }

private:
    bool Fail(const std::string& message) {
        if (error_->empty()) *error_ = "line " + std::to_string(line_) + ": " + message;
        return false;
    }
    void Space() {
        while (pos_ < s_.size()) {
            char c = s_[pos_];
            if (c == '\n') ++line_;
            if (c != ' ' && c != '\t' && c != '\r' && c != '\n') break;
            ++pos_;
        }
    }
    bool Literal(const char* word) {
        std::string w(word);
        if (s_.compare(pos_, w.size(), w) != 0) return Fail("unknown word");
        pos_ += w.size();
        return true;
    }
    bool Value(JsonValue* v, int depth) {
        if (depth > 32) return Fail("nested too deeply");
        Space();
        v->line = line_;
        if (pos_ >= s_.size()) return Fail("unexpected end of the document");
        char c = s_[pos_];
        if (c == '{') return Object(v, depth);
        if (c == '[') return Array(v, depth);
        if (c == '"') {
            v->kind = JsonValue::Kind::kString;
            return String(&v->text);
        }
        if (c == '-' || (c >= '0' && c <= '9')) return Integer(v);
        if (c == 't') {
            v->kind = JsonValue::Kind::kBool;
            v->boolean = true;
            return Literal("true");
        }
        if (c == 'f') {
            v->kind = JsonValue::Kind::kBool;
            return Literal("false");
        }
        if (c == 'n') return Literal("null");
        return Fail(std::string("unexpected character '") + c + "'");
    }
    bool Integer(JsonValue* v) {
        v->kind = JsonValue::Kind::kInteger;
        bool negative = s_[pos_] == '-';
        if (negative) ++pos_;
        if (pos_ >= s_.size() || s_[pos_] < '0' || s_[pos_] > '9') return Fail("digit expected");
        if (s_[pos_] == '0' && pos_ + 1 < s_.size() && s_[pos_ + 1] >= '0' && s_[pos_ + 1] <= '9')
            return Fail("numbers must not start with 0");
        uint64_t value = 0;
        while (pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9') {
            value = value * 10 + static_cast<uint64_t>(s_[pos_++] - '0');
            if (value > 0xFFFFFFFFull) return Fail("number out of range");
        }
        if (pos_ < s_.size() && (s_[pos_] == '.' || s_[pos_] == 'e' || s_[pos_] == 'E'))
            return Fail("only whole numbers are allowed (lengths are nanometres)");
        v->integer = negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value);
        return true;
    }
    bool Hex4(uint32_t* out) {
        if (pos_ + 4 > s_.size()) return Fail("short \\u escape");
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            char c = s_[pos_++];
            v <<= 4;
            if (c >= '0' && c <= '9') v |= static_cast<uint32_t>(c - '0');
            else if (c >= 'a' && c <= 'f') v |= static_cast<uint32_t>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F') v |= static_cast<uint32_t>(c - 'A' + 10);
            else return Fail("bad \\u escape");
        }
        *out = v;
        return true;
    }
    bool String(std::string* out) {
        ++pos_;  // opening quote
        while (true) {
            if (pos_ >= s_.size()) return Fail("string not closed");
            char c = s_[pos_++];
            if (c == '"') return true;
            if (static_cast<unsigned char>(c) < 0x20) return Fail("control character in a string (write \\n, \\r, \\t)");
            if (c != '\\') {
                *out += c;
                continue;
            }
            if (pos_ >= s_.size()) return Fail("string not closed");
            char e = s_[pos_++];
            switch (e) {
                case '"': *out += '"'; break;
                case '\\': *out += '\\'; break;
                case '/': *out += '/'; break;
                case 'b': *out += '\b'; break;
                case 'f': *out += '\f'; break;
                case 'n': *out += '\n'; break;
                case 'r': *out += '\r'; break;
                case 't': *out += '\t'; break;
                case 'u': {
                    uint32_t cp = 0;
                    if (!Hex4(&cp)) return false;
                    if (cp >= 0xD800 && cp <= 0xDFFF) return Fail("surrogate escapes are not supported");
                    AppendUtf8(*out, cp);
                    break;
                }
                default: return Fail(std::string("unknown escape \\") + e);
            }
        }
    }
    bool Array(JsonValue* v, int depth) {
        v->kind = JsonValue::Kind::kArray;
        ++pos_;
        Space();
        if (pos_ < s_.size() && s_[pos_] == ']') {
            ++pos_;
            return true;
        }
        while (true) {
            v->items.emplace_back();
            if (!Value(&v->items.back(), depth + 1)) return false;
            Space();
            if (pos_ >= s_.size()) return Fail("array not closed");
            char c = s_[pos_++];
            if (c == ']') return true;
            if (c != ',') return Fail("',' or ']' expected");
        }
    }
    bool Object(JsonValue* v, int depth) {
        v->kind = JsonValue::Kind::kObject;
        ++pos_;
        Space();
        if (pos_ < s_.size() && s_[pos_] == '}') {
            ++pos_;
            return true;
        }
        while (true) {
            Space();
            if (pos_ >= s_.size() || s_[pos_] != '"') return Fail("member name in quotes expected");
            std::string key;
            if (!String(&key)) return false;
            if (v->Find(key)) return Fail("member \"" + key + "\" appears twice");
            Space();
            if (pos_ >= s_.size() || s_[pos_] != ':') return Fail("':' expected after \"" + key + "\"");
            ++pos_;
            v->members.emplace_back(key, JsonValue());
            if (!Value(&v->members.back().second, depth + 1)) return false;
            Space();
            if (pos_ >= s_.size()) return Fail("object not closed");
            char c = s_[pos_++];
            if (c == '}') return true;
            if (c != ',') return Fail("',' or '}' expected");
        }
    }

    const std::string& s_;
    std::string* error_;
    std::size_t pos_ = 0;
    int line_ = 1;
};
}  // namespace

bool ParseJson(const std::string& text, JsonValue* out, std::string* error) {
    error->clear();
    *out = JsonValue();
    return Parser(text, error).Document(out);
}

std::string JsonQuote(const std::string& utf8) {
    std::string out = "\"";
    for (char c : utf8) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(c));
                    out += buf;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}
