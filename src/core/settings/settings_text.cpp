#include "settings/settings_text.h"

#include <cctype>
#include <climits>
#include <cstring>

namespace {
unsigned char* FieldOf(stSettings& settings, const stSettingValue& value) {
    return reinterpret_cast<unsigned char*>(&settings) + value.offset;
}

bool SameNoCase(const std::string& a, const char* b) {
    if (a.size() != std::strlen(b)) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// Whole decimal text only: "12abc" or "" would be stored as a different number than typed.
bool ParseWholeNumber(const std::string& text, int32_t* out) {
    if (text.empty()) return false;
    std::size_t i = text[0] == '-' || text[0] == '+' ? 1 : 0;
    if (i == text.size()) return false;
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT32_MAX) + 1) return false;
    }
    if (text[0] == '-') value = -value;
    if (value > INT32_MAX || value < INT32_MIN) return false;
    *out = static_cast<int32_t>(value);
    return true;
}
}  // namespace

std::string SettingValueText(const stSettings& settings, const stSettingValue& value) {
    const unsigned char* field = reinterpret_cast<const unsigned char*>(&settings) + value.offset;
    switch (value.kind) {
    case SettingKind::kNumber: {
        int32_t number;
        std::memcpy(&number, field, sizeof number);
        return FormatSettingNumber(number);
    }
    case SettingKind::kText:
        return std::string(reinterpret_cast<const char*>(field), strnlen(reinterpret_cast<const char*>(field), value.size));
    case SettingKind::kPlacement: {
        stWindowPlacement p;
        std::memcpy(&p, field, sizeof p);
        if (p.length == 0) return "";
        return std::to_string(p.left) + "," + std::to_string(p.top) + "," + std::to_string(p.right) + "," +
               std::to_string(p.bottom);
    }
    }
    return "";
}

const stSettingValue* FindSettingValueNoCase(const std::string& name) {
    std::size_t count = 0;
    const stSettingValue* values = SettingValues(&count);
    for (std::size_t i = 0; i < count; ++i)
        if (SameNoCase(name, values[i].name)) return &values[i];
    return nullptr;
}

bool SetSettingFromText(stSettings& settings, const stSettingValue& value, const std::string& text,
                        std::string* error) {
    unsigned char* field = FieldOf(settings, value);
    switch (value.kind) {
    case SettingKind::kNumber: {
        int32_t number = 0;
        if (!ParseWholeNumber(text, &number)) {
            *error = std::string(value.name) + " takes a whole number, not \"" + text + "\"";
            return false;
        }
        std::memcpy(field, &number, sizeof number);
        return true;
    }
    case SettingKind::kText:
        if (text.size() >= value.size || text.find('\0') != std::string::npos) {
            *error = std::string(value.name) + " holds at most " + std::to_string(value.size - 1) + " bytes";
            return false;
        }
        std::memcpy(field, text.c_str(), text.size() + 1);
        return true;
    case SettingKind::kPlacement:
        *error = std::string(value.name) + " is recorded by the panel when its windows move; it cannot be set";
        return false;
    }
    return false;
}
