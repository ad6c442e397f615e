// LCD type library: the file codec, the parser's rules (header, key order, units, colours, menu
// ids, limits) and the folder scan, including a round trip through orp-lcdtool.
#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/alloc.h"
#include "fake_platform.h"
#include "lcd/lcd_draw.h"
#include "lcd/lcd_library.h"
#include "monitor/trace.h"
#include "panel/panel.h"
#include "test_panel.h"

namespace fs = std::filesystem;

namespace {
std::vector<std::string> g_trace;
void RecordTrace(const char* text) { g_trace.emplace_back(text); }

class LcdLibraryTest : public ::testing::Test {
protected:
    stObjList* list = nullptr;
    fs::path folder;
    stLcdLibrary library;
    stLcdDrawState draw;
    MonitorOutput& monitor = TestPanel().monitor;  // the fake platform's trace

    FakePlatformScope platform_;
    void SetUp() override {
        g_trace.clear();
        platform_.fake.trace = RecordTrace;
        list = NewObjList(TestPanel().heap);
        library.heap = &TestPanel().heap;
        folder = fs::temp_directory_path() / ("orp-lcd-test-" + std::to_string(getpid()));
        fs::remove_all(folder);
    }
    void TearDown() override {
        TestPanel().heap.FailAllocationAfter(-1);
        FreeLcdTypeList(list);
        FreeLcdLibrary(library, draw);
        fs::remove_all(folder);
    }
    // Parses "[LCD TYPES]\n" + body as file `index`.
    int Parse(const std::string& body, int index = 0, stObjList* into = nullptr) {
        std::string text = std::string("KAVO\x01[LCD TYPES]\n") + body;
        return ParseLcdText(monitor, text.data(), text.size(), index, into ? into : list);
    }
    stLcdType* Type(int position, stObjList* of = nullptr) {
        stListNode* node = (of ? of : list)->first;
        for (int i = 0; node && i < position; ++i) node = node->next;
        return node ? static_cast<stLcdType*>(node->item) : nullptr;
    }
    void WriteEncoded(const fs::path& path, const std::string& plain) {
        std::string text = EncodeLcdFile(plain.data(), plain.size());
        std::ofstream(path, std::ios::binary) << text;
    }
};
}  // namespace

TEST_F(LcdLibraryTest, CodecIsStableAndSymmetric) {
    // Changing the key stream constants would make every existing file unreadable.
    const char plain[] = "KAVO\x01[LCD TYPES]\nName=A\n";
    EXPECT_EQ(EncodeLcdFile(plain, sizeof plain - 1), "96A9DBF1C03745597770C1E3F709345B5ABBEB14291E3F25");
    std::string all;
    for (int i = 0; i < 600; ++i) all.push_back(static_cast<char>(i * 7));
    std::string text = EncodeLcdFile(all.data(), all.size());
    EXPECT_EQ(DecodeLcdFile(text.data(), text.size()), all);
    text.push_back('7');  // a final unpaired character is ignored
    EXPECT_EQ(DecodeLcdFile(text.data(), text.size()), all);
}

TEST_F(LcdLibraryTest, HeaderAndMagic) {
    std::string noMagic = "KAVX\x01[LCD TYPES]\nName=A\n";
    EXPECT_EQ(ParseLcdText(monitor, noMagic.data(), noMagic.size(), 0, list), -1);
    EXPECT_TRUE(g_trace.empty());
    std::string crHeader = "KAVO\x01[LCD TYPES]\r\nName=A\n";
    EXPECT_EQ(ParseLcdText(monitor, crHeader.data(), crHeader.size(), 0, list), -2);
    ASSERT_EQ(g_trace.size(), 1u);
    EXPECT_EQ(g_trace[0], "** This is not a lcd config file\r\n");
    std::string blankLines = "KAVO\x01\n\r\n[LCD TYPES]\n\n\r\nName=A";  // runs of CR/LF skipped
    EXPECT_EQ(ParseLcdText(monitor, blankLines.data(), blankLines.size(), 0, list), 1);
    EXPECT_STREQ(Type(0)->name, "A");
    std::string onlyMagic = "KAVO\x01";
    EXPECT_EQ(ParseLcdText(monitor, onlyMagic.data(), onlyMagic.size(), 0, list), -2);
    EXPECT_EQ(ParseLcdFileBytes(monitor, "00112233", 8, 0, list), -1);  // garbage decodes without the magic
}

