// Operating the panel's keys with the mouse, as a person does: button messages at the pixel
// centres of a test design's keys, key reports read back through CheckRx in the protocol modes
// a host chooses, and the pressed look read back from the window's pixels.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "harness/panel_session.h"
#include "harness/test_design.h"
#include "harness/ui_driver.h"
#include "protocol/frame.h"

namespace {

// Keys of the test design besides its own 0 and 1 (plate pixels, scale 1).
const TestObject kKey9{9, 10, 70, 30, 20, "Start measurement"};
const TestObject kKey12{12, 50, 70, 30, 20, "-"};
const TestObject kKey20{20, 150, 85, 40, 25, "-"};  // its right part lies under LED 5
const TestObject kLed5{5, 176, 90, 12, 12, "Alarm"};

POINT Centre(const TestObject& o) { return POINT{o.x + o.width / 2, o.y + o.height / 2}; }

std::string Frame(const std::string& message, uint8_t mode = 0, uint8_t sequence = 0) {
    std::string body = message;
    if (mode & MODE_SEQUENCE) body += static_cast<char>(sequence);
    if (mode & MODE_CRC) {
        const uint16_t crc = Crc16(reinterpret_cast<const uint8_t*>(body.data()), static_cast<int>(body.size()));
        body += static_cast<char>(crc >> 8);
        body += static_cast<char>(crc & 0xFF);
    } else if (mode & MODE_CHECKSUM) {
        uint8_t sum = 0;
        for (unsigned char c : body) sum = static_cast<uint8_t>(sum + c);
        body += static_cast<char>(~sum);
    }
    std::string out;
    for (char c : body) {
        if (c == '\r' || c == '\x1b') out += '\x1b';
        out += c;
    }
    return out + '\r';
}

std::string Unstuffed(const std::string& raw) {
    std::string out(raw.size(), '\0');
    out.resize(static_cast<size_t>(UnescapeFrame(reinterpret_cast<const uint8_t*>(raw.data()),
                                                 static_cast<int>(raw.size()), reinterpret_cast<uint8_t*>(&out[0]))));
    return out;
}

int CheckBytes(uint8_t mode) { return (mode & MODE_CRC) ? 2 : (mode & MODE_CHECKSUM) ? 1 : 0; }

// A panel frame's message (without sequence, check bytes and CR) and its sequence byte.
struct PanelFrame {
    std::string message;
    uint8_t sequence = 0;
};

PanelFrame Parse(const std::string& raw, uint8_t mode) {
    std::string f = Unstuffed(raw);
    PanelFrame parsed;
    size_t end = f.size() - 1 - static_cast<size_t>(CheckBytes(mode));
    if (mode & MODE_SEQUENCE) parsed.sequence = static_cast<uint8_t>(f[--end]);
    parsed.message = f.substr(0, end);
    return parsed;
}

COLORREF Pixel(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

HWND StatusLineOf(HWND panel) { return FindWindowExA(panel, nullptr, "static", nullptr); }

class PanelKeys : public ::testing::Test {
protected:
    void Start(unsigned long options = OPT_ENGLISH) {
        TestSettings settings;
        settings.fileCfg = MakeTempWorkDir("keys") + "\\keys.orp";
        design.extraKeys = {kKey9, kKey12, kKey20};
        design.extraLeds = {kLed5};
        ASSERT_TRUE(WriteTestDesign(settings.fileCfg, design));
        // A pointer left over a key by an earlier test would hold the tips back.
        SetCursorPos(0, 0);
        session.reset(new PanelSession(options, settings));
        ASSERT_TRUE(session->ok()) << session->error();
        window = session->panel();
        ASSERT_TRUE(session->AcknowledgeResetAnnouncement());
        ASSERT_TRUE(WaitUntil([&] { return Pixel(window, 5, 5) == design.plateColour; }));
    }
    // Sets the protocol mode as a host does: 'M' in the old mode, 'A' in the new one.
    void UseMode(uint8_t next) {
        session->Send(Frame(std::string("M") + static_cast<char>(next), mode, hostSequence++));
        EXPECT_EQ(std::string("m") + static_cast<char>(next), Parse(session->NextFrame(), mode).message);
        mode = next;
        session->Send(Frame("A", mode, hostSequence++));
        EXPECT_EQ("\x06", Parse(session->NextFrame(), mode).message);
    }
    void Mouse(UINT message, POINT at, WPARAM keys = 0) {
        SendMessageA(window, message, keys, MAKELPARAM(at.x, at.y));
    }
    void Click(POINT at, WPARAM keys = 0) {
        Mouse(WM_LBUTTONDOWN, at, keys | MK_LBUTTON);
        Mouse(WM_LBUTTONUP, at, keys);
    }
    std::string KeyRequest() {
        session->Send(Frame("K", mode, hostSequence++));
        return Parse(session->NextFrame(), mode).message;
    }
    // The look's sunken edge runs 2 pixels inside the key's rectangle.
    COLORREF EdgePixel(const TestObject& key) { return Pixel(window, key.x + 2, key.y + key.height / 2); }
    bool LooksPressed(const TestObject& key) { return EdgePixel(key) != design.plateColour; }

    TestDesign design;
    std::unique_ptr<PanelSession> session;
    HWND window = nullptr;
    uint8_t mode = 0;
    uint8_t hostSequence = 'A';
};

TEST_F(PanelKeys, SpontaneousReportsFollowPressAndReleaseOnlyInModesThatAskForThem) {
    Start();
    // Mode 0: the press is kept but not reported until the host asks.
    Mouse(WM_LBUTTONDOWN, Centre(kKey9), MK_LBUTTON);
    Click(Centre(kKey12));
    Mouse(WM_LBUTTONDOWN, Centre(kKey12), MK_LBUTTON);
    EXPECT_TRUE(session->FramesWithin(600).empty());
    EXPECT_EQ("k\x81\x12", KeyRequest());
    EXPECT_FALSE(LooksPressed(kKey9)) << "a plain press leaves the look alone";

    Mouse(WM_LBUTTONUP, Centre(kKey12));
    Mouse(WM_LBUTTONUP, Centre(kKey9));

    // Mode 0x01: every change is reported at once; a release over no key releases nothing.
    UseMode(0x01);
    Mouse(WM_LBUTTONDOWN, Centre(kKey9), MK_LBUTTON);
    EXPECT_EQ("k\x81\x02\r", session->NextFrame());
    Mouse(WM_LBUTTONUP, POINT{5, 5});
    EXPECT_EQ("k", KeyRequest()) << "key 9 is still down, nothing changed";
    Mouse(WM_LBUTTONUP, Centre(kKey9));
    EXPECT_EQ(std::string("k\x81\x00\r", 4), session->NextFrame());
}

TEST_F(PanelKeys, UnacknowledgedReportRepeatsEverySecondAtMostSevenTimes) {
    Start();
    UseMode(0x03);
    Mouse(WM_LBUTTONDOWN, Centre(kKey9), MK_LBUTTON);
    std::vector<std::string> frames;
    WaitUntil([&] {
        std::string f = session->NextFrame(50);
        if (!f.empty()) frames.push_back(f);
        return frames.size() >= 8;
    }, 15000);
    ASSERT_EQ(8u, frames.size()) << "the report and its seven repetitions";
    for (const std::string& f : frames) EXPECT_EQ("k\x81\x02\r", f);
    EXPECT_TRUE(session->FramesWithin(2500).empty()) << "no eighth repetition";
}

TEST_F(PanelKeys, AcknowledgementWithItsSequenceByteReleasesTheReportAndABadOneDoesNot) {
    for (uint8_t keyMode : {0x0E, 0x1A}) {
        SCOPED_TRACE(keyMode);
        session.reset();
        mode = 0;
        Start();
        UseMode(keyMode);
        Click(Centre(kKey9), MK_CONTROL);  // latched: stays down for the request
        EXPECT_TRUE(session->FramesWithin(300).empty()) << "no spontaneous reports without 0x01";

        session->Send(Frame("K", mode, hostSequence++));
        const PanelFrame report = Parse(session->NextFrame(), mode);
        EXPECT_EQ("k\x81\x02", report.message);

        // An ACK whose check fails is dropped: the report comes again with its sequence byte.
        std::string badAck = Frame("\x06", mode, report.sequence);
        badAck[badAck.size() - 2] = static_cast<char>(badAck[badAck.size() - 2] ^ 0x01);
        session->Send(badAck);
        const PanelFrame repeat = Parse(session->NextFrame(2500), mode);
        EXPECT_EQ(report.message, repeat.message);
        EXPECT_EQ(report.sequence, repeat.sequence);

        session->Send(Frame("\x06", mode, report.sequence));
        EXPECT_TRUE(session->FramesWithin(2200).empty()) << "acknowledged: no more repetitions";
    }
}

TEST_F(PanelKeys, CtrlClickLatchesWithThePressedLookAndCtrlReleaseReleasesAll) {
    Start();
    Click(Centre(kKey9), MK_CONTROL);
    EXPECT_TRUE(WaitUntil([&] { return LooksPressed(kKey9); })) << std::hex << EdgePixel(kKey9);
    EXPECT_EQ("k\x81\x02", KeyRequest()) << "the release with Ctrl held keeps the key down";
    Click(Centre(kKey9), MK_CONTROL);
    EXPECT_TRUE(WaitUntil([&] { return !LooksPressed(kKey9); }));
    EXPECT_EQ(std::string("k\x81\x00", 3), KeyRequest());

    Click(Centre(kKey9), MK_CONTROL);
    Click(Centre(kKey12), MK_CONTROL);
    EXPECT_TRUE(WaitUntil([&] { return LooksPressed(kKey9) && LooksPressed(kKey12); }));
    EXPECT_EQ("k\x81\x12", KeyRequest());
    SendMessageA(window, WM_KEYUP, VK_CONTROL, 0);
    EXPECT_TRUE(WaitUntil([&] { return !LooksPressed(kKey9) && !LooksPressed(kKey12); }))
        << std::hex << EdgePixel(kKey9) << " " << EdgePixel(kKey12);
    EXPECT_EQ(std::string("k\x81\x00", 3), KeyRequest());
}

TEST_F(PanelKeys, AnLedOverAKeyHidesItFromTheMouseAndObjectsShowTheirTooltips) {
    Start(OPT_ENGLISH | OPT_SHOW_COORDS);
    UseMode(0x01);
    Click(Centre(kLed5));
    EXPECT_TRUE(session->FramesWithin(500).empty()) << "the key under the LED stays up";
    Mouse(WM_LBUTTONDOWN, POINT{kKey20.x + 5, kKey20.y + 5}, MK_LBUTTON);
    EXPECT_EQ("k\x82\x10\r", session->NextFrame()) << "key 20 beside the LED";

    HWND status = StatusLineOf(window);
    RECT frame;
    GetWindowRect(window, &frame);
    Mouse(WM_MOUSEMOVE, Centre(kKey9));
    const std::string coords = "cx: 25, cy: 80\nwx: " + std::to_string(frame.left) + ", wy: " +
                               std::to_string(frame.top);
    EXPECT_TRUE(WaitUntil([&] { return WindowText(status) == coords; })) << WindowText(status);
}

TEST_F(PanelKeys, TipsRotateAwayFromObjectsAndStopForATooltip) {
    design.tips = {"First tip", "Second tip"};
    design.tipSeconds = 1;
    Start();
    HWND status = StatusLineOf(window);
    auto isTip = [&](const std::string& text) { return text == "First tip" || text == "Second tip"; };
    Mouse(WM_MOUSEMOVE, POINT{5, 5});
    const std::string first = WindowText(status);
    EXPECT_TRUE(isTip(first)) << "a tip at once: " << first;
    EXPECT_TRUE(WaitUntil([&] { std::string t = WindowText(status); return isTip(t) && t != first; }, 5000))
        << "the tips rotate: " << WindowText(status);

    Mouse(WM_MOUSEMOVE, Centre(kKey9));
    EXPECT_EQ("Start measurement", WindowText(status));
    EXPECT_FALSE(WaitUntil([&] { return WindowText(status) != "Start measurement"; }, 2500, 50))
        << "resting on a key stops the rotation: " << WindowText(status);
    Mouse(WM_MOUSEMOVE, Centre(kLed5));
    EXPECT_EQ("Alarm", WindowText(status));
    Mouse(WM_MOUSEMOVE, Centre(kKey12));  // "-" is too short to show
    EXPECT_EQ("Alarm", WindowText(status));
}

TEST_F(PanelKeys, ATipIntervalOfZeroKeepsTheTipAfterTheTipsDialog) {
    design.tips = {"First tip", "Second tip"};
    design.tipSeconds = 0;
    Start();
    HWND status = StatusLineOf(window);
    Mouse(WM_MOUSEMOVE, POINT{5, 5});
    PostMessageA(window, WM_COMMAND, 32804, 0);
    HWND dialog = WaitForDialog(window, "Tips for the front panel operation");
    ASSERT_NE(nullptr, dialog);
    ClickItem(dialog, IDOK);
    ASSERT_TRUE(WaitUntilClosed(dialog));
    const std::string shown = WindowText(status);
    EXPECT_FALSE(WaitUntil([&] { return WindowText(status) != shown; }, 1500, 20))
        << "the tip stays: " << WindowText(status);
}

TEST(PanelConnectionIcon, WithoutADesignFileAClickOnTheIconOnlyExplainsInTheTrace) {
    TestSettings settings;
    settings.trace = true;
    settings.fileCfg = MakeTempWorkDir("icon") + "\\gone.orp";  // missing: the panel starts a new design
    PanelSession session(OPT_ENGLISH | OPT_COMM_UI | OPT_FILE_COMMANDS, settings);
    ASSERT_TRUE(session.ok()) << session.error();
    HWND window = session.panel();
    ASSERT_TRUE(WaitUntil([&] { return WindowText(window) == "ORPpanel - New ORP design"; }));
    HWND trace = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (trace = FindTopLevelWindow("ORPpanelTraceWnd")) != nullptr; }));
    HWND traceText = GetDlgItem(trace, 3);
    RECT client;
    GetClientRect(window, &client);
    const int iconSize = GetSystemMetrics(SM_CXICON);
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON,
                 MAKELPARAM(client.right - iconSize / 2, client.bottom - iconSize / 4));
    const std::string expected = "Kann Schnittstelle nicht \xF6" "ffnen (kein Designfile geladen)\r\n";
    EXPECT_TRUE(WaitUntil([&] { return WindowText(traceText).find(expected) != std::string::npos; }))
        << WindowText(traceText);
    EXPECT_EQ(nullptr, FindTopLevelWindow("#32770")) << "no connection dialog";
}

}  // namespace
