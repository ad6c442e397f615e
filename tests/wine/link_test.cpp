// The links to target hardware, driven through the panel's menu commands and dialogs.
//
// CommDialogs* need nothing but the panel. LinkLab* talk to orp-target, which tests/wine/
// link_lab.sh runs in a network namespace (UDP) or on a socat pty pair linked as a COM port of
// the wine prefix (serial); the tests ask that script for targets and faults through request
// files in the lab directory it names in ORP_LINK_LAB. Run without the script they skip.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "harness/panel_dll.h"
#include "harness/panel_session.h"
#include "harness/session_link.h"
#include "harness/test_design.h"
#include "monitor/monitor_line.h"
#include "orppanel_host.h"

namespace {
constexpr unsigned long kCommUi = 0x8;
constexpr unsigned long kLinkSetupMsg = 0x40000;
constexpr WPARAM kConnect = 32773;
constexpr WPARAM kCommSettings = 32840;
constexpr int kCommMenuPosition = 3;

const char* const kConnectCaption = "Verbindungsaufbau....";
const char* const kSettingsCaption = "Kommunikationseinstellungen";

// ---- what the panel shows -------------------------------------------------------------------
struct DialogSearch {
    const char* caption;
    std::vector<HWND> found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<DialogSearch*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char cls[16] = {}, text[128] = {};
    GetClassNameA(window, cls, sizeof cls);
    GetWindowTextA(window, text, sizeof text);
    // Visible or not: a modal dialog shows itself only once its queue is idle.
    if (process == GetCurrentProcessId() && lstrcmpA(cls, "#32770") == 0 && lstrcmpA(text, search->caption) == 0)
        search->found.push_back(window);
    return TRUE;
}

// Every dialog of this process with that caption.
std::vector<HWND> FindDialogs(const char* caption) {
    DialogSearch search{caption, {}};
    EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindDialog(const char* caption) {
    const std::vector<HWND> found = FindDialogs(caption);
    return found.empty() ? nullptr : found.front();
}

HWND WaitForDialog(const char* caption, DWORD timeoutMs = 15000) {
    HWND dialog = nullptr;
    WaitUntil([&] { return (dialog = FindDialog(caption)) != nullptr; }, timeoutMs);
    return dialog;
}

// The communication menu's texts as the panel prepares them when the pop-up opens.
std::string ConnectMenuText(HWND panel, UINT* state = nullptr) {
    HMENU bar = GetMenu(panel);
    HMENU popup = GetSubMenu(bar, kCommMenuPosition);
    SendMessageA(panel, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), kCommMenuPosition);
    char text[128] = {};
    GetMenuStringA(bar, static_cast<UINT>(kConnect), text, sizeof text, MF_BYCOMMAND);
    if (state) *state = GetMenuState(bar, static_cast<UINT>(kCommSettings), MF_BYCOMMAND);
    return text;
}

std::string TraceText() {
    HWND trace = FindTopLevelWindow("ORPpanelTraceWnd");
    return trace ? WindowText(GetDlgItem(trace, 3)) : "";
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

bool Responsive(HWND panel) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(panel, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0;
}

std::string ReadRegistry(const char* name) {
    char value[300] = {};
    DWORD size = sizeof value;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tavelle\\OrPpanel\\Settings", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "";
    RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    return value;
}

// Only enabled buttons: a click on a disabled one does not come back under Wine.
void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
// A button that ends its dialog is clicked through the dialog's queue, as a person's click
// arrives: a dialog ended from a sent message drops the next message its loop takes.
void ClickToEnd(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// ---- the lab -----------------------------------------------------------------------------------
std::string LabDir() {
    const char* dir = std::getenv("ORP_LINK_LAB");
    if (!dir) return "";
    std::string path = std::string("Z:") + dir;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// One request to link_lab.sh; returns its reply ("" when it did not answer in time).
std::string Lab(const std::string& request) {
    const std::string dir = LabDir();
    const std::string reply = dir + "\\reply";
    DeleteFileA(reply.c_str());
    {
        std::ofstream out(dir + "\\request.tmp", std::ios::binary);
        out << request << "\n";
    }
    MoveFileExA((dir + "\\request.tmp").c_str(), (dir + "\\request").c_str(), MOVEFILE_REPLACE_EXISTING);
    std::string answer;
    WaitUntil(
        [&] {
            answer = ReadWholeFile(reply);
            return !answer.empty();
        },
        20000, 20);
    while (!answer.empty() && (answer.back() == '\n' || answer.back() == '\r')) answer.pop_back();
    return answer;
}

std::string TargetLog() { return ReadWholeFile(LabDir() + "\\target.log"); }

// Whether this process can open the COM port itself, i.e. the panel has closed it.
bool PortIsFree(int port) {
    HANDLE handle = CreateFileA(("\\\\.\\COM" + std::to_string(port)).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    return handle != INVALID_HANDLE_VALUE && CloseHandle(handle);
}

int CountOf(const std::string& text, const std::string& part) {
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++count;
    return count;
}

// The target's log line for a frame from the panel.
std::string PanelLine(const std::string& bytes) {
    std::string line = FormatMonitorLine(MONITOR_HOST_TO_PANEL, reinterpret_cast<const uint8_t*>(bytes.data()),
                                         bytes.size(), 0, 0);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    return "panel>  " + line;
}

class LinkLab : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* why = std::getenv("ORP_LINK_LAB_SKIP")) GTEST_SKIP() << "link lab unavailable: " << why;
        if (LabDir().empty()) GTEST_SKIP() << "needs the link lab: run through tests/wine/link_lab.sh (ctest wine_link_lab)";
    }
    void TearDown() override {
        if (!LabDir().empty()) Lab("stop");
    }
    // Starts a UDP target with that handshake answer; fills the panel's settings for it.
    void StartUdpTarget(const char* handshake, int port) {
        const std::string reply = Lab(std::string("udp ") + handshake + " " + std::to_string(port));
        ASSERT_EQ(0u, reply.rfind("ok ", 0)) << reply;
        settings.commSettings = true;
        settings.ifaceType = 1;
        settings.netIp = reply.substr(3);
        settings.netPort = port;
        settings.trace = true;
    }
    void StartSerialTarget() {
        const std::string reply = Lab("serial granted");
        ASSERT_EQ(0u, reply.rfind("ok com", 0)) << reply;
        settings.commSettings = true;
        settings.ifaceType = 0;
        settings.commPort = std::atoi(reply.c_str() + 6);
        settings.trace = true;
    }
    // Connects from the menu and waits until the menu offers Disconnect.
    bool Connect(PanelSession& session) {
        PostMessageA(session.panel(), WM_COMMAND, kConnect, 0);
        return WaitUntil([&] { return ConnectMenuText(session.panel()) == "&Trennen\tCtrl+C" && !FindDialog(kConnectCaption); },
                         15000, 50);
    }
    bool Disconnect(PanelSession& session) {
        PostMessageA(session.panel(), WM_COMMAND, kConnect, 0);
        return WaitUntil([&] { return ConnectMenuText(session.panel()) == "&Verbinden\tCtrl+C" && !FindDialog(kConnectCaption); },
                         15000, 50);
    }
    // Connects and disconnects again and again while a host thread writes to the link and the
    // target answers: the writes, the reader and the closing of the link meet. Ends connected,
    // with a key report of the target arriving whole.
    void CycleWhileTalking(PanelSession& session) {
        const int threadsBefore = ThreadCount();
        std::atomic<bool> stop{false};
        std::thread host([&] {
            for (int i = 0; i < 20000 && !stop; ++i, Sleep(2)) session.Send("V\r");
        });
        bool cycling = true;
        for (int round = 0; round < 6 && cycling; ++round) {
            const int heard = CountOf(TargetLog(), PanelLine("V\r"));
            EXPECT_TRUE(Connect(session) && WaitUntil([&] { return CountOf(TargetLog(), PanelLine("V\r")) > heard + 3; },
                                                      10000, 50)) << "round " << round << TraceText();
            EXPECT_TRUE(cycling = Disconnect(session)) << "round " << round;
            session.Drain();
        }
        stop = true;
        host.join();
        if (settings.ifaceType == 0) {
            EXPECT_TRUE(PortIsFree(settings.commPort)) << "the port stayed open";
        }
        EXPECT_TRUE(WaitUntil([&] { return ThreadCount() <= threadsBefore; })) << "a reader thread survived";
        EXPECT_TRUE(Responsive(session.panel()));
        ASSERT_TRUE(Connect(session));
        ASSERT_EQ("ok", Lab("say key 9 down"));
        EXPECT_TRUE(DrainUntil(session, "k\x81\x02\r"));
    }
    // Frames that reach the host until `frame` arrives; false when it does not in time.
    bool DrainUntil(PanelSession& session, const std::string& frame, size_t* longest = nullptr,
                    DWORD timeoutMs = 20000) {
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < timeoutMs) {
            std::string next = session.NextFrame(500);
            if (longest && next.size() > *longest) *longest = next.size();
            if (next == frame) return true;
        }
        return false;
    }
    TestSettings settings;
};

TEST_F(LinkLab, UdpHandshakeGrantedHandsTheHostToTheTargetAndConnectAgainDisconnects) {
    StartUdpTarget("granted", 7651);
    PanelSession session(kCommUi, settings);
    ASSERT_TRUE(session.ok()) << session.error();
    ASSERT_TRUE(session.AcknowledgeResetAnnouncement());
    UINT settingsState = 0;
    EXPECT_EQ("&Verbinden\tCtrl+C", ConnectMenuText(session.panel(), &settingsState));
    EXPECT_FALSE(settingsState & MF_GRAYED);

    ASSERT_TRUE(Connect(session)) << TraceText();
    ConnectMenuText(session.panel(), &settingsState);
    EXPECT_TRUE(settingsState & MF_GRAYED);
    EXPECT_TRUE(Contains(TargetLog(), PanelLine("H\r"))) << TargetLog();
    EXPECT_EQ(std::string("h\x00\x11\r", 4), session.NextFrame());  // the answer reaches the host too

    // The target answers the host now, the panel does not.
    session.Send("V\r");
    std::vector<std::string> frames = session.FramesWithin(1500);
    ASSERT_EQ(1u, frames.size());
    EXPECT_EQ(std::string("v\x01\x00\x00\r", 5), frames[0]);

    PostMessageA(session.panel(), WM_COMMAND, kConnect, 0);
    EXPECT_TRUE(WaitUntil([&] { return ConnectMenuText(session.panel()) == "&Verbinden\tCtrl+C"; }, 10000, 50));
    std::string trace;
    WaitUntil([&] { return Contains(trace = TraceText(), "Socket geschlossen"); }, 10000, 100);
    const size_t open = trace.find("Lan Schnittstelle bereits offen");
    ASSERT_NE(std::string::npos, open) << trace;
    EXPECT_NE(std::string::npos, trace.find("Socket geschlossen", open)) << trace;
    // The panel answers the host for itself again.
    session.Send("V\r");
    EXPECT_EQ(std::string("v\x01\x00\x00\r", 5), session.NextFrame());
}

TEST_F(LinkLab, InterfaceActiveOnStartConnectsWhileTheHostIsAlreadyTalking) {
    StartUdpTarget("granted2", 7656);
    settings.ifaceOpen = true;
    PanelSession session(kCommUi, settings);
    ASSERT_TRUE(session.ok()) << session.error();
    // The host's first messages are not held up by the connection being set up.
    session.Send("V\r");
    EXPECT_TRUE(WaitUntil([&] { return ConnectMenuText(session.panel()) == "&Trennen\tCtrl+C"; }, 15000, 50))
        << TraceText();
    session.Drain();
    session.Send("T\r");
    EXPECT_TRUE(DrainUntil(session, std::string("t\x01\x01\x00\x40\x10\x08\x3F\r", 9)));
}

TEST_F(LinkLab, LinkSetupNoticeSwitchesToSequenceAndCrcForTheHandshake) {
    StartUdpTarget("granted", 7657);
    PanelSession session(kCommUi | kLinkSetupMsg, settings);
    ASSERT_TRUE(session.ok()) << session.error();
    ASSERT_TRUE(session.AcknowledgeResetAnnouncement());
    ASSERT_TRUE(Connect(session)) << TraceText() << TargetLog();
    // The notice comes first, framed with a sequence byte and CRC; then the target's answer.
    const std::string notice = session.NextFrame();
    EXPECT_EQ(0u, notice.rfind("!U\xAA" "7\xB1", 0)) << Printable(notice);
    EXPECT_GE(notice.size(), 9u) << Printable(notice);  // sequence byte, CRC and CR (maybe stuffed)
    const std::string answer = session.NextFrame();
    EXPECT_EQ(0u, answer.rfind(std::string("h\x00\x11", 3), 0)) << Printable(answer);
}

TEST_F(LinkLab, SilentTargetIsAskedThreeMoreTimesThenTheUserIsAsked) {
    StartUdpTarget("silent", 7652);
    PanelSession session(kCommUi, settings);
    ASSERT_TRUE(session.ok()) << session.error();
    PostMessageA(session.panel(), WM_COMMAND, kConnect, 0);
    HWND dialog = WaitForDialog(kConnectCaption);
    ASSERT_TRUE(dialog);
    const std::string where = settings.netIp + " mit Port Nummer 7652.";
    const std::string expected[] = {
        "Aufbau der Verbindung zu " + where,
        "Keine Antwort von " + where + "\n1 Wiederholung.",
        "Keine Antwort von " + where + "\n2 Wiederholung.",
        "Keine Antwort von " + where + "\n3 Wiederholung.",
        "M\xF6" "chten Sie es erneut versuchen?",
    };
    std::vector<std::string> seen;
    WaitUntil(
        [&] {
            std::string text = WindowText(GetDlgItem(dialog, 1266));
            if (!text.empty() && (seen.empty() || seen.back() != text)) seen.push_back(text);
            return text == expected[4];
        },
        20000, 20);
    std::string texts;
    for (const std::string& text : seen) texts += "[" + text + "] ";
    ASSERT_EQ(5u, seen.size()) << texts;
    for (int i = 0; i < 5; ++i) EXPECT_EQ(expected[i], seen[i]);
    // One hello at the start and one per repetition; none after the question.
    EXPECT_FALSE(WaitUntil([] { return CountOf(TargetLog(), PanelLine("H\r")) > 4; }, 3000, 100));
    EXPECT_EQ(4, CountOf(TargetLog(), PanelLine("H\r"))) << TargetLog();

    ClickToEnd(dialog, IDCANCEL);
    EXPECT_TRUE(WaitUntil([] { return !FindDialog(kConnectCaption); }));
    EXPECT_TRUE(WaitUntil([] { return Contains(TraceText(), "Socket geschlossen"); }, 10000, 100)) << TraceText();
    EXPECT_EQ("&Verbinden\tCtrl+C", ConnectMenuText(session.panel()));
}

TEST_F(LinkLab, TargetInUseIsTakenOverAsSupervisor) {
    StartUdpTarget("inuse", 7653);
    PanelSession session(kCommUi, settings);
    ASSERT_TRUE(session.ok()) << session.error();
    ASSERT_TRUE(session.AcknowledgeResetAnnouncement());
    PostMessageA(session.panel(), WM_COMMAND, kConnect, 0);
    HWND takeover = WaitForDialog("Verbindung aufbauen");
    ASSERT_TRUE(takeover) << TraceText();
    ClickToEnd(takeover, 1247);
    EXPECT_TRUE(WaitUntil([] { return Contains(TargetLog(), PanelLine(std::string("F\x01\r", 3))); })) << TargetLog();
    // Established without another answer from the target.
    EXPECT_TRUE(WaitUntil([&] { return ConnectMenuText(session.panel()) == "&Trennen\tCtrl+C"; }, 10000, 50));
    EXPECT_FALSE(FindDialog(kConnectCaption));
    session.Drain();
    session.Send("V\r");
    std::vector<std::string> frames = session.FramesWithin(1500);
    ASSERT_EQ(1u, frames.size());
    EXPECT_EQ(std::string("v\x01\x00\x00\r", 5), frames[0]);
}

TEST_F(LinkLab, UdpFloodAndVanishingTargetLeaveThePanelWorking) {
    StartUdpTarget("granted", 7654);
    PanelSession session(kCommUi, settings);
    ASSERT_TRUE(session.ok()) << session.error();
    ASSERT_TRUE(session.AcknowledgeResetAnnouncement());
    ASSERT_TRUE(Connect(session));
    // Oversized datagrams are receive errors; short junk is passed on as the target sent it.
    // A flood overruns the socket's buffers, so some of it is lost on the way.
    ASSERT_EQ("ok", Lab("say flood 300 300"));
    ASSERT_EQ("ok", Lab("say flood 300 40"));
    EXPECT_TRUE(WaitUntil([] { return Contains(TraceText(), "Empfangs Fehler"); }, 15000, 200)) << TraceText();
    EXPECT_TRUE(Responsive(session.panel()));
    // Afterwards the host and the target still talk.
    size_t longest = 0;
    bool answered = false;
    for (int attempt = 0; attempt < 5 && !answered; ++attempt) {
        session.Send("V\r");
        answered = DrainUntil(session, std::string("v\x01\x00\x00\r", 5), &longest, 4000);
    }
    EXPECT_TRUE(answered);
    EXPECT_LE(longest, 256u);

    // The target's network disappears.
    ASSERT_EQ("ok", Lab("netns-down"));
    session.Send("V\r");
    EXPECT_TRUE(Responsive(session.panel()));
    PostMessageA(session.panel(), WM_COMMAND, kConnect, 0);
    EXPECT_TRUE(WaitUntil([&] { return ConnectMenuText(session.panel()) == "&Verbinden\tCtrl+C"; }, 10000, 50));
    EXPECT_TRUE(WaitUntil([] { return Contains(TraceText(), "Socket geschlossen"); }, 10000, 100)) << TraceText();
}

TEST_F(LinkLab, SerialTargetGetsHostFramesAndReportsKeysAndSurvivesFloodAndHangup) {
    StartSerialTarget();
    // A design with key 9, so that the target's report shows on the panel too.
    TestDesign design;
    const TestObject key9{9, 10, 70, 30, 20, "Nine"};
    design.extraKeys = {key9};
    settings.fileCfg = MakeTempWorkDir("link_keys") + "\\keys.orp";
    ASSERT_TRUE(WriteTestDesign(settings.fileCfg, design));
    PanelSession session(kCommUi | kLinkSetupMsg, settings);
    ASSERT_TRUE(session.ok()) << session.error();
    ASSERT_TRUE(session.AcknowledgeResetAnnouncement());
    ASSERT_TRUE(Connect(session)) << TraceText();
    EXPECT_EQ("!#q)\xDF\r", session.NextFrame());  // the serial link notice

    const std::string text("W\x1B\rx\r", 5);  // a stuffed CR inside
    session.Send(text);
    EXPECT_TRUE(WaitUntil([&] { return Contains(TargetLog(), PanelLine(text)); })) << TargetLog();
    session.Drain();

    // The pressed look's sunken edge runs 2 pixels inside the key's rectangle.
    auto looksPressed = [&] {
        HDC dc = GetDC(session.panel());
        COLORREF edge = GetPixel(dc, key9.x + 2, key9.y + key9.height / 2);
        ReleaseDC(session.panel(), dc);
        return edge != design.plateColour;
    };
    EXPECT_FALSE(looksPressed());
    ASSERT_EQ("ok", Lab("say key 9 down"));
    EXPECT_TRUE(DrainUntil(session, "k\x81\x02\r"));
    EXPECT_TRUE(WaitUntil(looksPressed)) << "the target's key 9 is not shown pressed";

    // Oversized and malformed frames, then a key report that must still come through whole.
    ASSERT_EQ("ok", Lab("say flood 100 400"));
    ASSERT_EQ("ok", Lab("say flood 100 30"));
    ASSERT_EQ("ok", Lab("say key 9 up"));
    size_t longest = 0;
    EXPECT_TRUE(DrainUntil(session, std::string("k\x81\x00\r", 4), &longest));
    EXPECT_LE(longest, 255u);
    EXPECT_TRUE(WaitUntil([&] { return !looksPressed(); })) << "the target's key 9 still looks pressed";
    EXPECT_TRUE(Responsive(session.panel()));

    // The other end of the line goes away.
    ASSERT_EQ("ok", Lab("pty-close"));
    session.Send("V\r");
    EXPECT_TRUE(Responsive(session.panel()));
    PostMessageA(session.panel(), WM_COMMAND, kConnect, 0);
    EXPECT_TRUE(WaitUntil([&] { return ConnectMenuText(session.panel()) == "&Verbinden\tCtrl+C"; }, 10000, 50));
    EXPECT_TRUE(WaitUntil([] { return Contains(TraceText(), "Seriellen Schnittstelle geschlossen"); }, 10000, 100))
        << TraceText();
}

// The panel connects to a serial target at its start while the kit already talks to the panel;
// the target starts in mode 0 and sees none of the host's first messages. The link notice makes
// the kit set its mode up again with the target, wherever in the host's first calls the link
// came up. Then nothing is lost between the target and the kit: every sequence number of the
// target's answers comes round twice (so do CRC bytes that need stuffing, as with 'm'), and
// every byte value reaches the target intact.
TEST_F(LinkLab, KitSetsItsModeUpAgainWhenASerialTargetComesUpAndNoFrameIsLost) {
    StartSerialTarget();
    settings.ifaceOpen = true;
    PanelSession session(kCommUi | kLinkSetupMsg, settings);
    ASSERT_TRUE(session.ok()) << session.error();
    SessionLink link(session);
    orphost::Panel panel(link, orphost::Panel::Options{3, 500});
    std::vector<std::string> failures;
    panel.onFailure = [&](const orphost::Failure& f) { failures.push_back(f.text); };
    int serialLinks = 0;
    panel.onLink = [&](bool network) { serialLinks += network ? 100 : 1; };

    ASSERT_TRUE(WaitUntil([&] {
        panel.Poll();
        return panel.Statistics().resets > 0;
    }, 20000, 5));
    constexpr uint8_t kMode = 0x1B;
    ASSERT_TRUE(panel.SetMode(kMode));
    ASSERT_TRUE(WaitUntil([&] {
        panel.Poll();
        return serialLinks > 0;
    }, 20000, 5)) << TraceText();
    EXPECT_EQ(1, serialLinks);
    EXPECT_EQ(kMode, panel.Mode());
    failures.clear();  // calls framed for the panel before the notice came may have failed
    const orphost::Stats atLink = panel.Statistics();

    for (int i = 0; i < 42; ++i) {
        const auto version = panel.Version();
        ASSERT_TRUE(version) << "call " << i << "\n" << TargetLog();
        EXPECT_EQ(1, (*version)[0]);
    }
    EXPECT_GE(CountOf(TargetLog(), "target> v"), 42);  // the target answered them, not the panel

    std::string everyByte(256, '\0');
    for (int b = 0; b < 256; ++b) everyByte[static_cast<size_t>(b)] = static_cast<char>(b);
    EXPECT_EQ(orphost::Answer::Ack, panel.Text(everyByte).kind);  // a damaged frame would get NAK

    EXPECT_EQ(atLink.badFrames, panel.Statistics().badFrames);
    EXPECT_EQ(atLink.repeats, panel.Statistics().repeats);
    EXPECT_TRUE(failures.empty()) << failures[0];
}

// The host sends version queries as fast as it can while the panel connects a serial target at
// its start. Each query must be answered exactly once: by the panel while the link is closed,
// by the target once it is open; never by both (the second answer would be taken for the
// answer of the host's next call) and never by neither.
TEST_F(LinkLab, EveryHostFrameIsAnsweredOnceWhileASerialLinkComesUp) {
    const std::string version("v\x01\x00\x00\r", 5);
    for (int session = 0; session < 4; ++session) {
        StartSerialTarget();
        settings.ifaceOpen = true;
        PanelSession panel(kCommUi, settings);
        ASSERT_TRUE(panel.ok()) << panel.error();
        int sent = 0, answers = 0;
        auto take = [&] {  // false: WaitUntil keeps taking for its whole time
            for (std::string frame; !(frame = panel.PollFrame()).empty();) answers += frame == version;
            return false;
        };
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < 1000) {
            panel.Send("V\r");
            ++sent;
            take();
        }
        WaitUntil([&] {
            take();
            return answers >= sent;
        }, 3000, 5);
        WaitUntil(take, 300, 5);  // an extra answer would come now
        const int byTarget = CountOf(TargetLog(), "target> v");
        EXPECT_EQ(sent, answers) << "session " << session << ": " << byTarget << " answered by the target";
        panel.Stop();
        Lab("stop");
    }
}

