// The dispatcher driven through the host path, as the host drives it: frames in through
// HostLinkReceiveFromApp, answers out of the to-host queue; the platform is a set of fakes.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "common/alloc.h"
#include "design/object_model.h"
#include "lcd/controller.h"
#include "lcd/lcd_draw.h"
#include "panel/panel.h"
#include "protocol/dispatcher.h"
#include "protocol/frame.h"
#include "protocol/host_link.h"
#include "fake_platform.h"
#include "protocol_test_support.h"
#include "test_panel.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Platform {
    std::vector<std::pair<unsigned, unsigned>> beeps;
    std::map<int, bool> timerRunning;
    std::vector<int> timerStarts;
    int repaints = 0;
    std::map<int32_t, uint32_t> ledColour;  // last drawn colour per LED id
    std::vector<unsigned> sleeps;
    std::vector<int> backlight;
    std::vector<int> contrast;
} g_platform;

void Beep(unsigned hz, unsigned ms) { g_platform.beeps.emplace_back(hz, ms); }
void StartTimer(int id, unsigned) {
    g_platform.timerRunning[id] = true;
    g_platform.timerStarts.push_back(id);
}
void StopTimer(int id) { g_platform.timerRunning[id] = false; }
void Repaint() { ++g_platform.repaints; }
void DrawLed(const stPanelObject& led) { g_platform.ledColour[led.id()] = led.colour; }
void Sleep(unsigned ms) { g_platform.sleeps.push_back(ms); }
void Backlight(uint8_t level) { g_platform.backlight.push_back(level); }
void Contrast(uint8_t level) { g_platform.contrast.push_back(level); }

// A frame as the host builds it: message, sequence byte, check bytes, CR, stuffed.
Bytes HostFrame(Bytes message, uint8_t mode = 0, uint8_t sequence = 0) {
    if (mode & MODE_SEQUENCE) message.push_back(sequence);
    if (mode & MODE_CRC) {
        const uint16_t crc = Crc16(message.data(), static_cast<int>(message.size()));
        message.push_back(static_cast<uint8_t>(crc >> 8));
        message.push_back(static_cast<uint8_t>(crc));
    } else if (mode & MODE_CHECKSUM) {
        uint8_t sum = 0;
        for (uint8_t b : message) sum = static_cast<uint8_t>(sum + b);
        message.push_back(static_cast<uint8_t>(~sum));
    }
    Bytes out;
    for (uint8_t b : message) {
        if (b == kEsc || b == kCr) out.push_back(kEsc);
        out.push_back(b);
    }
    out.push_back(kCr);
    return out;
}

class Dispatcher : public ::testing::Test {
protected:
    FreshProtocol fresh_;
    FakePlatformScope platform_{&fresh_.record};
    void SetUp() override {
        g_platform = Platform{};
        ASSERT_EQ(1, CreatePanelLists(TestPanel()));
        TestPanel().design.model = stPanelModel{};
        TestPanel().design.model.linkFlag = 1;
        ResetHostLink(Protocol());
        FakePlatform& fake = platform_.fake;
        fake.handOver = [] { DispatchAllMessages(TestDispatch()); };
        fake.beep = Beep;
        fake.startTimer = StartTimer;
        fake.stopTimer = StopTimer;
        fake.repaintLcd = Repaint;
        fake.drawLed = DrawLed;
        fake.sleep = Sleep;
        fake.backlight = Backlight;
        fake.contrast = Contrast;
        LcdClearState(TestPanel().lcd);
        LcdReset(TestPanel().lcd);
        LcdSendInitSequence(TestPanel().lcd);
    }
    void TearDown() override {
        ResetHostLink(Protocol());
        ResetLedSelectionCache(TestPanel().design);
        FreePanelLists(TestPanel());
    }
    static void Send(const Bytes& frame) {
        HostLinkReceiveFromApp(Protocol(), frame.data(), static_cast<unsigned int>(frame.size()));
    }
    // Takes every frame the panel queued for the host.
    static std::vector<Bytes> Answers() {
        std::vector<Bytes> out;
        while (const stQueuedMessage* message = Protocol().toHost.Front()) {
            out.emplace_back(message->bytes, message->bytes + message->length);
            Protocol().toHost.Remove(message);
        }
        return out;
    }
    static Bytes Unstuffed(const Bytes& raw) {
        Bytes out(raw.size());
        out.resize(static_cast<size_t>(UnescapeFrame(raw.data(), static_cast<int>(raw.size()), out.data())));
        return out;
    }
    static Bytes Answer() {
        std::vector<Bytes> all = Answers();
        EXPECT_EQ(1u, all.size());
        return all.empty() ? Bytes{} : all[0];
    }
    static stPanelObject* AddLed(int32_t id, uint32_t off, uint32_t on) {
        auto* led = InitPanelObject(static_cast<stPanelObject*>(OrpAlloc(TestPanel().heap, sizeof(stPanelObject))));
        led->kind = kKindLed;
        led->id() = id;
        led->colourOff = off;
        led->colourOn = on;
        led->name = OrpStrDup(TestPanel().heap, "LED");
        led->tooltip = OrpStrDup(TestPanel().heap, "-");
        AppendItem(TestPanel().design.leds, led);
        return led;
    }
    const Bytes kAckFrame{kAck, kCr};
    const Bytes kNakFrame{kNak, kCr};
};

