// The design tool's JSON reader: strictness with line numbers, and the Windows-1252 mapping
// that decides which texts can go into a design.
#include <gtest/gtest.h>

#include <string>

#include "../../tools/orp-designtool/json.cpp"  // the tool's reader, compiled into the tests

namespace {

std::string ErrorOf(const std::string& text) {
    JsonValue v;
    std::string error;
    EXPECT_FALSE(ParseJson(text, &v, &error)) << text;
    return error;
}

TEST(DesignJson, ReadsNestedValuesInFileOrder) {
    JsonValue v;
    std::string error;
    ASSERT_TRUE(ParseJson("{\"b\": [1, -2, \"x\\u00fc\\n\"],\n \"a\": {\"t\": true, \"n\": null}}", &v, &error)) << error;
    ASSERT_EQ(2u, v.members.size());
    EXPECT_EQ("b", v.members[0].first);
    EXPECT_EQ(-2, v.members[0].second.items[1].integer);
    EXPECT_EQ("x\xC3\xBC\n", v.members[0].second.items[2].text);
    EXPECT_EQ(2, v.Find("a")->line);
    EXPECT_TRUE(v.Find("a")->Find("t")->boolean);
}

TEST(DesignJson, RefusesWhatIsNotStrictJsonAndNamesTheLine) {
    EXPECT_EQ("line 3: member name in quotes expected", ErrorOf("{\n\"a\": 1,\n}"));
    EXPECT_EQ("line 1: member \"a\" appears twice", ErrorOf("{\"a\": 1, \"a\": 2}"));
    EXPECT_EQ("line 2: only whole numbers are allowed (lengths are nanometres)", ErrorOf("[\n1.5]"));
    EXPECT_EQ("line 1: number out of range", ErrorOf("[99999999999]"));
    EXPECT_EQ("line 1: numbers must not start with 0", ErrorOf("[012]"));
    EXPECT_EQ("line 1: unexpected character '/'", ErrorOf("// note\n{}"));
    EXPECT_EQ("line 2: unexpected text after the end of the document", ErrorOf("{}\n{}"));
    EXPECT_EQ("line 1: string not closed", ErrorOf("[\"abc"));
    EXPECT_EQ("line 1: nested too deeply", ErrorOf(std::string(40, '[') + std::string(40, ']')));
}

TEST(DesignJson, Windows1252Conversion) {
    std::string cp;
    ASSERT_TRUE(Utf8ToCp1252("gr\xC3\xBCn \xE2\x82\xAC \xE2\x80\x93", &cp));
    EXPECT_EQ("gr\xFC" "n \x80 \x96", cp);
    EXPECT_EQ("gr\xC3\xBCn \xE2\x82\xAC \xE2\x80\x93", Cp1252ToUtf8(cp));
    EXPECT_FALSE(Utf8ToCp1252("\xE2\x86\x90", &cp));  // an arrow has no Windows-1252 code
    EXPECT_FALSE(Utf8ToCp1252("\xC3", &cp));          // cut sequence
    EXPECT_EQ("\"a\\\"b\\\\c\\r\\n\\u0001\"", JsonQuote("a\"b\\c\r\n\x01"));
}

}  // namespace
