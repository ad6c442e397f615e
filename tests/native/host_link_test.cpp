#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "design/object_model.h"
#include "panel/panel.h"
#include "protocol/frame.h"
#include "protocol/host_link.h"
#include "fake_platform.h"
#include "protocol_test_support.h"
#include "test_panel.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Recorder {
    std::vector<Bytes> forwarded;
    std::vector<std::pair<int, Bytes>> monitor;
    std::vector<std::vector<Bytes>> handedOver;  // incoming queue at each hand-over
    Bytes delivered;
    int callbacks = 0;
    bool lockFreeDuringCallback = true;
    unsigned char byte = 0;
} g_rec;

void Forward(const uint8_t* bytes, unsigned int length) { g_rec.forwarded.emplace_back(bytes, bytes + length); }
void Monitor(int direction, const uint8_t* bytes, unsigned int length, uint8_t, uint8_t) {
    g_rec.monitor.emplace_back(direction, Bytes(bytes, bytes + length));
}
std::vector<Bytes> Queue(MessageQueue& queue) {
    std::vector<Bytes> out;
    queue.ForEach([&](const stQueuedMessage& m) { out.emplace_back(m.bytes, m.bytes + m.length); });
    return out;
}
void HandOver() {
    g_rec.handedOver.push_back(Queue(Protocol().incoming));
    DiscardIncomingQueue(Protocol());
}
void Callback() {
    g_rec.delivered.push_back(g_rec.byte);
    ++g_rec.callbacks;
    // Another thread must be able to take the list lock while the host's callback runs.
    bool locked = false;
    std::thread other([&] {
        locked = TestPanel().lcdLibrary.lock.try_lock();
        if (locked) TestPanel().lcdLibrary.lock.unlock();
    });
    other.join();
    if (!locked) g_rec.lockFreeDuringCallback = false;
}

class HostLink : public ::testing::Test {
protected:
    FreshProtocol fresh_;
    FakePlatformScope platform_{&fresh_.record};
    void SetUp() override {
        g_rec = Recorder{};
        ASSERT_EQ(1, CreatePanelLists(TestPanel()));
        ResetHostLink(Protocol());
        platform_.fake.forwardToLink = Forward;
        platform_.fake.hostBytes = Monitor;
        platform_.fake.handOver = HandOver;
    }
    void TearDown() override {
        ResetHostLink(Protocol());
        FreePanelLists(TestPanel());
    }
    static void Receive(const Bytes& bytes) {
        HostLinkReceiveFromApp(Protocol(), bytes.data(), static_cast<unsigned int>(bytes.size()));
    }
};

TEST_F(HostLink, FrameSplitOverTwoCallsForwardsOnlyTheCompletingCall) {
    Receive({'W', 'x'});
    EXPECT_TRUE(g_rec.forwarded.empty());
    EXPECT_TRUE(g_rec.handedOver.empty());
    EXPECT_TRUE(g_rec.monitor.empty());

    Receive({kCr});
    ASSERT_EQ(1u, g_rec.forwarded.size());
    EXPECT_EQ((Bytes{kCr}), g_rec.forwarded[0]);
    ASSERT_EQ(1u, g_rec.handedOver.size());
    EXPECT_EQ((std::vector<Bytes>{{'W', 'x', kCr}}), g_rec.handedOver[0]);
    ASSERT_EQ(1u, g_rec.monitor.size());
    EXPECT_EQ(MONITOR_HOST_TO_PANEL, g_rec.monitor[0].first);
    EXPECT_EQ(0, Protocol().incoming.Count());
}

TEST_F(HostLink, IncomingFrameIsQueuedUnescapedAndForwardedAsSent) {
    const Bytes sent{'W', kEsc, kCr, 'a', kCr};
    Receive(sent);
    EXPECT_EQ(sent, g_rec.forwarded.at(0));
    EXPECT_EQ((std::vector<Bytes>{{'W', kCr, 'a', kCr}}), g_rec.handedOver.at(0));
}

TEST_F(HostLink, WithoutHandOverHookTheIncomingQueueIsEmptied) {
    platform_.fake = FakePlatform{};
    Receive({'W', 'x', kCr});
    EXPECT_EQ(0, Protocol().incoming.Count());
}