TEST_F(Dispatcher, CapabilitiesDecideBetweenActionAndNak) {
    for (uint8_t command : {'B', 'C', 'E', 'I', 'N', 'Z'}) {
        Send(HostFrame({command, 0x05, 0x05}));
        EXPECT_EQ(kNakFrame, Answer()) << command;
    }
    EXPECT_TRUE(g_platform.backlight.empty());
    EXPECT_TRUE(g_platform.contrast.empty());
    EXPECT_TRUE(g_platform.beeps.empty());
    EXPECT_EQ(0, Protocol().clickMode);

    TestPanel().design.model.options = 0x3F;
    Send(HostFrame({'C', 0x33}));
    EXPECT_EQ((Bytes{'c', 0x80, kCr}), Answer());
    EXPECT_EQ((std::vector<int>{0x33}), g_platform.contrast);
    Send(HostFrame({'E', 2}));
    EXPECT_EQ(kAckFrame, Answer());
    EXPECT_EQ(2, Protocol().clickMode);
    Send(HostFrame({'I', 0x81, 0x10}));
    EXPECT_EQ(kAckFrame, Answer());
    EXPECT_EQ(0x10, Protocol().clickMask[1]);
    Send(HostFrame({'N', 9}));
    EXPECT_EQ(kAckFrame, Answer());
}

TEST_F(Dispatcher, BacklightLevelNeedsTheIntensityCapability) {
    TestPanel().design.model.options = MODEL_BACKLIGHT_SWITCH;
    Send(HostFrame({'B', 0x40}));
    Send(HostFrame({'B', 0x00}));
    TestPanel().design.model.options = MODEL_BACKLIGHT_SWITCH | MODEL_BACKLIGHT_LEVEL;
    Send(HostFrame({'B', 0x40}));
    Send(HostFrame({'B', 0x00}));
    EXPECT_EQ((std::vector<int>{255, 0, 0x40, 0}), g_platform.backlight);
    EXPECT_EQ(4u, Answers().size());
    EXPECT_EQ(4, g_platform.repaints);
}

TEST_F(Dispatcher, WithoutDisplayHooksTheCoreLcdDrawingIsUsed) {
    const auto handOver = platform_.fake.handOver;
    platform_.fake = FakePlatform{};
    platform_.fake.handOver = handOver;
    stLcdType lcd{};
    lcd.colours.backlightOff = 0x000000;
    lcd.colours.backlightOn = 0x00FFFF;
    lcd.colours.contrast = 255;
    SetCurrentLcdType(TestPanel().lcdDraw, &lcd);
    TestPanel().design.model.options = MODEL_BACKLIGHT_SWITCH | MODEL_CONTRAST;
    Send(HostFrame({'B', 0x01}));
    EXPECT_EQ(0x00FFFFu, lcd.colours.background);
    Send(HostFrame({'C', 0x40}));
    EXPECT_EQ(0x40u, lcd.colours.contrast);
    SetCurrentLcdType(TestPanel().lcdDraw, nullptr);
    EXPECT_EQ((std::vector<Bytes>{kAckFrame, {'c', 0x80, kCr}}), Answers());
}

