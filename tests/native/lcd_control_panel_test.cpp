// The LCD control panel's logic: the edit field parsers, the sliders, and its messages applied
// by the real dispatcher to the real controller through the host path.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "design/object_model.h"
#include "lcd/charset.h"
#include "lcd/control_panel.h"
#include "lcd/controller.h"
#include "panel/panel.h"
#include "protocol/dispatcher.h"
#include "protocol/frame.h"
#include "protocol/host_link.h"
#include "fake_platform.h"
#include "protocol_test_support.h"
#include "test_panel.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Text(const std::string& text) {
    uint8_t out[kPanelFieldMax];
    const int n = ParsePanelText(text.data(), static_cast<int>(text.size()), out, kPanelFieldMax);
    return Bytes(out, out + n);
}

Bytes HexList(const std::string& text) {
    uint8_t out[kPanelFieldMax];
    const int n = ParseHexCommandList(text.data(), static_cast<int>(text.size()), out, kPanelFieldMax);
    return Bytes(out, out + n);
}

TEST(LcdPanelText, EscapesBecomeBytes) {
    EXPECT_EQ((Bytes{0x41, 0x42, 0x43}), Text("A\\x42C"));
    EXPECT_EQ((Bytes{0x61, 0x5C, 0x62}), Text("a\\nb"));           // the n is dropped
    EXPECT_EQ((Bytes{0xAB, 0xCD, 0x00}), Text("\\xab\\XCD\\x00"));  // either case, a NUL too
    EXPECT_EQ((Bytes{0x5C}), Text("\\\\"));
    EXPECT_TRUE(Text("").empty());
}

TEST(LcdPanelText, IncompleteEscapesNeverReadPastTheText) {
    // One hex digit is that digit's value; no hex digit keeps what was typed.
    EXPECT_EQ((Bytes{0x04}), Text("\\x4"));
    EXPECT_EQ((Bytes{0x04, 'g'}), Text("\\x4g"));
    EXPECT_EQ((Bytes{0x5C, 'x', 'g', '1'}), Text("\\xg1"));
    EXPECT_EQ((Bytes{0x5C, 'x'}), Text("\\x"));
    EXPECT_EQ((Bytes{'a', 0x5C}), Text("a\\"));
    // The parser stops at the given length even when the buffer goes on with hex digits.
    const char buffer[] = "\\x41";
    uint8_t out[4] = {0, 0, 0, 0};
    EXPECT_EQ(2, ParsePanelText(buffer, 2, out, 4));
    EXPECT_EQ((Bytes{0x5C, 'x'}), Bytes(out, out + 2));
    EXPECT_EQ(1, ParsePanelText(buffer, 3, out, 4));
    EXPECT_EQ(0x04, out[0]);
    // And never writes beyond its capacity.
    EXPECT_EQ(2, ParsePanelText("abcdef", 6, out, 2));
}

TEST(LcdPanelHexList, DigitsPairUpAndSingleDigitsStandAlone) {
    EXPECT_EQ((Bytes{0x28, 0x0C, 0x01}), HexList("28,c,1"));
    EXPECT_EQ((Bytes{0x28, 0x0C, 0x01}), HexList("28 C 1"));
    EXPECT_EQ((Bytes{0xAB, 0x0C}), HexList("abc"));  // a single digit at the end
    EXPECT_EQ((Bytes{0x01, 0x80}), HexList(",,1;;80,"));
    EXPECT_TRUE(HexList("xyz, ").empty());
    uint8_t out[1];
    EXPECT_EQ(1, ParseHexCommandList("1,2,3", 5, out, 1));
    EXPECT_EQ(0x01, out[0]);
}

TEST(LcdPanelSlider, ScrollCodesMoveTheValueWithinItsRange) {
    struct Case {
        int code, thumb, before, after, sends;
    } cases[] = {
        {kSliderLineUp, 0, 100, 101, 1},       {kSliderLineUp, 0, 255, 255, 1},
        {kSliderLineDown, 0, 0, 0, 1},         {kSliderLineDown, 0, 1, 0, 1},
        {kSliderPageUp, 0, 245, 245, 1},       {kSliderPageUp, 0, 239, 255, 1},
        {kSliderPageDown, 0, 15, 15, 1},       {kSliderPageDown, 0, 16, 0, 1},
        {kSliderThumbPosition, 55, 0, 200, 1}, {kSliderThumbPosition, 0, 9, 255, 1},
        {kSliderThumbTrack, 55, 9, 9, 0},      {kSliderTop, 0, 9, 9, 0},
        {kSliderBottom, 0, 9, 9, 0},           {kSliderEndScroll, 0, 9, 9, 0},
    };
    for (const Case& c : cases) {
        uint8_t value = static_cast<uint8_t>(c.before);
        EXPECT_EQ(c.sends, ApplySliderCode(c.code, c.thumb, &value)) << c.code << " at " << c.before;
        EXPECT_EQ(c.after, value) << c.code << " at " << c.before;
    }
    EXPECT_EQ(0, SliderPositionOf(255));
}