TEST_F(LinkLab, TargetLockedDuringAnAttemptIsReportedOnceAndTheAttemptStopsAsking) {
    StartUdpTarget("locked", 7659);
    PanelSession session(kCommUi, settings);
    ASSERT_TRUE(session.ok()) << session.error();
    PostMessageA(session.panel(), WM_COMMAND, kConnect, 0);
    auto dialogShowing = [](const std::string& text) -> HWND {
        for (HWND dialog : FindDialogs(kConnectCaption))
            if (WindowText(GetDlgItem(dialog, 1266)) == text) return dialog;
        return nullptr;
    };
    HWND report = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        return (report = dialogShowing("Die Verbindung wurde von einem anderen Benutzer \xFC" "bernommen. ")) != nullptr;
    }, 15000, 50)) << TraceText();
    // Over two handshake periods: no other hello, no third dialog, the attempt's text unchanged.
    EXPECT_FALSE(WaitUntil(
        [&] { return FindDialogs(kConnectCaption).size() > 2 || CountOf(TargetLog(), PanelLine("H\r")) > 1; }, 5000, 100));
    EXPECT_EQ(2u, FindDialogs(kConnectCaption).size());
    EXPECT_EQ(1, CountOf(TargetLog(), PanelLine("H\r"))) << TargetLog();
    EXPECT_TRUE(dialogShowing("Aufbau der Verbindung zu " + settings.netIp + " mit Port Nummer 7659."));

    ClickToEnd(report, IDOK);  // Cancel is disabled there: OK closes the link
    HWND blocked = WaitForDialog("Verbindung gesperrt");
    ASSERT_TRUE(blocked);
    ClickToEnd(blocked, IDOK);
    EXPECT_TRUE(WaitUntil([] { return !FindDialog(kConnectCaption) && !FindDialog("Verbindung gesperrt"); }));
    EXPECT_EQ("&Verbinden\tCtrl+C", ConnectMenuText(session.panel()));
}