TEST_F(Dispatcher, BuzzerFrequencyByteCountsOnlyWithItsCapability) {
    TestPanel().design.model.options = MODEL_BUZZER | MODEL_BUZZER_FREQUENCY;
    Send(HostFrame({'Z', 10, 50}));
    TestPanel().design.model.options = MODEL_BUZZER;
    Send(HostFrame({'Z', 10, 50}));
    Send(HostFrame({'Z', 0, 50}));
    EXPECT_EQ((std::vector<std::pair<unsigned, unsigned>>{{5000, 500}, {3000, 500}}), g_platform.beeps);
    EXPECT_EQ((std::vector<Bytes>{kAckFrame, kAckFrame, kAckFrame}), Answers());
}

TEST_F(Dispatcher, ModeChangeIsAnsweredInTheOldModeAndTakesEffectWithA) {
    Send(HostFrame({'M', 0x18}));
    EXPECT_EQ((Bytes{'m', 0x18, kCr}), Answer());
    EXPECT_EQ(0x18, PendingProtocolMode(Protocol()));
    EXPECT_EQ(0, ActiveProtocolMode(Protocol()));

    Send(HostFrame({'A'}));  // not framed for the pending mode
    EXPECT_EQ(kNakFrame, Answer());
    EXPECT_EQ(0, ActiveProtocolMode(Protocol()));

    Send(HostFrame({'A'}, 0x18, 'q'));
    EXPECT_EQ(0x18, ActiveProtocolMode(Protocol()));
    const Bytes ack = Unstuffed(Answer());
    ASSERT_EQ(5u, ack.size());
    EXPECT_EQ(kAck, ack[0]);
    EXPECT_EQ('q', ack[1]);
    EXPECT_EQ(0, Crc16(ack.data(), 4));

    Send(HostFrame({'V'}, 0x18, 'r'));
    const Bytes version = Unstuffed(Answer());
    EXPECT_EQ((Bytes{'v', 1, 0, 0, 'd'}), Bytes(version.begin(), version.begin() + 5));
}

TEST_F(Dispatcher, BadCheckIsNakAndDuplicateIsAckWithoutAction) {
    SetActiveProtocolMode(Protocol(), 0x0C);
    Bytes corrupt = HostFrame({'W', 'A'}, 0x0C, 'e');
    corrupt[2] ^= 1;
    Send(corrupt);
    EXPECT_EQ(kNak, Answer()[0]);
    EXPECT_EQ(' ', TestPanel().lcd.ddram[0]);

    Send(HostFrame({'W', 'A'}, 0x0C, 'e'));
    Send(HostFrame({'W', 'B'}, 0x0C, 'e'));
    const std::vector<Bytes> answers = Answers();
    ASSERT_EQ(2u, answers.size());
    EXPECT_EQ(kAck, answers[0][0]);
    EXPECT_EQ(kAck, answers[1][0]);
    EXPECT_EQ('e', answers[1][1]);
    EXPECT_EQ('A', TestPanel().lcd.ddram[0]);
    EXPECT_EQ(' ', TestPanel().lcd.ddram[1]);

    Send(HostFrame({'X'}, 0x0C, 'f'));
    EXPECT_EQ(kNak, Answer()[0]);
}

