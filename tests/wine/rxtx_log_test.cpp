// A host session with the RXTX log switched on, for the headless panel's replay of logs. The
// host kit talks to the panel in a mode with sequence bytes and CRC (so the log holds trailer
// marks and stuffed bytes), then reads the LCD's codes back through 'G' 'R'. The test checks
// that every host frame is in the log; when scripts/test.sh sets ORP_REPLAY_DIR it leaves the
// log, the design and the LCD's codes there, and tests/headless/test_wine_log.py replays the
// log into a headless panel and compares the answers and the LCD.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "design/object_model.h"
#include "harness/panel_session.h"
#include "harness/session_link.h"
#include "harness/test_design.h"
#include "orppanel_host.h"

namespace {

std::string Environment(const char* name) {
    char value[MAX_PATH] = {};
    return GetEnvironmentVariableA(name, value, sizeof value) ? value : "";
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string TodaysRxTxLog(const std::string& workDir) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char path[MAX_PATH];
    std::snprintf(path, sizeof path, "%s\\log\\RXTX%02d.%02d.%02d.log", workDir.c_str(), now.wDay, now.wMonth,
                  now.wYear);
    return path;
}

int CountOf(const std::string& text, const std::string& part) {
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

TEST(RxTxLog, HostSessionIsLoggedFrameByFrame) {
    const std::string design = MakeTempWorkDir("rxtx_design") + "\\replay.orp";
    TestDesign look;
    look.modelCapabilities = MODEL_BACKLIGHT_SWITCH | MODEL_BUZZER | MODEL_BUZZER_FREQUENCY;
    ASSERT_TRUE(WriteTestDesign(design, look));
    TestSettings settings;
    settings.fileCfg = design;
    settings.rxTxLog = true;
    PanelSession session(OPT_ENGLISH, settings);
    ASSERT_TRUE(session.ok()) << session.error();

    SessionLink link(session);
    orphost::Panel host(link, orphost::Panel::Options{3, 500});
    unsigned frames = 0;
    host.onTraffic = [&](bool toPanel, const orphost::Bytes&) { frames += toPanel; };
    ASSERT_TRUE(host.WaitForReset());
    ASSERT_TRUE(host.SetMode(orphost::kModeKeyReports | orphost::kModeSequence | orphost::kModeCrc));
    EXPECT_TRUE(host.Backlight(255));
    EXPECT_TRUE(host.Clear());
    EXPECT_TRUE(host.Text("Log \x1b\r {ok} (1)"));  // ESC and CR stuffed, braces and brackets as text
    EXPECT_TRUE(host.GoTo(1, 2));
    EXPECT_TRUE(host.Text("from Wine"));
    EXPECT_TRUE(host.Fill(3, '*'));
    EXPECT_TRUE(host.Led(0, true));
    EXPECT_TRUE(host.Beep(4, 20));
    EXPECT_TRUE(host.Version());
    EXPECT_TRUE(host.QueryModel());
    // The LCD as the window's panel holds it, code by code.
    std::string codes;
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 16; ++column) {
            ASSERT_TRUE(host.GoTo(row, column));
            const auto code = host.ReadData();
            ASSERT_TRUE(code) << row << "," << column;
            char hex[4];
            std::snprintf(hex, sizeof hex, "%02x", *code);
            codes += hex;
        }
        codes += "\n";
    }
    EXPECT_EQ(0u, codes.find("4c6f67201b0d207b6f6b7d2028312920")) << codes;

    // Every frame the host sent is a line of the log: one write per frame, as it happens.
    const std::string log = TodaysRxTxLog(session.workDir());
    std::string text;
    EXPECT_TRUE(WaitUntil([&] { return CountOf(text = ReadFile(log), "[RX ") >= static_cast<int>(frames); }))
        << frames << " frames\n" << text;
    EXPECT_EQ(0u, text.find("######## START ")) << text;
    EXPECT_NE(std::string::npos, text.find("] W from Wine{")) << text;

    const std::string out = Environment("ORP_REPLAY_DIR");
    if (out.empty()) return;
    session.Stop();
    ASSERT_TRUE(CopyFileA(log.c_str(), (out + "\\RXTX.log").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(design.c_str(), (out + "\\replay.orp").c_str(), FALSE));
    std::ofstream((out + "\\lcd.txt").c_str(), std::ios::binary) << codes;
}

}  // namespace