TEST_F(LinkLab, SerialLinkClosedWhileBothSidesTalkAndUnloadedWithoutClose) {
    StartSerialTarget();
    PanelSession session(kCommUi, settings);
    ASSERT_TRUE(session.ok()) << session.error();
    ASSERT_TRUE(session.AcknowledgeResetAnnouncement());
    CycleWhileTalking(session);

    // FreeLibrary alone while the link is open: the reader is ended without waiting for its
    // exit (which needs the loader lock that FreeLibrary holds, a 2-s wait before).
    const DWORD start = GetTickCount();
    session.dll().Unload(false);
    EXPECT_LT(GetTickCount() - start, 1500u) << "FreeLibrary waited for the serial reader";
    EXPECT_TRUE(WaitUntil([] { return GetModuleHandleA("orppanel.dll") == nullptr; }));
    EXPECT_TRUE(PortIsFree(settings.commPort)) << "the port stayed open after FreeLibrary";
    PanelSession again(kCommUi, settings);
    ASSERT_TRUE(again.ok()) << again.error();
    ASSERT_TRUE(Connect(again)) << TraceText();
    ASSERT_EQ("ok", Lab("say key 9 up"));
    EXPECT_TRUE(DrainUntil(again, std::string("k\x81\x00\r", 4)));
}