TEST_F(Dispatcher, LcdFillWritesTheWholeCount) {
    Send(HostFrame({'P', 5, 'A'}));
    EXPECT_EQ(kAckFrame, Answer());
    EXPECT_EQ("AAAAA", std::string(reinterpret_cast<const char*>(TestPanel().lcd.ddram), 5));
    EXPECT_EQ(' ', TestPanel().lcd.ddram[5]);

    Send(HostFrame({'P', 1, 'A'}));
    EXPECT_EQ(kNakFrame, Answer());
    EXPECT_EQ(5, LcdCursorIndex(TestPanel().lcd));

    // CGRAM addresses wrap every 64 bytes, so the address shows the exact count written.
    Send(HostFrame({'D', 0x40}));
    Send(HostFrame({'P', 255, 0x15}));
    EXPECT_EQ(63, TestPanel().lcd.cgramAddress);
    Send(HostFrame({'D', 0x40}));
    Send(HostFrame({'P', 200, 0x15}));
    EXPECT_EQ(200 % 64, TestPanel().lcd.cgramAddress);
}

TEST_F(Dispatcher, LongDataAndMissingParametersStayInsideTheFrame) {
    Bytes data(300, 0x15);
    data.insert(data.begin(), 'W');
    Send(HostFrame({'D', 0x40}));
    Send(HostFrame(data));
    EXPECT_EQ(300 % 64, TestPanel().lcd.cgramAddress);

    Send(HostFrame({'S', 0x80, 'h', 'i'}));
    EXPECT_EQ("hi", std::string(reinterpret_cast<const char*>(TestPanel().lcd.ddram), 2));
    TestPanel().design.model.options = MODEL_BUZZER | MODEL_BUZZER_FREQUENCY;
    Send(HostFrame({'S'}));
    Send(HostFrame({'Z'}));  // duration is the CR, no frequency byte: 0 Hz
    EXPECT_EQ((std::vector<std::pair<unsigned, unsigned>>{{0, 13 * 50}}), g_platform.beeps);
    Answers();
}

TEST_F(Dispatcher, QueriesReplyWithTheModelAndTheLcd) {
    TestPanel().design.model.model = 7;
    TestPanel().design.model.type = 2;
    TestPanel().design.model.bufferSize = 0x1234;
    TestPanel().design.model.keyCount = 16;
    TestPanel().design.model.ledCount = 8;
    TestPanel().design.model.options = 0x125;
    Send(HostFrame({'T'}));
    EXPECT_EQ((Bytes{'t', 7, 2, 0x12, 0x34, 16, 8, 0x25, kCr}), Answer());
    Send(HostFrame({'W', 'x'}));
    Answers();
    Send(HostFrame({'G', 'A'}));
    EXPECT_EQ((Bytes{'g', 1, kCr}), Answer());
    Send(HostFrame({'D', 0x80}));
    Answers();
    Send(HostFrame({'G', 'D'}));
    EXPECT_EQ((Bytes{'g', 'x', kCr}), Answer());
    Send(HostFrame({'H'}));
    EXPECT_TRUE(Answers().empty());
}

TEST_F(Dispatcher, LedsFollowTheirOwnAndSecondBits) {
    AddLed(3, 0x30, 0x31);
    stPanelObject* multi = AddLed(5, 0x50, 0x51);
    multi->multicolour = 1;
    multi->second = CopyPanelObject(TestPanel().heap, multi);
    multi->second->id() = 6;
    multi->second->colourOff = 0x60;  // shown when only the second bit is set
    multi->second->colourOn = 0x61;   // shown when both bits are set

    Send(HostFrame({'O', 0xFF}));
    EXPECT_EQ(kAckFrame, Answer());
    EXPECT_EQ(0x31u, g_platform.ledColour[3]);
    EXPECT_EQ(0x61u, g_platform.ledColour[5]);

    Send(HostFrame({'L', 0x80, 0x40}));  // byte 0 := bit 6 only
    EXPECT_EQ(0x30u, g_platform.ledColour[3]);
    EXPECT_EQ(0x60u, g_platform.ledColour[5]);
    Send(HostFrame({'L', 0x20}));  // bits 0..6 of byte 0 := bit 5 only
    EXPECT_EQ(0x51u, g_platform.ledColour[5]);
    Send(HostFrame({'L', 0x00, 0xE1, 1}));  // malformed after the first group: still ACK
    EXPECT_EQ(0x50u, g_platform.ledColour[5]);
    EXPECT_EQ(3u, Answers().size());
    EXPECT_EQ(0xFF, Protocol().ledState[1]);
}

