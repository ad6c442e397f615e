#include "common/cp1252.h"

#include <cstdio>

namespace {

// Code points of the bytes 0x80..0x9F; 0 marks the five unassigned bytes.
const uint16_t kHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                            0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

uint32_t CodePointOfByte(unsigned char c) {
    if (c < 0x80 || c > 0x9F) return c;
    return kHigh[c - 0x80] ? kHigh[c - 0x80] : c;
}

// The byte for a code point, or -1.
int ByteOfCodePoint(uint32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    if (cp >= 0x80 && cp <= 0x9F) return kHigh[cp - 0x80] ? -1 : static_cast<int>(cp);
    for (int k = 0; k < 32; ++k)
        if (kHigh[k] == cp) return 0x80 + k;
    return -1;
}

// Reads one strict UTF-8 character at `i`; returns its length, or 0 when the bytes there are
// not UTF-8.
std::size_t ReadUtf8(const std::string& s, std::size_t i, uint32_t* cp) {
    static const uint32_t kLowest[4] = {0, 0x80, 0x800, 0x10000};
    auto c = static_cast<unsigned char>(s[i]);
    std::size_t extra;
    if (c < 0x80) { *cp = c; return 1; }
    if ((c & 0xE0) == 0xC0) { *cp = c & 0x1Fu; extra = 1; }
    else if ((c & 0xF0) == 0xE0) { *cp = c & 0x0Fu; extra = 2; }
    else if ((c & 0xF8) == 0xF0) { *cp = c & 0x07u; extra = 3; }
    else return 0;
    if (i + extra >= s.size()) return 0;
    for (std::size_t k = 1; k <= extra; ++k) {
        auto d = static_cast<unsigned char>(s[i + k]);
        if ((d & 0xC0) != 0x80) return 0;
        *cp = (*cp << 6) | (d & 0x3Fu);
    }
    if (*cp < kLowest[extra] || *cp > 0x10FFFF || (*cp >= 0xD800 && *cp <= 0xDFFF)) return 0;
    return extra + 1;
}
}  // namespace

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string Cp1252ToUtf8(const std::string& cp1252) {
    std::string out;
    out.reserve(cp1252.size());
    for (char ch : cp1252) AppendUtf8(out, CodePointOfByte(static_cast<unsigned char>(ch)));
    return out;
}

bool Utf8ToCp1252(const std::string& utf8, std::string* cp1252, stCp1252Failure* failure) {
    cp1252->clear();
    for (std::size_t i = 0; i < utf8.size();) {
        uint32_t cp = 0;
        std::size_t length = ReadUtf8(utf8, i, &cp);
        int byte = length ? ByteOfCodePoint(cp) : -1;
        if (byte < 0) {
            if (failure) *failure = {i, length ? length : 1, length ? cp : kNotUtf8};
            return false;
        }
        *cp1252 += static_cast<char>(byte);
        i += length;
    }
    return true;
}

std::string DescribeCp1252Failure(const std::string& utf8, const stCp1252Failure& failure) {
    char buffer[64];
    if (failure.codePoint == kNotUtf8) {
        unsigned byte = failure.offset < utf8.size() ? static_cast<unsigned char>(utf8[failure.offset]) : 0;
        std::snprintf(buffer, sizeof buffer, "the byte 0x%02X, which is not valid UTF-8", byte);
        return buffer;
    }
    std::string shown;
    if (failure.codePoint >= 0x20 && !(failure.codePoint >= 0x7F && failure.codePoint <= 0x9F))
        shown = "\"" + utf8.substr(failure.offset, failure.length) + "\" ";
    std::snprintf(buffer, sizeof buffer, "(U+%04X), which Windows-1252 cannot hold", failure.codePoint);
    return shown + buffer;
}

std::size_t Utf8Column(const std::string& utf8, std::size_t lineStart, std::size_t offset) {
    std::size_t column = 1;
    for (std::size_t i = lineStart; i < offset && i < utf8.size(); ++i)
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) ++column;
    return column;
}