TEST_F(LinkLab, UdpLinkClosedWhileBothSidesTalk) {
    StartUdpTarget("granted", 7660);
    PanelSession session(kCommUi, settings);
    ASSERT_TRUE(session.ok()) << session.error();
    ASSERT_TRUE(session.AcknowledgeResetAnnouncement());
    CycleWhileTalking(session);
}

// ---- without a target ---------------------------------------------------------------------------
TEST(CommDialogs, NetworkWithoutPortOpensTheSettingsFirst) {
    TestSettings settings;
    settings.commSettings = true;
    settings.ifaceType = 1;
    settings.netIp = "127.0.0.1";
    settings.netPort = 0;
    PanelSession session(kCommUi, settings);
    ASSERT_TRUE(session.ok()) << session.error();
    PostMessageA(session.panel(), WM_COMMAND, kConnect, 0);
    HWND dialog = WaitForDialog(kSettingsCaption);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, 1068));
    ClickToEnd(dialog, IDCANCEL);
    EXPECT_TRUE(WaitUntil([] { return !FindDialog(kSettingsCaption) && !FindDialog(kConnectCaption); }));
    EXPECT_EQ("&Verbinden\tCtrl+C", ConnectMenuText(session.panel()));
}

TEST(CommDialogs, SettingsDrivenThroughTheControlsAreWrittenAndConnected) {
    TestSettings settings;
    settings.commSettings = true;
    settings.commBaud = 57600;
    PanelSession session(kCommUi, settings);
    ASSERT_TRUE(session.ok()) << session.error();
    PostMessageA(session.panel(), WM_COMMAND, kCommSettings, 0);
    HWND dialog = WaitForDialog(kSettingsCaption);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(8, SendDlgItemMessageA(dialog, 1051, CB_GETCURSEL, 0, 0));  // 57600 is the ninth entry
    EXPECT_EQ(10, SendDlgItemMessageA(dialog, 1051, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(256, SendDlgItemMessageA(dialog, 1059, CB_GETCOUNT, 0, 0));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, 1060)));
    Click(dialog, 1055);
    Click(dialog, 1058);
    Click(dialog, 1068);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, 1060)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, 1051)));

    // Typing the third digit of an address part moves on to the next field; two do not.
    HWND first = GetDlgItem(dialog, 1060);
    PostMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
    auto focus = [&] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
        return info.hwndFocus;
    };
    ASSERT_TRUE(WaitUntil([&] { return focus() == first; }));
    PostMessageA(first, WM_CHAR, '1', 0);
    PostMessageA(first, WM_CHAR, '2', 0);
    ASSERT_TRUE(WaitUntil([&] { return WindowText(first) == "12"; }));
    EXPECT_EQ(first, focus());
    PostMessageA(first, WM_CHAR, '7', 0);
    EXPECT_TRUE(WaitUntil([&] { return focus() == GetDlgItem(dialog, 1061); }));
    SetDlgItemTextA(dialog, 1061, "0");
    SetDlgItemTextA(dialog, 1062, "0");
    SetDlgItemTextA(dialog, 1063, "1");
    SetDlgItemTextA(dialog, 1064, "7655");
    Click(dialog, 1066);
    ClickToEnd(dialog, IDOK);

    // OK connects at once (to this machine's own port, which only the panel holds).
    HWND connecting = WaitForDialog(kConnectCaption);
    ASSERT_TRUE(connecting);
    const std::string connectingText = "Aufbau der Verbindung zu 127.0.0.1 mit Port Nummer 7655.";
    EXPECT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(connecting, 1266)) == connectingText; }))
        << WindowText(GetDlgItem(connecting, 1266));
    ClickToEnd(connecting, IDCANCEL);
    EXPECT_TRUE(WaitUntil([] { return !FindDialog(kConnectCaption); }));

    EXPECT_EQ("1", ReadRegistry("IFaceType"));
    EXPECT_EQ("127.0.0.1", ReadRegistry("NetIp"));
    EXPECT_EQ("7655", ReadRegistry("NetPort"));
    EXPECT_EQ("57600", ReadRegistry("CommBaud"));
    EXPECT_EQ("1", ReadRegistry("IFaceOpen"));
    EXPECT_EQ("2", ReadRegistry("CommSBits"));
    EXPECT_EQ("2", ReadRegistry("CommParity"));
    // Later tests that keep the key must not connect at start.
    session.Stop();
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Tavelle\\OrPpanel\\Settings");
}