TEST_F(LcdLibraryTest, ValuesUnitsColoursAndKeyOrder) {
    EXPECT_EQ(Parse("Lines=2\n"                       // before the first Name=: dropped
                    "Name=First\n"
                    "Characters= -3x\n"
                    "w=80\ncharX=2.95\ndotX=5e-1\nh=0.0000019\n"
                    "BlColorOn=0,255,0\nBlColorOff=10,20,30\nTextColor=255,0,0\n"
                    "Tooltip=see w=12 here\n"         // w= comes first in the key order
                    "fontX=7\nfontY=300\n"
                    "Name=Second\nFont=Cyrillic\nCharacters=16\nTooltip=plain\n"),
              2);
    stLcdType* a = Type(0);
    EXPECT_STREQ(a->name, "First");
    EXPECT_STREQ(a->font, "N");
    EXPECT_STREQ(a->tooltip, "");
    EXPECT_EQ(a->metrics.lines, 0);  // set back to the default by Name=
    EXPECT_EQ(a->metrics.characters, -3);
    EXPECT_EQ(a->metrics.width, 0);  // the Tooltip= line is a w= line: "see w=12 here" reads as 0
    EXPECT_EQ(a->metrics.charX, 2950000);
    EXPECT_EQ(a->metrics.dotX, 500000);
    EXPECT_EQ(a->metrics.height, 1);
    EXPECT_EQ(a->metrics.fontX, 7);
    EXPECT_EQ(a->metrics.fontY, 44);  // kept in 8 bits
    EXPECT_EQ(a->colours.backlightOn, 0x0000FF00u);
    EXPECT_EQ(a->colours.background, 0x0000FF00u);
    EXPECT_EQ(a->colours.backlightOff, 0x000A141Eu);
    EXPECT_EQ(a->colours.dot, 0x00FF0000u);
    stLcdType* b = Type(1);
    EXPECT_STREQ(b->font, "Cyrillic");
    EXPECT_EQ(b->metrics.characters, 16);
    EXPECT_STREQ(b->tooltip, "plain");
}

TEST_F(LcdLibraryTest, NamelessTypesDroppedAndEmptyNamesInARow) {
    EXPECT_EQ(Parse("Lines=4\nName=\nName=One\nName=Two\nLines=2\n"), 2);
    EXPECT_STREQ(Type(0)->name, "One");
    EXPECT_EQ(Type(0)->metrics.lines, 0);
    EXPECT_EQ(Type(0)->placement.id, 32860);
    EXPECT_EQ(Type(1)->placement.id, 32861);
    EXPECT_EQ(Type(1)->metrics.lines, 2);
    EXPECT_EQ(Type(1)->placement.logicalRect.x, -1);  // not placed yet
}

