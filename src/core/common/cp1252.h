// Windows-1252 <-> UTF-8.
//
// The panel's files and records hold single-byte Windows-1252 text; the command-line tools read
// and write UTF-8. Both directions live here so that every tool converts the same way. The five
// bytes that Windows-1252 leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the C1 controls
// of the same number, as Windows' own conversion does, and come back as those bytes: any byte
// string survives the round trip.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Appends the UTF-8 sequence of one code point (at most U+10FFFF).
void AppendUtf8(std::string& out, uint32_t codePoint);

std::string Cp1252ToUtf8(const std::string& cp1252);

constexpr uint32_t kNotUtf8 = 0xFFFFFFFF;

// Where Utf8ToCp1252 stopped.
struct stCp1252Failure {
    std::size_t offset;   // byte offset of the offending sequence in the UTF-8 text
    std::size_t length;   // its length in bytes
    uint32_t codePoint;   // the character Windows-1252 has no byte for, or kNotUtf8
};

// Converts strict UTF-8 (no overlong forms, no encoded surrogates). Fails at the first character
// that Windows-1252 cannot hold or the first bytes that are not UTF-8; `failure` (may be null)
// then says where, and `cp1252` holds the text converted up to there.
bool Utf8ToCp1252(const std::string& utf8, std::string* cp1252, stCp1252Failure* failure = nullptr);

// A phrase for error messages: "\"→\" (U+2192), which Windows-1252 cannot hold" or
// "the byte 0xFC, which is not UTF-8".
std::string DescribeCp1252Failure(const std::string& utf8, const stCp1252Failure& failure);

// 1-based column (in characters) of byte `offset` in a line of UTF-8 text that starts at
// `lineStart`.
std::size_t Utf8Column(const std::string& utf8, std::size_t lineStart, std::size_t offset);