TEST(LcdPanelCharacterList, EntriesAndTheirCgramAddresses) {
    stPanelMessage m;
    char text[4];
    ASSERT_EQ(8, CharacterListSize(false));
    CharacterListEntry(7, false, text);
    EXPECT_STREQ("7", text);
    ASSERT_EQ(2, CharacterSelectMessage(7, false, &m));
    EXPECT_EQ((Bytes{'D', 0x78}), Bytes(m.bytes, m.bytes + 2));

    ASSERT_EQ(4, CharacterListSize(true));
    CharacterListEntry(3, true, text);
    EXPECT_STREQ("6/7", text);
    ASSERT_EQ(2, CharacterSelectMessage(3, true, &m));
    EXPECT_EQ((Bytes{'D', 0x70}), Bytes(m.bytes, m.bytes + 2));

    EXPECT_EQ(0, CharacterSelectMessage(4, true, &m));
    EXPECT_EQ(0, CharacterSelectMessage(-1, false, &m));
    EXPECT_EQ(0, CharacterSelectMessage(8, false, &m));
}

Bytes Of(int length, const stPanelMessage& m) { return Bytes(m.bytes, m.bytes + length); }

TEST(LcdPanelControls, EachControlBuildsItsMessage) {
    stLcdPanelState state;
    stPanelMessage m;
    EXPECT_EQ((Bytes{'D', 0x0D}), Of(DisplayControlMessage(true, false, true, &m), m));
    EXPECT_EQ((Bytes{'D', 0x05}), Of(EntryModeMessage(false, true, &m), m));
    EXPECT_EQ((Bytes{'D', 0x24}), Of(FunctionSetMessage(true, &m), m));
    EXPECT_EQ((Bytes{'D', 0x28}), Of(FunctionSetMessage(false, &m), m));
    EXPECT_EQ((Bytes{'D', 0x10}), Of(ShiftMessage(false, ShiftTarget::kCursor, &m), m));
    EXPECT_EQ((Bytes{'D', 0x1C}), Of(ShiftMessage(true, ShiftTarget::kDisplay, &m), m));
    EXPECT_EQ((Bytes{'D', 0x01}), Of(ClearDisplayMessage(&m), m));
    EXPECT_EQ((Bytes{'P', 0x50, 0xFF}), Of(DisplayTestMessage(&m), m));
    EXPECT_EQ((Bytes{'R', 'U', 0xAA, 0xCC, '3'}), Of(ResetMessage(&m), m));
    EXPECT_EQ((Bytes{'W', 'A', 'B', 'C'}), Of(TextMessage("A\\x42C", 6, &m), m));
    EXPECT_EQ((Bytes{'D', 0x28, 0x0C, 0x01}), Of(CommandListMessage("28,c,1", 6, &m), m));
    EXPECT_EQ((Bytes{'B', 7}), Of(BacklightMessage(7, &m), m));
    EXPECT_EQ((Bytes{'N', 8}), Of(LedBrightnessMessage(8, &m), m));
    EXPECT_EQ((Bytes{'C', 9}), Of(ContrastMessage(9, false, &m), m));
    EXPECT_EQ((Bytes{'C', 9, 'U'}), Of(ContrastMessage(9, true, &m), m));
    EXPECT_EQ((Bytes{'G', 'A'}), Of(ReadMessage(true, &m), m));
    EXPECT_EQ((Bytes{'G', 'R'}), Of(ReadMessage(false, &m), m));
    // Nothing to send for an empty result.
    EXPECT_EQ(0, TextMessage("", 0, &m));
    EXPECT_EQ(0, CommandListMessage(", ,", 3, &m));
    // The direction buttons keep the byte of their first use.
    EXPECT_EQ((Bytes{'D', 0x05}), Of(WriteDirectionMessage(state, false, true, &m), m));
    EXPECT_EQ((Bytes{'D', 0x05}), Of(WriteDirectionMessage(state, false, false, &m), m));
    EXPECT_EQ((Bytes{'D', 0x06}), Of(WriteDirectionMessage(state, true, false, &m), m));
    // 11 rows unless the font is 5x8, also before the first function set.
    EXPECT_EQ(12, AssignMessage(state, 0, &m));
    EXPECT_EQ(12, AssignMessage(state, 2, &m));
    EXPECT_EQ(9, AssignMessage(state, 1, &m));
}