TEST_F(LcdLibraryTest, MalformedValuesGetSafeResults) {
    std::string longName(400, 'n'), longTip(3000, 't'), longLine(5000, 'x');
    EXPECT_EQ(Parse("Name=" + longName + "\nTooltip=" + longTip + "\nFont=" + longName +
                    "\nBlColorOn=77\nBlColorOff=1,2\nTextColor=-5,999,12,40\nw=1e30\nh=-1e30\ncharX=nan\n"
                    "Name=" + longLine + "\n"),
              2);
    stLcdType* a = Type(0);
    EXPECT_EQ(std::string(a->name).size(), 259u);
    EXPECT_EQ(std::string(a->tooltip).size(), 2599u - 8);  // the line was cut to 2599 characters
    EXPECT_EQ(std::string(a->font).size(), 259u);
    EXPECT_EQ(a->colours.backlightOn, 0x004D0000u);   // blue 77, the missing parts 0
    EXPECT_EQ(a->colours.backlightOff, 0x00010200u);
    EXPECT_EQ(a->colours.dot, 0x0000FF0Cu);            // clamped to 0..255, extra parts ignored
    EXPECT_EQ(a->metrics.width, INT32_MAX);
    EXPECT_EQ(a->metrics.height, INT32_MIN);
    EXPECT_EQ(a->metrics.charX, 0);
    EXPECT_EQ(std::string(Type(1)->name).size(), 259u);  // the 2599-character line, then the name cut
}

TEST_F(LcdLibraryTest, MenuIdsNeverRunIntoTheNextFile) {
    EXPECT_EQ(LcdMenuBase(1), 32890);
    EXPECT_EQ(LcdMenuBase(7), 33070);
    EXPECT_EQ(LcdMenuBase(8), 34000);
    EXPECT_EQ(LcdMenuBase(12), 34120);
    EXPECT_EQ(LcdMenuBase(13), -1);
    std::string many;
    for (int i = 0; i < 32; ++i) many += "Name=T" + std::to_string(i) + "\n";
    EXPECT_EQ(Parse(many, 7), 30);
    EXPECT_EQ(Type(29)->placement.id, 33099);
    EXPECT_EQ(g_trace.size(), 2u);
    stObjList* other = NewObjList(TestPanel().heap);
    EXPECT_EQ(Parse("Name=X\n", 13, other), 0);
    EXPECT_EQ(other->count, 0);
    EXPECT_EQ(g_trace.size(), 3u);
    FreeLcdTypeList(other);
}

TEST_F(LcdLibraryTest, OutOfMemoryLeavesTheTypeOut) {
    TestPanel().heap.FailAllocationAfter(0);
    EXPECT_EQ(Parse("Name=A\nName=B\n"), 1);
    EXPECT_STREQ(Type(0)->name, "B");
    EXPECT_EQ(g_trace[0], "Speicherplatzmangel\r\n");
    EXPECT_EQ(RemoveLcdTypeItem(list, Type(0)), 1);
    EXPECT_EQ(list->count, 0);
}

TEST_F(LcdLibraryTest, FolderScanWithMenuIdsAndLookups) {
    EXPECT_EQ(LoadLcdLibrary(library, draw, monitor, folder.string().c_str()), 0);  // missing folder
    fs::create_directories(folder / "sub.lcd");              // a directory is not a library file
    std::ofstream(folder / "notes.txt") << "x";
    EXPECT_EQ(LoadLcdLibrary(library, draw, monitor, folder.string().c_str()), 0);
    for (int f = 0; f < 9; ++f) {
        std::string plain = "KAVO\x01[LCD TYPES]\n";
        for (int t = 0; t < 3; ++t) plain += "Name=F" + std::to_string(f) + "T" + std::to_string(t) + "\n";
        WriteEncoded(folder / ("F" + std::to_string(f) + ".LCD"), plain);
    }
    ASSERT_EQ(LoadLcdLibrary(library, draw, monitor, folder.string().c_str()), 1);
    ASSERT_EQ(LcdFileCount(library), 9);
    stLcdType* placed = nullptr;
    for (int i = 0; i < LcdFileCount(library); ++i) {
        std::string name = LcdFileName(library, i);
        stObjList* types = LcdTypesOfFile(library, i);
        ASSERT_NE(types, nullptr);
        ASSERT_EQ(types->count, 3);
        std::string stem = name.substr(0, name.size() - 4);
        EXPECT_STREQ(Type(0, types)->name, (stem + "T0").c_str());  // types land in their file's list
        EXPECT_EQ(Type(2, types)->placement.id, LcdMenuBase(i) + 2);
        if (i == 1) {
            EXPECT_EQ(Type(2, types)->placement.id, 32892);
        }
        if (i == 8) {
            EXPECT_EQ(Type(0, types)->placement.id, 34000);
        }
        placed = Type(1, types);
    }
    EXPECT_EQ(FindLcdTypeById(library, placed->placement.id), placed);
    EXPECT_EQ(FindLcdTypeByMenuEntry(library, placed->placement.id, placed->name), placed);
    EXPECT_EQ(FindLcdTypeByMenuEntry(library, placed->placement.id, "other"), nullptr);
    // Freeing the library forgets a current type that was one of its records.
    SetCurrentLcdType(draw, placed);
    FreeLcdLibrary(library, draw);
    EXPECT_EQ(CurrentLcdType(draw), nullptr);
    EXPECT_EQ(LcdFileCount(library), 0);
    EXPECT_EQ(FindLcdTypeById(library, 32860), nullptr);
}