TEST(CommDialogs, EnglishPanelShowsEnglishMenuAndProgressTexts) {
    TestSettings settings;
    settings.commSettings = true;
    settings.ifaceType = 1;
    settings.netIp = "127.0.0.1";
    settings.netPort = 7658;
    PanelSession session(kCommUi | 0x20, settings);
    ASSERT_TRUE(session.ok()) << session.error();
    EXPECT_EQ("&Connect\tCtrl+C", ConnectMenuText(session.panel()));
    char text[64] = {};
    GetMenuStringA(GetMenu(session.panel()), static_cast<UINT>(kCommSettings), text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ("Communication &Settings...", text);
    PostMessageA(session.panel(), WM_COMMAND, kConnect, 0);
    HWND dialog = WaitForDialog("Connection in progress..");
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(WaitUntil([&] {
        return WindowText(GetDlgItem(dialog, 1266)) == "Connecting to 127.0.0.1 with port number 7658.";
    })) << WindowText(GetDlgItem(dialog, 1266));
    EXPECT_EQ("&Disconnect\tCtrl+C", ConnectMenuText(session.panel()));  // the socket is open meanwhile
    ClickToEnd(dialog, IDCANCEL);
    EXPECT_TRUE(WaitUntil([&] { return ConnectMenuText(session.panel()) == "&Connect\tCtrl+C"; }));
}

}  // namespace
