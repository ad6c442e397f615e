// The running panel seen from a host: its window, its answers and how it ends.
#include <gtest/gtest.h>

#include "harness/panel_session.h"
#include "protocol/frame.h"
#include "protocol/protocol.h"

namespace {

constexpr unsigned long kEnglish = OPT_ENGLISH;
constexpr UINT kDefineKeys = 32800;
constexpr UINT kDefineLeds = 32801;

std::string MenuText(HMENU menu, UINT id) {
    char text[256] = {};
    GetMenuStringA(menu, id, text, sizeof text, MF_BYCOMMAND);
    return text;
}

bool MenuChecked(HWND window, UINT id) {
    return (GetMenuState(GetMenu(window), id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

TEST(PanelWindow, AnnouncesItsResetUntilTheHostAcknowledges) {
    PanelSession panel(kEnglish);
    ASSERT_TRUE(panel.ok()) << panel.error();
    EXPECT_EQ("r\r", panel.NextFrame());
    // Repeated every 2 s while unacknowledged.
    EXPECT_EQ("r\r", panel.NextFrame(6000));
    panel.Send("\x06\r");
    panel.Drain();
    for (const std::string& frame : panel.FramesWithin(4500))
        EXPECT_NE("r\r", frame) << "the announcement went on after the ACK";
}

TEST(PanelWindow, AnswersQueriesByteForByte) {
    PanelSession panel(kEnglish);
    ASSERT_TRUE(panel.ok()) << panel.error();
    ASSERT_TRUE(panel.AcknowledgeResetAnnouncement());

    panel.Send("V\r");
    EXPECT_EQ(Printable(std::string("v\x01\x00\x00\r", 5)), Printable(panel.NextFrame()));
    panel.Send("T\r");
    EXPECT_EQ(Printable(std::string("t\0\0\0\0\0\0\0\r", 9)), Printable(panel.NextFrame()));
    panel.Send("W\x01\r");  // not a command letter the panel knows with data? 'W' writes data
    EXPECT_EQ(Printable("\x06\r"), Printable(panel.NextFrame()));
    panel.Send("GA\r");  // address counter after one data byte
    EXPECT_EQ(Printable(std::string("g\x01\r", 3)), Printable(panel.NextFrame()));
    panel.Send("X\r");
    EXPECT_EQ(Printable("\x15\r"), Printable(panel.NextFrame()));
}

TEST(PanelWindow, ModeChangeTakesEffectWithA) {
    PanelSession panel(kEnglish);
    ASSERT_TRUE(panel.ok()) << panel.error();
    ASSERT_TRUE(panel.AcknowledgeResetAnnouncement());

    panel.Send("M\x18\r");
    EXPECT_EQ(Printable("m\x18\r"), Printable(panel.NextFrame())) << "answered in the old mode";

    stProtocol host;  // the host's own sequence counters
    uint8_t frame[kFrameBuildSize];
    const uint8_t accept = 'A';
    int length = BuildFrameWithMode(host, 0x18, &accept, 1, 0, frame);
    ASSERT_GT(length, 0);
    uint8_t stuffed[2 * kFrameBuildSize];
    length = StuffFrame(frame, length, stuffed, sizeof stuffed);
    panel.Send(std::string(reinterpret_cast<char*>(stuffed), length));

    std::string reply = panel.NextFrame();
    uint8_t raw[64];
    ASSERT_LT(reply.size(), sizeof raw);
    int rawLength = UnescapeFrame(reinterpret_cast<const uint8_t*>(reply.data()), static_cast<int>(reply.size()), raw);
    ASSERT_EQ(5, rawLength) << Printable(reply);  // ACK, sequence byte, two CRC bytes, CR
    EXPECT_EQ(0x06, raw[0]);
    EXPECT_EQ(CHECK_ACCEPTED, CheckFrame(host, raw, rawLength, 0x18, 0, nullptr)) << Printable(reply);
}

TEST(PanelWindow, ShowsItsTitleAndTheMenuOfItsLanguage) {
    {
        PanelSession panel(kEnglish);
        ASSERT_TRUE(panel.ok()) << panel.error();
        HWND window = panel.panel();
        EXPECT_EQ(0, WindowText(window).rfind("ORPpanel", 0)) << WindowText(window);
        EXPECT_EQ("&Open Design...\tStrg+O", MenuText(GetMenu(window), 32770));
        EXPECT_EQ("Define &Keys\tF6", MenuText(GetMenu(window), kDefineKeys));
    }
    {
        PanelSession panel(0);
        ASSERT_TRUE(panel.ok()) << panel.error();
        EXPECT_EQ("&Design \xD6" "ffnen...\tStrg+O", MenuText(GetMenu(panel.panel()), 32770));
    }
}

TEST(PanelWindow, AltF4DoesNotCloseThePanelButTheF4AcceleratorWorks) {
    PanelSession panel(kEnglish);
    ASSERT_TRUE(panel.ok()) << panel.error();
    HWND window = panel.panel();
    PostMessageA(window, WM_SYSKEYDOWN, VK_F4, 0x20000001);  // Alt+F4
    PostMessageA(window, WM_SYSKEYUP, VK_F4, 0xE0000001);
    // Posted messages are handled in order: once the marker command checked its menu entry,
    // the Alt+F4 keystrokes have been handled too (and anything they posted follows the next
    // marker).
    PostMessageA(window, WM_COMMAND, kDefineKeys, 0);
    ASSERT_TRUE(WaitUntil([&] { return MenuChecked(window, kDefineKeys); }));
    PostMessageA(window, WM_COMMAND, kDefineLeds, 0);
    ASSERT_TRUE(WaitUntil([&] { return MenuChecked(window, kDefineLeds); }));
    EXPECT_TRUE(IsWindow(window));
    EXPECT_FALSE(panel.hostWindowDestroyed());
}

TEST(PanelWindow, ClosingFromItsSystemMenuClosesTheHostWindow) {
    PanelSession panel(kEnglish);
    ASSERT_TRUE(panel.ok()) << panel.error();
    PostMessageA(panel.panel(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(WaitUntil([&] { return panel.hostWindowDestroyed(); }));
    EXPECT_TRUE(WaitUntil([] { return FindPanelWindow() == nullptr; }));
}

TEST(PanelWindow, CloseFromTheHostLeavesTheHostWindowAlone) {
    PanelSession panel(kEnglish);
    ASSERT_TRUE(panel.ok()) << panel.error();
    panel.dll().close();
    EXPECT_EQ(nullptr, FindPanelWindow());
    // Anything the panel posted to the host window arrived before Close returned.
    WaitUntil([] { return false; }, 0);
    EXPECT_FALSE(panel.hostWindowDestroyed());
}

}  // namespace