TEST_F(LcdLibraryTest, DesignRecordsLiveUntilTheLibraryIsFreed) {
    stLcdType* own = NewDesignLcdType(library);
    ASSERT_NE(own, nullptr);
    EXPECT_STREQ(own->name, "");
    own->tooltip[2599] = 'x';  // buffers of 260, 2600 and 260 bytes
    SetCurrentLcdType(draw, own);
    FreeLcdLibrary(library, draw);
    EXPECT_EQ(CurrentLcdType(draw), nullptr);
    EXPECT_EQ(library.designTypes, nullptr);
}

TEST_F(LcdLibraryTest, RoundTripThroughTheTool) {
    // The tool is built next to the test binary's directory: build/tools/orp-lcdtool.
    fs::path tool = fs::read_symlink("/proc/self/exe").parent_path() / ".." / ".." / "tools" / "orp-lcdtool";
    if (!fs::exists(tool)) GTEST_SKIP() << "orp-lcdtool not built";
    fs::create_directories(folder);
    std::string source = std::string(ORP_TEST_DATA_DIR) + "/lcd/standard.txt";
    for (int f = 0; f < 9; ++f) {
        std::string command = tool.string() + " encode " + source + " " + (folder / ("lib" + std::to_string(f) + ".lcd")).string();
        ASSERT_EQ(std::system(command.c_str()), 0);
    }
    std::string back = (folder / "back.txt").string();
    ASSERT_EQ(std::system((tool.string() + " decode " + (folder / "lib0.lcd").string() + " " + back).c_str()), 0);
    std::ifstream a(source, std::ios::binary), b(back, std::ios::binary);
    std::string original((std::istreambuf_iterator<char>(a)), {}), decoded((std::istreambuf_iterator<char>(b)), {});
    EXPECT_EQ(decoded, original);
    fs::remove(back);

    ASSERT_EQ(LoadLcdLibrary(library, draw, monitor, folder.string().c_str()), 1);
    stLcdType* tall = FindLcdTypeById(library, 32892);
    ASSERT_NE(tall, nullptr);
    EXPECT_STREQ(tall->name, "16x1 tall, Cyrillic");
    EXPECT_EQ(tall->font[0], 'C');
    EXPECT_EQ(tall->metrics.charY, 6400000);
    stLcdType* first = FindLcdTypeById(library, 34000);
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->name, "16x2 yellow-green");
    EXPECT_EQ(first->metrics.width, 80000000);
    EXPECT_EQ(first->metrics.dotY, 650000);
    EXPECT_EQ(first->colours.backlightOn, 0x0000FFA0u);
    EXPECT_EQ(first->colours.dot, 0x00002800u);
    // Usage errors are reported with a non-zero exit code.
    EXPECT_NE(std::system((tool.string() + " encode >/dev/null 2>&1").c_str()), 0);
    EXPECT_NE(std::system((tool.string() + " decode " + source + " 2>/dev/null").c_str()), 0);
}

