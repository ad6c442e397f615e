// The design tool's JSON reader: strictness with line numbers, and the Windows-1252 mapping
// that decides which texts can go into a design; the built tool's refusals and their messages.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
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

// The built tool on small descriptions: what it refuses, where it says so, what it keeps.
TEST(DesignTool, TextColoursAndTheLcdFrame) {
    namespace fs = std::filesystem;
    fs::path tool = fs::read_symlink("/proc/self/exe").parent_path() / ".." / ".." / "tools" / "orp-designtool";
    if (!fs::exists(tool)) GTEST_SKIP() << "orp-designtool not built";
    fs::path dir = fs::temp_directory_path() / ("orp-designtool-test-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string json = (dir / "d.json").string(), orp = (dir / "d.orp").string();
    const std::string err = (dir / "err.txt").string(), out = (dir / "out.json").string();
    auto slurp = [](const std::string& path) {
        std::ifstream f(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(f)), {});
    };
    auto key = [](const std::string& name, const std::string& colour) {
        return "{\"keys\": [{\"name\": \"" + name + "\", \"id\": 0, \"pixelRect\": [0, 0, 9, 9],\n \"colour\": \"" +
               colour + "\"}]}";
    };
    auto lcd = [](int width) {
        return "{\"lcd\": {\"name\": \"4x20\", \"characters\": 20, \"lines\": 4,\n \"width\": " + std::to_string(width) +
               ", \"height\": 25200000, \"charX\": 2950000, \"charY\": 4750000, \"dotX\": 600000, \"dotY\": 600000,\n"
               " \"placement\": {\"pixelRect\": [0, 0, 10, 10]}}}";
    };
    const struct {
        std::string doc;
        const char* option;
        bool ok;
        const char* stderrHas;  // "": nothing on stderr
        const char* dumpHas;    // checked in the dump when built
    } cases[] = {
        {key("gr\xC3\xBCn \xE2\x82\xAC", "#A0C81E"), "", true, "", "\"name\": \"gr\xC3\xBCn \xE2\x82\xAC\""},
        {key("x", "#A0C81E"), "", true, "", "\"colour\": \"#A0C81E\""},
        {key("a\xE2\x86\x92", "#000000"), "", false,
         "d.json:1: \"name\" holds \"\xE2\x86\x92\" (U+2192), which Windows-1252 cannot hold", nullptr},
        {key("x", "#00000"), "", false, "d.json:2: colour must be \"#RRGGBB\"", nullptr},
        {"{\"tips\": [\"ok\",\n \"gr\xFCn\"]}", "", false, "d.json:2: a tip holds the byte 0xFC, which is not valid UTF-8",
         nullptr},
        {lcd(76000000), "", true, "", "\"characters\": 20"},
        {lcd(64500000), "", false,
         "d.json:2: the LCD's 4 lines of 20 characters need 70.400 x 20.800 mm, more than its frame (width x height) of "
         "64.500 x 25.200 mm",
         nullptr},
        {lcd(64500000), "--allow-clipped-lcd ", true, "warning: the LCD's 4 lines of 20 characters", "\"width\": 64500000"},
    };
    for (const auto& c : cases) {
        std::ofstream(json, std::ios::binary) << c.doc;
        fs::remove(orp);
        int rc = std::system((tool.string() + " build " + c.option + json + " " + orp + " 2>" + err).c_str());
        EXPECT_EQ(rc == 0, c.ok) << c.doc;
        std::string messages = slurp(err);
        if (*c.stderrHas) EXPECT_NE(messages.find(c.stderrHas), std::string::npos) << messages;
        else EXPECT_EQ(messages, "") << c.doc;
        if (!c.ok) {
            EXPECT_FALSE(fs::exists(orp)) << c.doc;
            continue;
        }
        ASSERT_EQ(std::system((tool.string() + " dump " + orp + " >" + out + " 2>" + err).c_str()), 0);
        EXPECT_NE(slurp(out).find(c.dumpHas), std::string::npos) << slurp(out);
    }
    fs::remove_all(dir);
}