TEST_F(Dispatcher, LedColourReachesTheDesignListForTheNextRepaint) {
    // Two LEDs share id 2 and a third sits between them with another id: the n-th copy's colour
    // must land on the n-th LED of that id, not on a neighbour.
    stPanelObject* first = AddLed(2, 0x20, 0x21);
    stPanelObject* other = AddLed(4, 0x40, 0x41);
    stPanelObject* second = AddLed(2, 0x22, 0x23);
    Send(HostFrame({'O', 0x04}));
    Answers();
    EXPECT_EQ(0x21u, first->colour);
    EXPECT_EQ(0x23u, second->colour);
    EXPECT_EQ(0x40u, other->colour);
    Send(HostFrame({'O', 0x10}));
    Answers();
    EXPECT_EQ(0x20u, first->colour);
    EXPECT_EQ(0x22u, second->colour);
    EXPECT_EQ(0x41u, other->colour);
}

TEST_F(Dispatcher, ConnectedPanelExecutesButDoesNotAnswer) {
    TestPanel().design.model.linkFlag = 0;
    Send(HostFrame({'W', 'A'}));
    Send(HostFrame({'V'}));
    Send(HostFrame({'X'}));
    Send(HostFrame({'M', 0x08}));
    Protocol().keyState[0] = 1;
    Send(HostFrame({'K'}));
    EXPECT_TRUE(Answers().empty());
    EXPECT_EQ('A', TestPanel().lcd.ddram[0]);
    EXPECT_EQ(0x08, PendingProtocolMode(Protocol()));
}

TEST_F(Dispatcher, KeyRequestReportsTheDifferenceWhateverTheMode) {
    Send(HostFrame({'K'}));
    EXPECT_EQ((Bytes{'k', kCr}), Answer());
    Protocol().keyState[1] = 0x02;  // key 9
    Send(HostFrame({'K'}));
    EXPECT_EQ((Bytes{'k', 0x81, 0x02, kCr}), Answer());
    EXPECT_EQ(0x02, Protocol().reportedKeys[1]);
}

TEST_F(Dispatcher, ResetAnnouncementRepeatsAndInjectsEveryFifthTime) {
    Send(HostFrame({'D', 0x08}));  // display off
    Answers();
    ASSERT_FALSE(TestPanel().lcd.displayOn);
    SetActiveProtocolMode(Protocol(), 0x1C);
    SetPendingProtocolMode(Protocol(), 0x1C);
    SetLastAcceptedSequence(Protocol(), 'k');
    Send(Bytes{'R', 'U', 0xAA, 0xCC, '3', kCr});
    EXPECT_EQ((std::vector<unsigned>{100}), g_platform.sleeps);
    EXPECT_EQ((Bytes{'r', kCr}), Answer());
    EXPECT_EQ(0, ActiveProtocolMode(Protocol()));
    EXPECT_EQ(0, LastAcceptedSequence(Protocol()));
    EXPECT_EQ('c', OutgoingSequence(Protocol()));
    EXPECT_TRUE(g_platform.timerRunning[TIMER_RESET_ANNOUNCEMENT]);
    EXPECT_TRUE(TestPanel().lcd.displayOn);

    for (int i = 1; i <= 5; ++i) {
        ASSERT_EQ(1, DispatcherTimer(Protocol(), TIMER_RESET_ANNOUNCEMENT));
        const std::vector<Bytes> answers = Answers();
        if (i < 5) {
            EXPECT_EQ((std::vector<Bytes>{{'r', kCr}}), answers);
        } else {
            // The injected 'W' '?' reached the panel's own LCD, which acknowledged it.
            EXPECT_EQ((std::vector<Bytes>{{'r', kCr}, kAckFrame}), answers);
        }
    }
    EXPECT_EQ('?', TestPanel().lcd.ddram[0]);
    EXPECT_EQ(0, ResetAnnouncementRepetitions(Protocol()));

    // The host's acknowledgement ends it.
    Send(HostFrame({kAck}));
    EXPECT_FALSE(g_platform.timerRunning[TIMER_RESET_ANNOUNCEMENT]);
    EXPECT_TRUE(Answers().empty());
}

