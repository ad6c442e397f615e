// The host kit (include/orppanel_host.h) against the core's dispatcher: the kit's frames go in
// through the host path, the panel's answers come back through the to-host queue, and a lossy
// link in between drops or doubles chosen frames.
#include <gtest/gtest.h>

#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "design/object_model.h"
#include "lcd/controller.h"
#include "orppanel_host.h"
#include "panel/panel.h"
#include "protocol/dispatcher.h"
#include "protocol/frame.h"
#include "protocol/host_link.h"
#include "fake_platform.h"
#include "protocol_test_support.h"
#include "test_panel.h"

namespace {

using orphost::Answer;
using orphost::Bytes;

std::map<int, bool> g_timers;
std::vector<std::pair<unsigned, unsigned>> g_beeps;
std::vector<uint8_t> g_backlight;

Bytes g_delivery;
unsigned char g_rxByte;
void OnPanelByte() { g_delivery.push_back(g_rxByte); }

// The host path of the core with a link that can lose or double frames in either direction.
class LossyCoreLink : public orphost::Transport {
public:
    std::function<bool(const Bytes&)> dropToPanel;    // true: the frame never arrives
    std::function<bool(const Bytes&)> dropFromPanel;
    std::function<bool(const Bytes&)> doubleFromPanel;  // true: it arrives twice
    std::function<void(const Bytes&)> beforePanel;      // runs before a frame reaches the panel
    std::vector<Bytes> sent;

    void Send(const uint8_t* frame, size_t length) override {
        Bytes bytes(frame, frame + length);
        sent.push_back(bytes);
        if (dropToPanel && dropToPanel(bytes)) return;
        if (beforePanel) beforePanel(bytes);
        HostLinkReceiveFromApp(Protocol(), frame, static_cast<unsigned int>(length));
    }
    bool Receive(Bytes& bytes) override {
        while (waiting_.empty()) {
            g_delivery.clear();
            if (!HostLinkCheckRx(Protocol())) return false;
            if (dropFromPanel && dropFromPanel(g_delivery)) continue;
            waiting_.push_back(g_delivery);
            if (doubleFromPanel && doubleFromPanel(g_delivery)) waiting_.push_back(g_delivery);
        }
        bytes.insert(bytes.end(), waiting_.front().begin(), waiting_.front().end());
        waiting_.pop_front();
        return true;
    }

private:
    std::deque<Bytes> waiting_;
};

// Drops the first frame that starts with `command` and nothing after it.
std::function<bool(const Bytes&)> DropFirst(uint8_t command) {
    auto done = std::make_shared<bool>(false);
    return [done, command](const Bytes& frame) {
        if (*done || frame.empty() || frame[0] != command) return false;
        *done = true;
        return true;
    };
}

class HostKit : public ::testing::Test {
protected:
    FreshProtocol fresh_;
    FakePlatformScope platform_{&fresh_.record};
    void SetUp() override {
        g_timers.clear();
        g_beeps.clear();
        g_backlight.clear();
        ASSERT_EQ(1, CreatePanelLists(TestPanel()));
        TestPanel().design.model = stPanelModel{};
        TestPanel().design.model.linkFlag = 1;
        TestPanel().design.model.model = 7;
        TestPanel().design.model.bufferSize = 0x0140;
        TestPanel().design.model.keyCount = 12;
        TestPanel().design.model.options = MODEL_BACKLIGHT_SWITCH | MODEL_BACKLIGHT_LEVEL | MODEL_CONTRAST | MODEL_BUZZER;
        ResetHostLink(Protocol());
        FakePlatform& fake = platform_.fake;
        fake.handOver = [] { DispatchAllMessages(TestDispatch()); };
        fake.beep = [](unsigned hz, unsigned ms) { g_beeps.emplace_back(hz, ms); };
        fake.startTimer = [](int id, unsigned) { g_timers[id] = true; };
        fake.stopTimer = [](int id) { g_timers[id] = false; };
        fake.repaintLcd = [] {};
        fake.backlight = [](uint8_t level) { g_backlight.push_back(level); };
        fake.contrast = [](uint8_t) {};
        HostLinkSetRxTarget(Protocol(), OnPanelByte, &g_rxByte);
        LcdClearState(TestPanel().lcd);
        LcdReset(TestPanel().lcd);
        LcdSendInitSequence(TestPanel().lcd);
        // The panel's window is up: it announces its reset until the host answers.
        SendResetAnnouncement(Protocol(), 0);
    }
    void TearDown() override {
        ResetHostLink(Protocol());
        FreePanelLists(TestPanel());
    }
    static std::string LcdLine(int line, int count) {
        std::string out;
        for (int i = 0; i < count; ++i) out += static_cast<char>(TestPanel().lcd.ddram[line * 64 + i]);
        return out;
    }
    static void PressKey(int id, bool down) {
        uint8_t& byte = Protocol().keyState[id >> 3];
        byte = static_cast<uint8_t>(down ? (byte | (1 << (id & 7))) : (byte & ~(1 << (id & 7))));
        SendKeyReport(Protocol(), 0);
    }