TEST_F(HostLink, CheckRxDeliversOneFrameByteByByte) {
    EXPECT_EQ(0, HostLinkCheckRx(Protocol()));
    HostLinkSetRxTarget(Protocol(), Callback, &g_rec.byte);
    EXPECT_EQ(0, HostLinkCheckRx(Protocol()));
    EXPECT_EQ(0, g_rec.callbacks);

    ASSERT_EQ(1, QueueForHost(Protocol(), Bytes{'k', kEsc, kCr, kCr}.data(), 4));
    ASSERT_EQ(1, QueueForHost(Protocol(), Bytes{kAck, kCr}.data(), 2));
    EXPECT_EQ(1, HostLinkCheckRx(Protocol()));
    EXPECT_EQ((Bytes{'k', kEsc, kCr, kCr}), g_rec.delivered);
    EXPECT_TRUE(g_rec.lockFreeDuringCallback);
    ASSERT_EQ(1u, g_rec.monitor.size());
    EXPECT_EQ(MONITOR_PANEL_TO_HOST, g_rec.monitor[0].first);
    EXPECT_EQ(1, Protocol().toHost.Count());

    EXPECT_EQ(1, HostLinkCheckRx(Protocol()));
    EXPECT_EQ(6, g_rec.callbacks);
    EXPECT_EQ(0, HostLinkCheckRx(Protocol()));
    EXPECT_EQ(6, g_rec.callbacks);
}

TEST_F(HostLink, SteadyTrafficAllocatesNothingOnceTheQueuesHaveNodes) {
    HostLinkSetRxTarget(Protocol(), Callback, &g_rec.byte);
    const Bytes ack{kAck, kCr};
    auto roundTrip = [&] {
        Receive({'W', 'x', kCr});
        return QueueForHost(Protocol(), ack.data(), 2) && HostLinkCheckRx(Protocol());
    };
    ASSERT_TRUE(roundTrip());
    // The next allocation fails: none may happen while the traffic goes on.
    TestPanel().heap.FailAllocationAfter(0);
    for (int i = 0; i < 50; ++i) ASSERT_TRUE(roundTrip()) << "round trip " << i;
    EXPECT_EQ(51u, g_rec.handedOver.size());
    // A frame longer than a kept node needs an allocation of its own, and meets the failure.
    const Bytes longFrame(200, 'a');
    EXPECT_EQ(0, QueueForHost(Protocol(), longFrame.data(), static_cast<uint32_t>(longFrame.size())));
    TestPanel().heap.FailAllocationAfter(-1);
}

TEST_F(HostLink, CheckRxBeforeSetRxTargetKeepsTheMessage) {
    ASSERT_EQ(1, QueueForHost(Protocol(), Bytes{kAck, kCr}.data(), 2));
    EXPECT_EQ(0, HostLinkCheckRx(Protocol()));
    EXPECT_EQ(1, Protocol().toHost.Count());
    HostLinkSetRxTarget(Protocol(), Callback, &g_rec.byte);
    EXPECT_EQ(1, HostLinkCheckRx(Protocol()));
    EXPECT_EQ((Bytes{kAck, kCr}), g_rec.delivered);
}

TEST_F(HostLink, SendToHostQueuesTheStuffedFrame) {
    SetActiveProtocolMode(Protocol(), MODE_SEQUENCE);
    uint8_t sequence = 0;
    ASSERT_EQ(1, SendToHost(Protocol(), Bytes{'g', kCr}.data(), 2, 0, &sequence));
    EXPECT_EQ('d', sequence);
    EXPECT_EQ((std::vector<Bytes>{{'g', kEsc, kCr, 'd', kCr}}), Queue(Protocol().toHost));
}

TEST_F(HostLink, InjectedCommandsCarryTheirOwnSequence) {
    const Bytes question{'W', '?'};
    InjectCommand(Protocol(), question.data(), 2);
    EXPECT_EQ((Bytes{'W', '?', kCr}), g_rec.forwarded.at(0));

    SetActiveProtocolMode(Protocol(), 0x18);
    InjectCommand(Protocol(), question.data(), 2);
    const Bytes& framed = g_rec.handedOver.at(1).at(0);
    ASSERT_EQ(6u, framed.size());
    EXPECT_EQ('P', framed[2]);
    EXPECT_EQ(0, Crc16(framed.data(), 5));
    int params = -1;
    EXPECT_EQ(CHECK_ACCEPTED, CheckFrame(Protocol(), framed.data(), 6, 0x18, 0, &params));
    EXPECT_EQ(1, params);
    EXPECT_EQ(0x18, ActiveProtocolMode(Protocol()));
    EXPECT_EQ('c', OutgoingSequence(Protocol()));

    SetActiveProtocolMode(Protocol(), MODE_SEQUENCE);
    std::string seen;
    for (int i = 0; i < 21; ++i) {
        InjectCommand(Protocol(), question.data(), 2);
        seen += static_cast<char>(g_rec.forwarded.back()[2]);
    }
    EXPECT_EQ("QRSTUVWXYZ[\\]^_`abcdQ", seen);
}

}  // namespace
