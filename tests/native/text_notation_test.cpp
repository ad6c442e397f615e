// The conversions every tool shares: Windows-1252 <-> UTF-8 with the place and the character
// of a failure, and the "#RRGGBB" colour notation over the stored 0x00BBGGRR layout.
#include <gtest/gtest.h>

#include <string>

#include "common/cp1252.h"
#include "common/rgb_text.h"

TEST(Cp1252, EveryByteSurvivesTheRoundTrip) {
    std::string all;
    for (int i = 1; i < 256; ++i) all.push_back(static_cast<char>(i));
    std::string back;
    ASSERT_TRUE(Utf8ToCp1252(Cp1252ToUtf8(all), &back));
    EXPECT_EQ(back, all);  // the unassigned 0x81, 0x8D, 0x8F, 0x90, 0x9D included
}

TEST(Cp1252, ConvertsOrSaysWhereAndWhat) {
    struct Case {
        const char* utf8;
        const char* cp1252;    // nullptr: refused
        std::size_t offset;    // of the refused sequence
        uint32_t codePoint;
        const char* description;
    };
    const Case cases[] = {
        {"gr\xC3\xBCn \xE2\x82\xAC \xE2\x80\x93 \xC5\xB8", "gr\xFCn \x80 \x96 \x9F", 0, 0, nullptr},
        {"\xC2\x81", "\x81", 0, 0, nullptr},
        {"ab \xE2\x86\x92", nullptr, 3, 0x2192, "\"\xE2\x86\x92\" (U+2192), which Windows-1252 cannot hold"},
        {"\xF0\x9F\x98\x80", nullptr, 0, 0x1F600, "\"\xF0\x9F\x98\x80\" (U+1F600), which Windows-1252 cannot hold"},
        {"x\xC2\x80", nullptr, 1, 0x80, "(U+0080), which Windows-1252 cannot hold"},  // 0x80 is the euro sign
        {"gr\xFCn", nullptr, 2, kNotUtf8, "the byte 0xFC, which is not valid UTF-8"},  // Windows-1252 input
        {"a\xC3", nullptr, 1, kNotUtf8, "the byte 0xC3, which is not valid UTF-8"},    // cut sequence
        {"\xC0\xAF", nullptr, 0, kNotUtf8, "the byte 0xC0, which is not valid UTF-8"},  // overlong '/'
        {"\xED\xA0\x80", nullptr, 0, kNotUtf8, "the byte 0xED, which is not valid UTF-8"},  // a surrogate
    };
    for (const Case& c : cases) {
        std::string out;
        stCp1252Failure failure{};
        bool ok = Utf8ToCp1252(c.utf8, &out, &failure);
        ASSERT_EQ(ok, c.cp1252 != nullptr) << c.utf8;
        if (ok) {
            EXPECT_EQ(out, c.cp1252);
            continue;
        }
        EXPECT_EQ(failure.offset, c.offset) << c.utf8;
        EXPECT_EQ(failure.codePoint, c.codePoint) << c.utf8;
        EXPECT_EQ(DescribeCp1252Failure(c.utf8, failure), c.description);
    }
    EXPECT_EQ(Utf8Column("x\nGr\xC3\xBC\xC3\x9F\xE2\x86\x92", 2, 8), 5u);  // characters, not bytes
}

TEST(RgbText, HashNotationOverTheStoredLayout) {
    const struct {
        const char* text;
        uint32_t stored;
    } pairs[] = {{"#FF0000", 0x0000FF}, {"#00FF00", 0x00FF00}, {"#0000FF", 0xFF0000}, {"#A0C81E", 0x1EC8A0}};
    for (const auto& p : pairs) {
        uint32_t colour = 0;
        EXPECT_TRUE(ParseRgbHex(p.text, &colour)) << p.text;
        EXPECT_EQ(colour, p.stored) << p.text;
        EXPECT_EQ(FormatRgbHex(p.stored), p.text);
    }
    uint32_t colour = 0;
    EXPECT_TRUE(ParseRgbHex("#a0c81e", &colour));
    EXPECT_EQ(colour, 0x1EC8A0u);
    EXPECT_EQ(FormatRgbHex(0x7F1EC8A0), "#A0C81E");  // only the colour bits
    for (const char* bad : {"#12345", "#1234567", "A0C81E", "#GG0000", "#A0C81E ", "# A0C81", "#+1+2+3", ""})
        EXPECT_FALSE(ParseRgbHex(bad, &colour)) << bad;
}