TEST_F(Dispatcher, ReportsWaitingForAnAckAreMergedAndReleasedByIt) {
    SetActiveProtocolMode(Protocol(), MODE_KEY_REPORTS | MODE_KEY_ACK | MODE_SEQUENCE);
    Protocol().keyState[1] = 0x02;  // key 9 down
    SendKeyReport(Protocol(), 0);
    EXPECT_EQ((Bytes{'k', 0x81, 0x02, 'd', kCr}), Answer());
    EXPECT_TRUE(g_platform.timerRunning[TIMER_KEY_REPORT]);

    Protocol().keyState[2] = 0x10;  // key 20 down
    SendKeyReport(Protocol(), 0);
    Protocol().keyState[1] = 0x00;  // key 9 up
    SendKeyReport(Protocol(), 0);
    EXPECT_TRUE(Answers().empty());

    Send(HostFrame({kAck}, MODE_SEQUENCE, 'x'));  // not the outstanding one
    EXPECT_TRUE(Answers().empty());
    EXPECT_EQ(7, PendingKeyState(Protocol()).held);

    Send(HostFrame({kAck}, MODE_SEQUENCE, 'd'));
    EXPECT_EQ((Bytes{'k', 0x82, 0x10, 0x81, 0x00, 'e', kCr}), Answer());
    EXPECT_TRUE(g_platform.timerRunning[TIMER_KEY_REPORT]);

    Send(HostFrame({kAck}, MODE_SEQUENCE, 'e'));
    EXPECT_TRUE(Answers().empty());
    EXPECT_EQ(0, PendingKeyState(Protocol()).held);
    EXPECT_FALSE(g_platform.timerRunning[TIMER_KEY_REPORT]);
}

TEST_F(Dispatcher, RetransmissionsKeepTheirSequenceAndStopAtTheLimit) {
    SetActiveProtocolMode(Protocol(), MODE_KEY_REPORTS | MODE_KEY_ACK | MODE_SEQUENCE);
    Protocol().keyState[0] = 0x01;
    SendKeyReport(Protocol(), 0);
    const Bytes first = Answer();
    EXPECT_EQ((Bytes{'k', 0x01, 'd', kCr}), first);

    Send(HostFrame({'V'}, MODE_SEQUENCE, 'a'));  // the reply takes 'e'
    EXPECT_EQ('e', Answer()[4]);

    for (int retry = 1; retry <= kKeyReportMaxRetries; ++retry) {
        ASSERT_EQ(1, DispatcherTimer(Protocol(), TIMER_KEY_REPORT));
        EXPECT_EQ(first, Answer()) << retry;
        EXPECT_TRUE(g_platform.timerRunning[TIMER_KEY_REPORT]);
    }
    DispatcherTimer(Protocol(), TIMER_KEY_REPORT);
    EXPECT_TRUE(Answers().empty());
    EXPECT_FALSE(g_platform.timerRunning[TIMER_KEY_REPORT]);
    EXPECT_EQ(0, PendingKeyState(Protocol()).held);

    // A new report starts afresh.
    Protocol().keyState[0] = 0x00;
    SendKeyReport(Protocol(), 0);
    EXPECT_EQ((Bytes{'k', 0x00, 'f', kCr}), Answer());
}

TEST_F(Dispatcher, PendingReportsNeverOutgrowOneFrame) {
    SetActiveProtocolMode(Protocol(), MODE_KEY_ACK | MODE_SEQUENCE | MODE_CRC);
    const Bytes report{'k', 0x9F, 0x01};
    SubmitKeyReport(Protocol(), report.data(), 3);
    Answers();
    int submitted = 1;
    while (PendingKeyState(Protocol()).held > 0 && submitted < 200) {
        SubmitKeyReport(Protocol(), report.data(), 3);
        ++submitted;
    }
    EXPECT_EQ(0, PendingKeyState(Protocol()).held) << "cleared once the next report would not fit";
    EXPECT_EQ(1 + (kFrameBuildSize - 4 - 3) / 2 + 1, submitted);
}

}  // namespace