// The injector the dialog passes, aimed at the running test's protocol record.
int InjectIntoTestProtocol(const uint8_t* message, int length) {
    return InjectCommand(Protocol(), message, length);
}

// The panel's messages injected into the host path and applied by the dispatcher.
class LcdPanelMessages : public ::testing::Test {
protected:
    FreshProtocol fresh_;
    FakePlatformScope platform_{&fresh_.record};
    void SetUp() override {
        ASSERT_EQ(1, CreatePanelLists(TestPanel()));
        TestPanel().design.model = stPanelModel{};
        TestPanel().design.model.linkFlag = 1;
        ResetHostLink(Protocol());
        monitor_.clear();
        g_self = this;
        platform_.fake.hostBytes = Monitor;
        platform_.fake.handOver = [] { DispatchAllMessages(TestDispatch()); };
        LcdClearState(TestPanel().lcd);
        LcdReset(TestPanel().lcd);
        LcdSendInitSequence(TestPanel().lcd);  // 2 lines, 5x8, display on, increment
    }
    void TearDown() override {
        ResetHostLink(Protocol());
        FreePanelLists(TestPanel());
    }
    static void Monitor(int direction, const uint8_t* bytes, unsigned int length, uint8_t, uint8_t) {
        if (direction == MONITOR_HOST_TO_PANEL) g_self->monitor_.emplace_back(bytes, bytes + length);
    }
    void Inject(int length, const stPanelMessage& m) {
        ASSERT_GT(length, 0);
        ASSERT_EQ(1, InjectPanelMessage(m, InjectIntoTestProtocol));
    }
    static uint32_t CgramRow(int code, int row) {
        return LcdGlyphRows(TestPanel().lcd, static_cast<uint8_t>(code))[row] & 0x1F;
    }

    static LcdPanelMessages* g_self;
    std::vector<Bytes> monitor_;
    stLcdPanelState panel_;  // the control panel's state, fresh per test
};
LcdPanelMessages* LcdPanelMessages::g_self = nullptr;

TEST_F(LcdPanelMessages, AssignWritesTheNextCharacterWhenRepeated) {
    SetPatternDot(panel_, 0, 0, true);
    SetPatternDot(panel_, 7, 4, true);
    SetPatternDot(panel_, 10, 2, true);  // not sent in 5x8 mode
    stPanelMessage m;
    Inject(CharacterSelectMessage(2, false, &m), m);
    Inject(AssignMessage(panel_, TestPanel().lcd.font, &m), m);
    EXPECT_EQ(9, m.length);
    Inject(AssignMessage(panel_, TestPanel().lcd.font, &m), m);
    for (int code : {2, 3, 2 + 8, 3 + 8}) {  // each character and its mirror
        EXPECT_EQ(0x10u, CgramRow(code, 0)) << code;
        EXPECT_EQ(0x01u, CgramRow(code, 7)) << code;
    }
    EXPECT_EQ(kCgramPlaceholder[0], CgramRow(4, 0));

    // The dot follows the check box; clearing an unset dot leaves it unset.
    SetPatternDot(panel_, 0, 0, false);
    SetPatternDot(panel_, 0, 1, false);
    EXPECT_EQ(0, panel_.patternRows[0]);
    EXPECT_EQ(0, SetPatternDot(panel_, 11, 0, true));
    EXPECT_EQ(0, SetPatternDot(panel_, 0, 5, true));
}

TEST_F(LcdPanelMessages, ALongTextGoesInPiecesThatEachFitAFrame) {
    SetActiveProtocolMode(Protocol(), MODE_SEQUENCE | MODE_CRC);
    std::string text(kPanelFieldMax, 'a');
    text[254] = 'z';
    stPanelMessage m;
    Inject(TextMessage(text.data(), static_cast<int>(text.size()), &m), m);
    ASSERT_EQ(2u, monitor_.size());
    EXPECT_EQ('W', monitor_[1][0]);
    // Each piece: 'W', data, sequence byte, two CRC bytes, CR.
    EXPECT_EQ(255u + 2 * 5, monitor_[0].size() + monitor_[1].size());
    int z = 0;
    for (uint8_t b : TestPanel().lcd.ddram) z += b == 'z';
    EXPECT_EQ(1, z);
    // An instruction list that long cannot be split: it is refused, not cut.
    stPanelMessage tooLong;
    tooLong.bytes[0] = 'D';
    tooLong.length = kPanelMessageMax + 1;
    EXPECT_EQ(0, InjectPanelMessage(tooLong, InjectIntoTestProtocol));
}

}  // namespace
