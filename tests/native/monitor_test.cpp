#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "monitor/log_files.h"
#include "monitor/monitor_line.h"
#include "design/lcd_geometry.h"
#include "fake_platform.h"
#include "monitor/trace.h"
#include "panel/panel.h"
#include "protocol/frame.h"
#include "settings/settings.h"

namespace {

std::string Line(std::vector<uint8_t> bytes, int mode = 0, int direction = MONITOR_HOST_TO_PANEL,
                 int pending = 0) {
    return FormatMonitorLine(direction, bytes.data(), bytes.size(), mode, pending);
}

TEST(MonitorLine, ShowsCommandTextAndHexWithEnd) {
    EXPECT_EQ("V  END\r\n", Line({'V', 0x0D}));
    EXPECT_EQ("W Hi END\r\n", Line({'W', 'H', 'i', 0x0D}));
    EXPECT_EQ("L 01 ff END\r\n", Line({'L', 0x01, 0xFF, 0x0D}));
    // Text mode shows backslash, '~', DEL and control bytes in hex.
    EXPECT_EQ("S a(5c)(7e)(7f)(00) END\r\n", Line({'S', 'a', '\\', '~', 0x7F, 0x00, 0x0D}));
    EXPECT_EQ("ACK  END\r\n", Line({0x06, 0x0D}, 0, MONITOR_PANEL_TO_HOST));
    EXPECT_EQ("NAK  END\r\n", Line({0x15, 0x0D}, 0, MONITOR_PANEL_TO_HOST));
    // Without a CR there is no END.
    EXPECT_EQ("L 01 \r\n", Line({'L', 0x01}));
}

TEST(MonitorLine, MarksTrailerBytesOfTheMode) {
    EXPECT_EQ("V {65}{a1 b2} END\r\n", Line({'V', 0x65, 0xA1, 0xB2, 0x0D}, 0x18));
    EXPECT_EQ("ACK {66} END\r\n", Line({0x06, 0x66, 0x0D}, 0x08, MONITOR_PANEL_TO_HOST));
    EXPECT_EQ("V {a1 b2} END\r\n", Line({'V', 0xA1, 0xB2, 0x0D}, 0x10));
    EXPECT_EQ("L 01 {07}{3c} END\r\n", Line({'L', 0x01, 0x07, 0x3C, 0x0D}, 0x0C));
    EXPECT_EQ("L 01 {3c} END\r\n", Line({'L', 0x01, 0x3C, 0x0D}, 0x04));
    // A mark ends text mode for the rest of the line.
    EXPECT_EQ("W Hi{41}{42 43} END\r\n", Line({'W', 'H', 'i', 0x41, 0x42, 0x43, 0x0D}, 0x18));
    // Frames too short for the trailer simply have no marks.
    EXPECT_EQ("V  END\r\n", Line({'V', 0x0D}, 0x18));
}

TEST(MonitorLine, ModeChangeAndResetFromHostUseTheirOwnMode) {
    // 'A' from the host is shown in the pending mode, 'R' in mode 0.
    EXPECT_EQ("A {12} END\r\n", Line({'A', 0x12, 0x0D}, 0, MONITOR_HOST_TO_PANEL, 0x08));
    EXPECT_EQ("R 12 END\r\n", Line({'R', 0x12, 0x0D}, 0x08, MONITOR_HOST_TO_PANEL));
    // Towards the host the active mode applies to every command.
    EXPECT_EQ("A 12 END\r\n", Line({'A', 0x12, 0x0D}, 0, MONITOR_PANEL_TO_HOST, 0x08));
    EXPECT_EQ("R {12} END\r\n", Line({'R', 0x12, 0x0D}, 0x08, MONITOR_PANEL_TO_HOST));
}

TEST(MonitorLine, EscapedBytesAreBracketed) {
    // An escaped CR is not the end of the frame.
    EXPECT_EQ("L 01 [1b 0d] END\r\n", Line({'L', 0x01, 0x1B, 0x0D, 0x0D}));
    EXPECT_EQ("L [1b 1b]02 END\r\n", Line({'L', 0x1B, 0x1B, 0x02, 0x0D}));
    EXPECT_EQ("W [(1b)A]b END\r\n", Line({'W', 0x1B, 'A', 'b', 0x0D}));
    EXPECT_EQ("W [(1b)(0d] END\r\n", Line({'W', 0x1B, 0x0D, 0x0D}));
    // An escaped trailer byte keeps its mark inside the brackets.
    EXPECT_EQ("L [1b {0d}] END\r\n", Line({'L', 0x1B, 0x0D, 0x0D}, 0x08));
    // A lone ESC at the end stays open.
    EXPECT_EQ("L [1b \r\n", Line({'L', 0x1B}));
}

TEST(MonitorLine, LongFramesAreShownWhole) {
    // 400 escaped bytes in text mode: five characters each, far beyond any fixed line buffer.
    std::vector<uint8_t> frame = {'W'};
    for (int i = 0; i < 400; ++i) {
        frame.push_back(0x1B);
        frame.push_back(0x01);
    }
    frame.push_back(0x0D);
    const std::string line = Line(frame);
    std::string expected = "W ";
    for (int i = 0; i < 400; ++i) expected += "[(1b)(01]";
    expected += " END\r\n";
    EXPECT_EQ(expected, line);

    std::vector<uint8_t> hex(4096, 0xAB);
    hex[0] = 'P';
    hex.back() = 0x0D;
    const std::string hexLine = Line(hex, 0x18);
    EXPECT_EQ(2 + 4091 * 3 + 4 + 4 + 3 + 4 + 2u, hexLine.size());
    EXPECT_EQ("{ab}{ab ab} END\r\n", hexLine.substr(hexLine.size() - 17));
}

TEST(MonitorLine, ControlCommandByteDoesNotCutTheLine) {
    const std::string line = Line({0x00, 0x41, 0x0D});
    EXPECT_EQ("(00) 41 END\r\n", line);
    EXPECT_EQ("\r\n", Line({}));
}

// Log files in a temporary directory, with a fixed clock.
stClockTime g_now{2026, 12, 7, 9, 5, 3, 42};
void FixedClock(bool utc, stClockTime* time) {
    *time = g_now;
    if (utc) time->hour -= 1;
}

std::vector<std::pair<int, std::string>> g_monitor;
void RecordMonitor(int direction, const char* line) { g_monitor.emplace_back(direction, line); }
std::vector<std::string> g_trace;
void RecordTrace(const char* text) { g_trace.emplace_back(text); }

// The panel of the running LogFiles test, for the host link's plain function hook.
stPanel* g_panel = nullptr;

class LogFiles : public ::testing::Test {
protected:
    void SetUp() override {
        char templ[] = "/tmp/orplogXXXXXX";
        ASSERT_NE(nullptr, mkdtemp(templ));
        dir = templ;
        g_panel = &panel;
        std::snprintf(settings.logDir, sizeof settings.logDir, "%s", dir.c_str());
        platform.clock = FixedClock;
        platform.monitorLine = RecordMonitor;
        platform.trace = RecordTrace;
        monitor.platform = &platform;
        g_monitor.clear();
        g_trace.clear();
    }
    void TearDown() override {
        CloseLogFiles(monitor);
        g_panel = nullptr;
        std::system(("rm -rf " + dir).c_str());
    }
    static void Monitor(int direction, const uint8_t* bytes, unsigned int count, uint8_t activeMode,
                        uint8_t pendingMode) {
        ::Monitor(g_panel->monitor, direction, bytes, count, activeMode, pendingMode);
    }
    stPanel panel;
    stSettings& settings = panel.settings;
    MonitorOutput& monitor = panel.monitor;
    FakePlatform platform;
    std::string Read(const char* name) {
        std::ifstream in(LogFileName(dir.c_str(), name, g_now), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::string dir;
};

TEST(LogFormats, NamesStampsAndBanner) {
    const stClockTime t{2026, 12, 7, 8, 4, 3, 9};
    EXPECT_EQ(std::string("/x/log") + kPathSeparator + "RXTX07.12.2026.log",
              LogFileName("/x/log", kRxTxLogName, t));
    EXPECT_EQ(std::string("d") + kPathSeparator + "TRACE07.12.2026.log",
              LogFileName("d", kTraceLogName, t));
    EXPECT_EQ("[RX 03:009] V  END\r\n", StampLogLine(kLogRx, t, "V  END\r\n"));
    EXPECT_EQ("[TX 03:009] x", StampLogLine(kLogTx, t, "x"));
    EXPECT_EQ("[Trace 03:009] Speicherplatzmangel\r\n",
              StampLogLine(kLogTrace, t, kOutOfMemoryText));
    EXPECT_EQ("######## START 08.04.03 START ########\n", LogStartBanner(t));
}

TEST_F(LogFiles, NothingOnDiskWhenLoggingIsOffButWindowsStillSeeEverything) {
    ApplyPanelSettings(panel);
    const uint8_t frame[] = {'V', 0x0D};
    Monitor(MONITOR_HOST_TO_PANEL, frame, sizeof frame, 0, 0);
    EXPECT_EQ(10, Trace(monitor, "Hallo %d\r\n", 42));
    EXPECT_EQ(0, WriteLog(monitor, kLogRx, "x"));
    EXPECT_EQ("", Read(kRxTxLogName));
    EXPECT_EQ("", Read(kTraceLogName));
    ASSERT_EQ(1u, g_monitor.size());
    EXPECT_EQ(MONITOR_HOST_TO_PANEL, g_monitor[0].first);
    EXPECT_EQ("V  END\r\n", g_monitor[0].second);
    EXPECT_EQ(std::vector<std::string>{"Hallo 42\r\n"}, g_trace);
}

TEST_F(LogFiles, MonitorAndTraceLinesAreStampedIntoTheirLogs) {
    settings.rxTxLog = 1;
    settings.traceLog = 1;
    ApplyPanelSettings(panel);
    SetActiveProtocolMode(panel.protocol, MODE_SEQUENCE);
    // The host link calls the monitor through the platform.
    FakePlatform hooks;
    hooks.hostBytes = Monitor;
    const uint8_t ack[] = {0x06, 0x66, 0x0D};
    const uint8_t text[] = {'W', 'H', 'i', 0x0D};
    const uint8_t active = ActiveProtocolMode(panel.protocol), pending = PendingProtocolMode(panel.protocol);
    hooks.ShowHostBytes(MONITOR_PANEL_TO_HOST, ack, sizeof ack, active, pending);
    hooks.ShowHostBytes(MONITOR_HOST_TO_PANEL, text, sizeof text, active, pending);
    Trace(monitor, "%s", kOutOfMemoryText);
    EXPECT_EQ("######## START 09.05.03 START ########\n"
              "[TX 03:042] ACK {66} END\r\n"
              "[RX 03:042] W H{69} END\r\n",
              Read(kRxTxLogName));
    EXPECT_EQ("######## START 09.05.03 START ########\n"
              "[Trace 03:042] Speicherplatzmangel\r\n",
              Read(kTraceLogName));
}

TEST_F(LogFiles, ReopeningTheSameDayAppendsWithASecondBanner) {
    settings.rxTxLog = 1;
    settings.scale = 2;
    ApplyPanelSettings(panel);
    EXPECT_EQ(2.0, panel.design.scale.scaleDivisor);  // the same call applies the display scale
    ResetGeometry(panel);
    WriteLog(monitor, kLogRx, "one\r\n");
    ApplyPanelSettings(panel);  // already open: nothing happens
    settings.rxTxLog = 0;
    ApplyPanelSettings(panel);
    EXPECT_EQ(nullptr, monitor.rxTxLogFile.file);
    g_now.second = 9;
    settings.rxTxLog = 1;
    ApplyPanelSettings(panel);
    WriteLog(monitor, kLogRx, "two\r\n");
    g_now.second = 3;
    EXPECT_EQ("######## START 09.05.03 START ########\n[RX 03:042] one\r\n"
              "######## START 09.05.09 START ########\n[RX 09:042] two\r\n",
              Read(kRxTxLogName));
    // The trace log was never switched on: trace texts are not written anywhere.
    Trace(monitor, "x\r\n");
    EXPECT_EQ("", Read(kTraceLogName));
}

TEST_F(LogFiles, LogThatCannotBeOpenedIsSkippedSilently) {
    std::snprintf(settings.logDir, sizeof settings.logDir, "%s/missing", dir.c_str());
    settings.traceLog = 1;
    ApplyPanelSettings(panel);
    EXPECT_EQ(1, monitor.traceLogFile.failed);
    EXPECT_EQ(nullptr, monitor.traceLogFile.file);
    EXPECT_EQ(0, WriteLog(monitor, kLogTrace, "x"));
    EXPECT_EQ(2, Trace(monitor, "y\n"));
    // Switching off clears the failure, so switching on again retries.
    settings.traceLog = 0;
    ApplyPanelSettings(panel);
    EXPECT_EQ(0, monitor.traceLogFile.failed);
    std::snprintf(settings.logDir, sizeof settings.logDir, "%s", dir.c_str());
    settings.traceLog = 1;
    ApplyPanelSettings(panel);
    EXPECT_EQ(1, WriteLog(monitor, kLogTrace, "z\n"));
    EXPECT_NE(std::string::npos, Read(kTraceLogName).find("[Trace 03:042] z\n"));
}

TEST_F(LogFiles, TwoPanelsKeepTheirOwnSinksAndLogs) {
    stPanel other;
    settings.traceLog = 1;
    ApplyPanelSettings(panel);
    std::snprintf(other.settings.logDir, sizeof other.settings.logDir, "%s/missing", dir.c_str());
    other.settings.traceLog = 1;
    ApplyPanelSettings(other);
    Trace(other.monitor, "other\r\n");
    Trace(monitor, "mine\r\n");
    EXPECT_EQ(std::vector<std::string>{"mine\r\n"}, g_trace);
    EXPECT_EQ(nullptr, other.monitor.traceLogFile.file);
    EXPECT_EQ("######## START 09.05.03 START ########\n[Trace 03:042] mine\r\n",
              Read(kTraceLogName));
}

TEST_F(LogFiles, TraceCutsOverlongTextsAtTheBuffer) {
    const std::string text(3000, 'x');
    EXPECT_EQ(1023, Trace(monitor, "%s", text.c_str()));
    ASSERT_EQ(1u, g_trace.size());
    EXPECT_EQ(1023u, g_trace[0].size());
}

}  // namespace
