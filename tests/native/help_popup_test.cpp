#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "design/context_help_query.h"
#include "design/help_popup_layout.h"
#include "design_test_support.h"
#include "panel/panel.h"
#include "test_panel.h"

using namespace design_test;

// Found by argument lookup, so beside the record.
static bool operator==(const stHelpPopupRect& a, const stHelpPopupRect& b) {
    return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}
static std::ostream& operator<<(std::ostream& out, const stHelpPopupRect& r) {
    return out << "(" << r.left << ", " << r.top << ") " << r.width << " x " << r.height;
}


namespace {

// 16-pixel lines, 7-pixel characters of a variable-pitch font, on a 1024 x 768 screen.
constexpr stHelpPopupMetrics kMetrics{16, 7, 10, 1024, 768};

TEST(HelpPopupLayout, SizesTheTextAndKeepsItOnTheScreen) {
    EXPECT_EQ(10, HelpCapitalWidth(7, true));
    EXPECT_EQ(7, HelpCapitalWidth(7, false));

    // A short text sits at the cursor: 10 characters and one line (with a spare line below).
    EXPECT_EQ((stHelpPopupRect{100, 100, 10 * 7 + 10 + 6, 16 + 6}), HelpPopupRect(kMetrics, 10, 100, 100));

    // 200 characters are 80 wide and three lines high; near the right edge the pop-up moves
    // left so that it ends inside the screen.
    stHelpPopupRect wide = HelpPopupRect(kMetrics, 200, 1000, 100);
    EXPECT_EQ((stHelpPopupRect{1024 - 2 * 10 - 570, 100, 570 + 6, 48 + 6}), wide);
    EXPECT_LE(wide.left + wide.width, kMetrics.screenWidth);

    // Near the bottom it moves up.
    EXPECT_EQ((stHelpPopupRect{100, 768 - 2 * 16 - 16, 86, 22}), HelpPopupRect(kMetrics, 10, 100, 760));

    // A height that is already a whole number of lines gains one: 72 characters of 10-pixel
    // lines need 72 * 0.125 + 1 = 10 pixels and get 20.
    stHelpPopupMetrics tenPixelLines = kMetrics;
    tenPixelLines.lineHeight = 10;
    EXPECT_EQ(20 + 6, HelpPopupRect(tenPixelLines, 72, 0, 0).height);

    // The longest entry a help file can hold still gives a sane rectangle.
    stHelpPopupRect longest = HelpPopupRect(kMetrics, kMaxHelpEntryLength, 0, 0);
    EXPECT_EQ(80 * 7 + 10 + 6, longest.width);
    EXPECT_GT(longest.height, 16 * 409);
}

class ContextHelpQuery : public ::testing::Test {
protected:
    void SetUp() override { FreshDesignState(); }
    void TearDown() override { ReleaseDesignState(); }
    std::string Write(const std::string& name, const std::string& text) {
        std::string path = dir.File(name);
        WriteFile(path, std::vector<uint8_t>(text.begin(), text.end()));
        return path;
    }
    TempDir dir;
};

TEST_F(ContextHelpQuery, TellsWhichQuestionToAsk) {
    stContextHelp help{};
    EXPECT_EQ(kAskForContextHelpFile, FindContextHelp(TestPanel().design, "", kKindKey, "OK", &help));
    EXPECT_EQ(kAskForContextHelpFile, FindContextHelp(TestPanel().design, dir.File("missing.txt").c_str(), kKindKey, "OK", &help));
    EXPECT_EQ(kAskForContextHelpFile,
              FindContextHelp(TestPanel().design, Write("bad.txt", "[Help]\r\n[Taste]\r\nName=OK\r\nText=x\r\n").c_str(), kKindKey,
                              "OK", &help));
    // A readable file without entries is a file without the object's text, not a missing file.
    EXPECT_EQ(kAskForContextHelpEntry, FindContextHelp(TestPanel().design, Write("empty.txt", "").c_str(), kKindKey, "OK", &help));
    EXPECT_EQ(kAskForContextHelpEntry,
              FindContextHelp(TestPanel().design, Write("header.txt", "[KontextHilfe 1.0]\r\n").c_str(), kKindKey, "OK", &help));
}

TEST_F(ContextHelpQuery, FindsTheTextAndReadsAChosenFileAfresh) {
    std::string path = Write("help.txt", "[KontextHilfe 1.0]\r\n[Taste]\r\nName=OK\r\nText=Confirms.\r\n");
    stContextHelp help{};
    ASSERT_EQ(0, FindContextHelp(TestPanel().design, path.c_str(), kKindKey, "OK", &help));
    EXPECT_STREQ("Confirms.", help.text);
    EXPECT_EQ(kAskForContextHelpEntry, FindContextHelp(TestPanel().design, path.c_str(), kKindLed, "OK", &help));

    // The list is kept for the design until another file is chosen.
    std::string other = Write("other.txt", "[KontextHilfe 1.0]\r\n[Led]\r\nName=RUN\r\nText=Running.\r\n");
    EXPECT_EQ(kAskForContextHelpEntry, FindContextHelp(TestPanel().design, other.c_str(), kKindLed, "RUN", &help));
    ForgetContextHelp(TestPanel().design);
    ASSERT_EQ(0, FindContextHelp(TestPanel().design, other.c_str(), kKindLed, "RUN", &help));
    EXPECT_STREQ("Running.", help.text);
}

}  // namespace