TEST_F(LcdLibraryTest, ToolSpeaksUtf8AndHashColours) {
    fs::path tool = fs::read_symlink("/proc/self/exe").parent_path() / ".." / ".." / "tools" / "orp-lcdtool";
    if (!fs::exists(tool)) GTEST_SKIP() << "orp-lcdtool not built";
    fs::create_directories(folder);
    const std::string in = (folder / "in.txt").string(), lcd = (folder / "out.lcd").string();
    const std::string err = (folder / "err.txt").string(), back = (folder / "back.txt").string();
    auto slurp = [](const std::string& path) {
        std::ifstream f(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(f)), {});
    };
    const struct {
        const char* body;      // after the header line
        bool ok;
        const char* stderrHas; // "" : nothing on stderr
        const char* decoded;   // body as `decode` gives it back
        const char* name;      // Windows-1252, as the panel stores it
        uint32_t backlightOn, dot;
    } cases[] = {
        {"Name=gr\xC3\xBCn \xE2\x82\xAC\r\nBlColorOn=#A0C81E\r\nTextColor=10,30,20\r\n", true, "",
         "Name=gr\xC3\xBCn \xE2\x82\xAC\nBlColorOn=#A0C81E\nTextColor=#141E0A\n", "gr\xFCn \x80", 0x1EC8A0, 0x0A1E14},
        // the panel reads this line as BlColorOn= with the value "see ...": colour 0, line kept
        {"Name=x\nTooltip=see BlColorOn=#FF0000\n", true, "", "Name=x\nTooltip=see BlColorOn=#FF0000\n", "x", 0, 0},
        {"Name=a\xE2\x86\x92" "b\n", false, "in.txt:2:7: \"\xE2\x86\x92\" (U+2192), which Windows-1252 cannot hold", nullptr, nullptr, 0, 0},
        {"Name=gr\xFCn\n", false, "in.txt:2:8: the byte 0xFC, which is not valid UTF-8", nullptr, nullptr, 0, 0},
        {"Name=x\nBlColorOn=#A0C81\n", false, "in.txt:3: BlColorOn= needs a colour #RRGGBB", nullptr, nullptr, 0, 0},
        {"Name=4x20\nLines=4\nCharacters=20\nw=64.5\nh=25.2\ncharX=2.95\ncharY=4.75\ndotX=0.6\ndotY=0.6\n", true,
         "type \"4x20\": its 4 lines of 20 characters need 70.400 x 20.800 mm, more than its frame (w x h) of "
         "64.500 x 25.200 mm",
         nullptr, "4x20", 0, 0},
    };
    for (const auto& c : cases) {
        std::ofstream(in, std::ios::binary) << "\xEF\xBB\xBF[LCD TYPES]\r\n" << c.body;
        int rc = std::system((tool.string() + " encode " + in + " " + lcd + " 2>" + err).c_str());
        EXPECT_EQ(rc == 0, c.ok) << c.body;
        std::string messages = slurp(err);
        if (*c.stderrHas) EXPECT_NE(messages.find(c.stderrHas), std::string::npos) << messages;
        else EXPECT_EQ(messages, "") << c.body;
        if (!c.ok) continue;
        if (c.decoded) {
            ASSERT_EQ(std::system((tool.string() + " decode " + lcd + " " + back).c_str()), 0);
            EXPECT_EQ(slurp(back), std::string("[LCD TYPES]\n") + c.decoded);
        }
        FreeLcdTypeList(list);
        list = NewObjList(TestPanel().heap);
        ASSERT_EQ(LoadLcdFile(monitor, lcd.c_str(), 0, list), 1) << c.body;
        EXPECT_STREQ(Type(0)->name, c.name);
        EXPECT_EQ(Type(0)->colours.backlightOn, c.backlightOn);
        EXPECT_EQ(Type(0)->colours.dot, c.dot);
    }
}