    LossyCoreLink link;
    orphost::Panel panel{link, orphost::Panel::Options{3, 5}};
    std::vector<std::string> keyEvents;
    std::vector<orphost::Failure> failures;
    void RecordFailures() {
        panel.onFailure = [this](const orphost::Failure& f) { failures.push_back(f); };
    }
    void RecordKeys() {
        panel.onKeyDown = [this](int id) { keyEvents.push_back("down " + std::to_string(id)); };
        panel.onKeyUp = [this](int id) { keyEvents.push_back("up " + std::to_string(id)); };
    }
};

class HostKitInMode : public HostKit, public ::testing::WithParamInterface<int> {};

// A whole session in each protocol mode: every call gets the panel's real answer and has its
// effect on the panel, frames with CR and ESC inside survive, and a reset brings both sides
// back to mode 0 with fresh numbering.
TEST_P(HostKitInMode, EveryCallReachesThePanelAndGetsItsAnswer) {
    const uint8_t mode = static_cast<uint8_t>(GetParam());
    RecordKeys();
    ASSERT_TRUE(panel.WaitForReset());
    EXPECT_FALSE(g_timers[TIMER_RESET_ANNOUNCEMENT]);
    ASSERT_TRUE(panel.SetMode(mode));
    EXPECT_EQ(mode, ActiveProtocolMode(Protocol()));
    EXPECT_EQ(mode, panel.Mode());

    EXPECT_EQ(Answer::Ack, panel.Clear().kind);
    EXPECT_EQ(Answer::Ack, panel.Text("Hi\r\x1b!").kind);
    EXPECT_EQ(Answer::Ack, panel.GoTo(1, 2).kind);
    EXPECT_EQ(Answer::Ack, panel.Fill(3, '*').kind);
    EXPECT_EQ(Answer::Nak, panel.Fill(1, '*').kind);
    EXPECT_EQ(std::string("Hi\r\x1b!"), LcdLine(0, 5));
    EXPECT_EQ("  ***", LcdLine(1, 5));
    EXPECT_EQ(std::optional<uint8_t>(5), panel.ReadAddress());

    const auto version = panel.Version();
    ASSERT_TRUE(version);
    EXPECT_EQ((std::array<uint8_t, 3>{1, 0, 0}), *version);
    const auto model = panel.QueryModel();
    ASSERT_TRUE(model);
    EXPECT_EQ(7, model->model);
    EXPECT_EQ(0x0140, model->bufferSize);
    EXPECT_EQ(12, model->keyCount);

    EXPECT_EQ(Answer::Ack, panel.AllLeds(0x0D).kind);  // a CR as parameter
    EXPECT_EQ(Answer::Ack, panel.Led(9, true).kind);
    EXPECT_EQ(0x0D, Protocol().ledState[0]);
    EXPECT_EQ(0x0F, Protocol().ledState[1]);
    EXPECT_EQ(Answer::Ack, panel.Backlight(0x40).kind);
    EXPECT_EQ(Answer::Reply, panel.Contrast(0x20).kind);
    EXPECT_EQ(Answer::Ack, panel.Beep(10, 20).kind);
    EXPECT_EQ((std::vector<uint8_t>{0x40}), g_backlight);
    ASSERT_EQ(1u, g_beeps.size());
    EXPECT_EQ(3000u, g_beeps[0].first);  // without the frequency capability
    TestPanel().design.model.options = 0;
    EXPECT_EQ(Answer::Nak, panel.Backlight(1).kind);
    EXPECT_EQ(Answer::Nak, panel.Contrast(1).kind);

    Protocol().keyState[0] = 0x0A;
    EXPECT_EQ(Answer::Reply, panel.RequestKeys().kind);
    EXPECT_TRUE(panel.KeyDown(1) && panel.KeyDown(3) && !panel.KeyDown(2));
    EXPECT_EQ((std::vector<std::string>{"down 1", "down 3"}), keyEvents);
    EXPECT_EQ(0, PendingKeyState(Protocol()).held);  // acknowledged where the mode asks for it

    ASSERT_TRUE(panel.Reset());
    EXPECT_EQ(0, ActiveProtocolMode(Protocol()));
    EXPECT_EQ(0, panel.Mode());
    EXPECT_FALSE(g_timers[TIMER_RESET_ANNOUNCEMENT]);
    ASSERT_TRUE(panel.SetMode(mode));
    EXPECT_EQ(Answer::Ack, panel.Text("ok").kind);
    EXPECT_EQ("ok", LcdLine(0, 2));

    EXPECT_EQ(0u, panel.Statistics().badFrames);
    EXPECT_EQ(0u, panel.Statistics().duplicates);
    EXPECT_EQ(0u, panel.Statistics().repeats);
    EXPECT_EQ(2u, panel.Statistics().resets);
}

INSTANTIATE_TEST_SUITE_P(Modes, HostKitInMode, ::testing::Values(0x00, 0x04, 0x0C, 0x18, 0x1A),
                         [](const ::testing::TestParamInfo<int>& info) {
                             char name[8];
                             std::snprintf(name, sizeof name, "Mode%02X", info.param);
                             return std::string(name);
                         });

TEST_F(HostKit, LostAnswersAreRepeatedOnlyWhereThePanelRecognisesRepeats) {
    RecordFailures();
    ASSERT_TRUE(panel.WaitForReset());
    link.dropFromPanel = DropFirst(orphost::kAck);
    EXPECT_EQ(Answer::None, panel.Text("A").kind);  // mode 0: a repeat would write twice
    EXPECT_EQ("A ", LcdLine(0, 2));
    EXPECT_EQ(0u, panel.Statistics().repeats);
    ASSERT_EQ(1u, failures.size());  // and the caller is told so
    EXPECT_EQ('W', failures[0].command);
    EXPECT_EQ(1, failures[0].attempts);
    EXPECT_NE(std::string::npos, failures[0].text.find("not repeated")) << failures[0].text;
    failures.clear();

    ASSERT_TRUE(panel.SetMode(0x18));
    link.dropFromPanel = DropFirst(orphost::kAck);
    EXPECT_EQ(Answer::Ack, panel.Text("B").kind);
    EXPECT_EQ("AB ", LcdLine(0, 3));  // the repeat was acknowledged, not executed
    EXPECT_EQ(1u, panel.Statistics().repeats);

    link.dropFromPanel = DropFirst('v');  // a lost reply is asked for again
    EXPECT_TRUE(panel.Version());
    link.dropToPanel = DropFirst('W');  // a frame lost on the way to the panel
    EXPECT_EQ(Answer::Ack, panel.Text("C").kind);
    EXPECT_EQ("ABC ", LcdLine(0, 4));
    EXPECT_EQ(3u, panel.Statistics().repeats);
    EXPECT_TRUE(failures.empty());

    // The other side answers in another mode (a target that never saw the mode set-up): each
    // attempt's answer fails its check, and the failure says so instead of passing silently.
    SetActiveProtocolMode(Protocol(), 0);
    EXPECT_FALSE(panel.Version());
    ASSERT_EQ(1u, failures.size());
    EXPECT_EQ(3, failures[0].attempts);
    EXPECT_EQ(3u, failures[0].badFrames);
    EXPECT_NE(std::string::npos, failures[0].text.find("another protocol mode")) << failures[0].text;
}

// While a link to a target comes up, the panel and the target may both answer one frame. The
// second answer must not be taken for the answer of the next call: here it would end the
// version query with an ACK, and the target's 'v' would come unasked.
TEST_F(HostKit, AnAnswerToAnEarlierFrameDoesNotAnswerTheNextCall) {
    ASSERT_TRUE(panel.WaitForReset());
    ASSERT_TRUE(panel.SetMode(0x1B));
    link.doubleFromPanel = DropFirst(orphost::kAck);
    EXPECT_EQ(Answer::Ack, panel.Clear().kind);
    EXPECT_EQ(Answer::Ack, panel.Text("ok").kind);
    const auto version = panel.Version();
    ASSERT_TRUE(version);
    EXPECT_EQ((std::array<uint8_t, 3>{1, 0, 0}), *version);
    EXPECT_EQ(1u, panel.Statistics().staleAnswers);
    EXPECT_EQ(0u, panel.Statistics().repeats);
}

// A target comes up after the host set its mode: the panel sets its modes for the link and
// sends its link notice, as connection management does when the link opens. The kit sets its
// mode up again (with the core dispatcher playing the target), also for a call whose frame
// went out before the notice arrived, and for a target that kept the host's mode.
struct LinkCase {
    const char* name;
    Bytes notice;
    int modeAfterLink;  // the mode the panel (standing in for the target) uses now; -1: unchanged
    uint8_t hostMode;
    bool duringCall;    // the link comes up while the version query waits
};

void PrintTo(const LinkCase& c, std::ostream* out) { *out << c.name; }

class HostKitLinkNotice : public HostKit, public ::testing::WithParamInterface<LinkCase> {};

TEST_P(HostKitLinkNotice, ModeIsSetUpAgainForTheTarget) {
    const LinkCase& c = GetParam();
    const bool network = c.notice[1] == 'U';
    std::vector<int> links;
    panel.onLink = [&](bool network) { links.push_back(network); };
    RecordFailures();
    ASSERT_TRUE(panel.WaitForReset());
    ASSERT_TRUE(panel.SetMode(c.hostMode));
    auto linkComesUp = [&c] {
        if (c.modeAfterLink >= 0) {
            SetActiveProtocolMode(Protocol(), static_cast<uint8_t>(c.modeAfterLink));
            SetPendingProtocolMode(Protocol(), static_cast<uint8_t>(c.modeAfterLink));
        }
        ASSERT_EQ(1, SendToHost(Protocol(), c.notice.data(), static_cast<int>(c.notice.size()), 0));
    };
    if (c.duringCall) {
        link.beforePanel = [&](const Bytes& frame) {
            if (frame[0] != 'V' || !links.empty() || panel.Statistics().linkNotices) return;
            linkComesUp();
        };
    } else {
        linkComesUp();
        panel.Poll();
    }
    const auto version = panel.Version();
    ASSERT_TRUE(version);
    EXPECT_EQ(1, (*version)[0]);
    EXPECT_EQ((std::vector<int>{network}), links);
    EXPECT_EQ(c.hostMode, panel.Mode());
    EXPECT_EQ(c.hostMode, ActiveProtocolMode(Protocol()));
    EXPECT_EQ(1u, panel.Statistics().linkNotices);
    EXPECT_TRUE(failures.empty()) << failures[0].text;
}

const Bytes kSerialNotice{'!', '#', 'q', ')', 0xDF};
const Bytes kNetworkNotice{'!', 'U', 0xAA, '7', 0xB1};
INSTANTIATE_TEST_SUITE_P(Links, HostKitLinkNotice,
                         ::testing::Values(LinkCase{"SerialBetweenCalls", kSerialNotice, 0, 0x1B, false},
                                           LinkCase{"SerialDuringCall", kSerialNotice, 0, 0x1B, true},
                                           LinkCase{"SerialTargetKeptMode", kSerialNotice, -1, 0x1B, true},
                                           LinkCase{"NetworkBetweenCalls", kNetworkNotice, 0x19, 0x0D, false},
                                           LinkCase{"NetworkDuringCall", kNetworkNotice, 0x19, 0x0D, true}),
                         [](const ::testing::TestParamInfo<LinkCase>& info) { return std::string(info.param.name); });

// Lines 2 and 3 of a 4-line LCD start one line width after lines 0 and 1; no panel message
// reports the width, so without it the kit refuses instead of guessing.
TEST_F(HostKit, GoToUsesTheLcdWidthItWasGivenAndRefusesWithoutIt) {
    RecordFailures();
    ASSERT_TRUE(panel.WaitForReset());
    const size_t sentBefore = link.sent.size();
    EXPECT_EQ(Answer::None, panel.GoTo(2, 1).kind);
    EXPECT_EQ(sentBefore, link.sent.size());
    ASSERT_EQ(1u, failures.size());
    const struct {
        int columns, line, column, ddramIndex;  // line 0x40 is held from index 64 on
    } cases[] = {{0, 1, 3, 64 + 3}, {20, 2, 1, 0x15}, {20, 3, 0, 64 + 0x14}, {16, 2, 0, 0x10}};
    for (const auto& c : cases) {
        panel.SetLcdColumns(c.columns);
        EXPECT_EQ(Answer::Ack, panel.GoTo(c.line, c.column).kind);
        EXPECT_EQ(Answer::Ack, panel.Text("#").kind);
        EXPECT_EQ('#', TestPanel().lcd.ddram[c.ddramIndex]) << c.line << "," << c.column;
    }
}

TEST_F(HostKit, KeyReportsSurviveDoubledAndLostFramesAndAcksDoNotShadowCommands) {
    RecordKeys();
    ASSERT_TRUE(panel.WaitForReset());
    ASSERT_TRUE(panel.SetMode(0x1B));

    link.doubleFromPanel = [](const Bytes& f) { return !f.empty() && f[0] == 'k'; };
    PressKey(5, true);
    panel.Poll();
    EXPECT_EQ((std::vector<std::string>{"down 5"}), keyEvents);
    EXPECT_EQ(1u, panel.Statistics().duplicates);
    EXPECT_EQ(0, PendingKeyState(Protocol()).held);

    link.doubleFromPanel = nullptr;
    link.dropToPanel = DropFirst(orphost::kAck);  // the host's acknowledgement is lost
    PressKey(5, false);
    panel.Poll();
    EXPECT_GT(PendingKeyState(Protocol()).held, 0);
    DispatcherTimer(Protocol(), TIMER_KEY_REPORT);  // the panel repeats the report
    panel.Poll();
    EXPECT_EQ(0, PendingKeyState(Protocol()).held);
    EXPECT_EQ((std::vector<std::string>{"down 5", "up 5"}), keyEvents);


    // The panel takes the number of the last acknowledged report ('e' here, the host's own
    // next number) as the last one it accepted; the next command must not carry it, or the
    // panel would take it for a repeat and not execute it.
    EXPECT_EQ(Answer::Ack, panel.Text("Z").kind);
    EXPECT_EQ('Z', TestPanel().lcd.ddram[0]);
    EXPECT_EQ(0u, panel.Statistics().badFrames);

    // Reports submitted while one waits for its acknowledgement are merged into it, and its
    // repeat carries them under the old number: release, press and release of key 7 here.
    link.dropToPanel = DropFirst(orphost::kAck);
    PressKey(7, true);
    panel.Poll();  // 'k' for key 7, its ACK lost
    PressKey(7, false);
    PressKey(7, true);
    PressKey(7, false);
    DispatcherTimer(Protocol(), TIMER_KEY_REPORT);
    panel.Poll();
    EXPECT_EQ((std::vector<std::string>{"down 5", "up 5", "down 7", "up 7", "down 7", "up 7"}), keyEvents);
    EXPECT_EQ(0, PendingKeyState(Protocol()).held);
}

TEST_F(HostKit, DamagedAndOversizedFramesFromThePanelAreDropped) {
    // A callback may call the panel: the key lights its LED.
    panel.onKeyDown = [this](int id) {
        keyEvents.push_back("down " + std::to_string(id));
        EXPECT_EQ(Answer::Ack, panel.Led(id, true).kind);
    };
    ASSERT_TRUE(panel.WaitForReset());
    ASSERT_TRUE(panel.SetMode(0x18));
    Bytes report = orphost::BuildFrame(0x18, Bytes{'k', 0x01}.data(), 2, 'q');
    Bytes damaged = report;
    damaged[1] ^= 0x02;
    panel.Take(damaged.data(), damaged.size());
    Bytes huge(700, 'x');
    huge.push_back(orphost::kCr);
    panel.Take(huge.data(), huge.size());
    EXPECT_TRUE(keyEvents.empty());
    EXPECT_EQ(2u, panel.Statistics().badFrames);
    panel.Take(report.data(), report.size());
    panel.Take(report.data(), report.size());
    EXPECT_EQ((std::vector<std::string>{"down 0"}), keyEvents);
    EXPECT_EQ(1u, panel.Statistics().duplicates);
    EXPECT_EQ(0x01, Protocol().ledState[0]);
}

}  // namespace
