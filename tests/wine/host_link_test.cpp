// ReceiveFromApp and CheckRx seen from the host's side of the DLL.
#include <gtest/gtest.h>

#include "harness/panel_session.h"

namespace {

unsigned char g_byte = 0;
std::string g_bytes;
int g_calls = 0;

void CountByte() {
    g_bytes += static_cast<char>(g_byte);
    ++g_calls;
}

TEST(HostLink, AFrameSplitOverTwoCallsIsOneMessageAndCheckRxDeliversOneFramePerCall) {
    PanelSession panel(OPT_ENGLISH);
    ASSERT_TRUE(panel.ok()) << panel.error();
    ASSERT_TRUE(panel.AcknowledgeResetAnnouncement());
    panel.dll().setRxTarget(CountByte, &g_byte);

    // An empty queue: CheckRx calls nothing.
    g_calls = 0;
    panel.dll().checkRx();
    EXPECT_EQ(0, g_calls);

    // "V" then CR in a second call: one query, one answer.
    panel.Send("V");
    panel.Send("\r");
    panel.Send("V\r");
    g_bytes.clear();
    panel.dll().checkRx();
    EXPECT_EQ(Printable(std::string("v\x01\x00\x00\r", 5)), Printable(g_bytes)) << "first call: one whole frame";
    EXPECT_EQ(5, g_calls);
    g_bytes.clear();
    panel.dll().checkRx();
    EXPECT_EQ(Printable(std::string("v\x01\x00\x00\r", 5)), Printable(g_bytes)) << "second call: the next frame";
    g_bytes.clear();
    panel.dll().checkRx();
    EXPECT_EQ("", g_bytes) << "the split frame was answered once only";
}

TEST(HostLink, MessagesSentRightAfterSetOptionsAreNotLost) {
    PanelDll dll;
    std::string error;
    ASSERT_TRUE(dll.Load(&error)) << error;
    g_bytes.clear();
    dll.setRxTarget(CountByte, &g_byte);
    dll.Start(OPT_ENGLISH);
    dll.Send("V\r");  // the window may not exist yet
    ASSERT_TRUE(WaitUntil([&] {
        dll.checkRx();
        return g_bytes.find(std::string("v\x01\x00\x00\r", 5)) != std::string::npos;
    })) << Printable(g_bytes);
}

}  // namespace
