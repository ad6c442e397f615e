#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "design/context_help.h"
#include "design_test_support.h"
#include "panel/panel.h"
#include "test_panel.h"

using namespace design_test;

namespace {

const std::string kExample = std::string(ORP_TEST_DATA_DIR) + "/context_help_example.txt";

std::vector<std::string> g_status;

std::vector<std::string> Entries() {
    std::vector<std::string> out;
    for (stListNode* n = TestPanel().design.helpLines->first; n; n = n->next)
        out.emplace_back(static_cast<stTextItem*>(n->item)->text);
    return out;
}

class ContextHelp : public ::testing::Test {
protected:
    FakePlatformScope platform_;
    void SetUp() override {
        FreshDesignState();
        g_status.clear();
        platform_.fake.status = [](const char* t) { g_status.emplace_back(t); };
        TestPanel().design.tipCounter = 0;
    }
    void TearDown() override { ReleaseDesignState(); }
    std::string Load(const std::string& text) {
        std::string path = dir.File("help.txt");
        WriteFile(path, std::vector<uint8_t>(text.begin(), text.end()));
        return path;
    }
    TempDir dir;
};

TEST_F(ContextHelp, ExampleFileSplitsIntoSevenEntries) {
    ASSERT_EQ(1, LoadContextHelp(TestPanel().design, kExample.c_str()));
    EXPECT_EQ((std::vector<std::string>{
                  "[KontextHilfe 1.0]", "[Taste]", "Name=Start",
                  "Text=Starts the measurement.\r\nHold for two seconds to calibrate.", "[Led]",
                  "Name=Power", "Text=Lit while the device is on."}),
              Entries());

    stContextHelp help{};
    ASSERT_EQ(1, LookupContextHelp(TestPanel().design, kKindKey, "Start", &help));
    EXPECT_STREQ("Starts the measurement.\r\nHold for two seconds to calibrate.", help.text);
    EXPECT_EQ(2, help.lines);
    EXPECT_EQ(static_cast<int32_t>((std::strlen(help.text) + 1) / 2), help.averageLineLength);

    EXPECT_EQ(0, LookupContextHelp(TestPanel().design, kKindLed, "Start", &help));  // search starts at [Led]
    ASSERT_EQ(1, LookupContextHelp(TestPanel().design, kKindLed, "Pow", &help));    // substring match
    EXPECT_STREQ("Lit while the device is on.", help.text);
    EXPECT_EQ(1, help.lines);
    EXPECT_EQ(0, LookupContextHelp(TestPanel().design, kKindLcd, "Start", &help));  // no [Lcd] section
    EXPECT_EQ(0, LookupContextHelp(TestPanel().design, 12345, "Start", &help));
    // The name search is not bounded by the section: a key named Power finds the LED's text.
    ASSERT_EQ(1, LookupContextHelp(TestPanel().design, kKindKey, "Power", &help));
    EXPECT_STREQ("Lit while the device is on.", help.text);
}

TEST_F(ContextHelp, HeaderMustBeOnTheFirstLineExactlySpelt) {
    EXPECT_EQ(0, LoadContextHelp(TestPanel().design, Load("[Kontexthilfe 1.0]\r\n[Taste]\r\nName=A\r\nText=a\r\n").c_str()));
    EXPECT_EQ(0, TestPanel().design.helpLines->count);
    EXPECT_EQ(0, LoadContextHelp(TestPanel().design, Load("\r\n[Taste]\r\n[KontextHilfe 1.0]\r\n").c_str()));
    EXPECT_EQ(0, LoadContextHelp(TestPanel().design, dir.File("missing.txt").c_str()));
    stContextHelp help{};
    EXPECT_EQ(0, LookupContextHelp(TestPanel().design, kKindKey, "A", &help));
}

TEST_F(ContextHelp, FileIsReadOncePerDesign) {
    std::string path = Load("[KontextHilfe 1.0]\r\n[Lcd]\r\nName=LCD\r\nText=first\r\n");
    ASSERT_EQ(1, LoadContextHelp(TestPanel().design, path.c_str()));
    Load("[KontextHilfe 1.0]\r\n[Lcd]\r\nName=LCD\r\nText=second\r\n");
    ASSERT_EQ(1, LoadContextHelp(TestPanel().design, path.c_str()));
    stContextHelp help{};
    ASSERT_EQ(1, LookupContextHelp(TestPanel().design, kKindLcd, "LCD", &help));
    EXPECT_STREQ("first", help.text);

    ResetDesign(TestPanel().design);
    ASSERT_EQ(1, LoadContextHelp(TestPanel().design, path.c_str()));
    ASSERT_EQ(1, LookupContextHelp(TestPanel().design, kKindLcd, "LCD", &help));
    EXPECT_STREQ("second", help.text);
}

TEST_F(ContextHelp, TextEntryEndsAtALineWithoutLetters) {
    std::string path = Load(
        "[KontextHilfe 1.0]\n[Taste]\nName=K1\nText=one\nName=inside\n  42 \nName=K2\r\n"
        "Text=last line without end");
    ASSERT_EQ(1, LoadContextHelp(TestPanel().design, path.c_str()));
    EXPECT_EQ((std::vector<std::string>{"[KontextHilfe 1.0]", "[Taste]", "Name=K1",
                                        "Text=one\nName=inside", "  42 ", "Name=K2",
                                        "Text=last line without end"}),
              Entries());
    stContextHelp help{};
    ASSERT_EQ(1, LookupContextHelp(TestPanel().design, kKindKey, "K1", &help));
    EXPECT_EQ(1, help.lines);  // a bare LF is no line of its own for the count
}

TEST_F(ContextHelp, OverlongEntryIsCutCleanly) {
    std::string text = "[KontextHilfe 1.0]\r\n[Taste]\r\nName=Big\r\nText=" + std::string(40000, 'x') + "\r\n";
    ASSERT_EQ(1, LoadContextHelp(TestPanel().design, Load(text).c_str()));
    stContextHelp help{};
    ASSERT_EQ(1, LookupContextHelp(TestPanel().design, kKindKey, "Big", &help));
    EXPECT_EQ(kMaxHelpEntryLength - 5, help.length);
}

TEST_F(ContextHelp, TipsRotateThroughTheStatusLine) {
    for (const char* t : {"one", "two 100%", "three"})
        AppendItem(TestPanel().design.tips, NewTextItem(TestPanel().heap, t, static_cast<uint32_t>(std::strlen(t))));
    NextTip(TestPanel().design, TestPanel().monitor);
    NextTip(TestPanel().design, TestPanel().monitor);
    EXPECT_EQ(2, TestPanel().design.tipCounter);
    NextTip(TestPanel().design, TestPanel().monitor);
    EXPECT_EQ(0, TestPanel().design.tipCounter);
    EXPECT_EQ((std::vector<std::string>{"one", "two 100%", "three"}), g_status);

    // After a deletion the counter value without a node shows nothing for that tick.
    RemoveTextItem(TestPanel().design.tips, static_cast<stTextItem*>(TestPanel().design.tips->first->item));
    g_status.clear();
    NextTip(TestPanel().design, TestPanel().monitor);  // counter 0: no node has index 0 any more
    NextTip(TestPanel().design, TestPanel().monitor);
    EXPECT_EQ((std::vector<std::string>{"two 100%"}), g_status);
    EXPECT_EQ(0, TestPanel().design.tipCounter);

    FreeTextList(TestPanel().design.tips);
    TestPanel().design.tips = nullptr;
    NextTip(TestPanel().design, TestPanel().monitor);  // no list: nothing happens
    EXPECT_EQ(1u, g_status.size());
}

}  // namespace
