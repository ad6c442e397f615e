// The target's side of the links: the serial reader's byte loop, the datagram evaluation with
// its statuses, and the rules of the communication settings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/options.h"
#include "design/object_model.h"
#include "link/comm_settings.h"
#include "link/target_link.h"
#include "monitor/trace.h"
#include "panel/panel.h"
#include "protocol/frame.h"
#include "fake_platform.h"
#include "protocol_test_support.h"
#include "test_panel.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::vector<Bytes> g_keyReports;
std::vector<std::string> g_traces;

void RecordKeys(const uint8_t* params, int count) { g_keyReports.emplace_back(params, params + count); }
void RecordTrace(const char* text) { g_traces.emplace_back(text); }

std::vector<Bytes> ToHostQueue() {
    std::vector<Bytes> out;
    Protocol().toHost.ForEach([&](const stQueuedMessage& m) { out.emplace_back(m.bytes, m.bytes + m.length); });
    return out;
}

Bytes Framed(uint8_t mode, const Bytes& message) {
    uint8_t frame[kFrameBuildSize];
    int n = BuildFrameWithMode(Protocol(), mode, message.data(), static_cast<int>(message.size()), 0, frame);
    uint8_t stuffed[kFrameStuffSize];
    int s = StuffFrame(frame, n, stuffed, kFrameStuffSize);
    return Bytes(stuffed, stuffed + s);
}

class TargetLink : public ::testing::Test {
protected:
    FreshProtocol fresh_;
    FakePlatformScope platform_{&fresh_.record};
    void SetUp() override {
        ASSERT_EQ(1, CreatePanelLists(TestPanel()));
        g_keyReports.clear();
        g_traces.clear();
        platform_.fake.targetKeys = RecordKeys;
        platform_.fake.trace = RecordTrace;
        ResetSerialReader(&reader);
    }
    void TearDown() override {
        FreePanelLists(TestPanel());
    }
    std::vector<int> Feed(const Bytes& bytes) {
        std::vector<int> results;
        for (uint8_t b : bytes) results.push_back(SerialReaderByte(Protocol(), &reader, b));
        return results;
    }
    int Datagram(const Bytes& bytes, bool fromTarget = true, bool ignoreHandshake = false) {
        return HandleTargetDatagram(Protocol(), TestPanel().monitor, bytes.data(), static_cast<int>(bytes.size()), fromTarget, ignoreHandshake);
    }
    stSerialReader reader;
};

TEST_F(TargetLink, SerialStreamDropsLeadingNulShowsKeysAndQueuesEveryFrameAsReceived) {
    SetActiveProtocolMode(Protocol(), MODE_SEQUENCE | MODE_CRC);
    SetPendingProtocolMode(Protocol(), MODE_SEQUENCE | MODE_CRC);
    // Reset first (switches the modes to 0 although they were 0x18), then a key report with a
    // NUL in front, then a frame with a stuffed CR and a bad check, then a mode message.
    Bytes stream = {'r', kCr, 0x00, 'k', 0x81, 0x05, kCr, 0x00, 0x00};
    const Bytes badCheck = {'W', 0x00, kEsc, kCr, 0x55, kCr};
    stream.insert(stream.end(), badCheck.begin(), badCheck.end());
    const Bytes mode = {'m', 0x0C, 'x', kCr};
    stream.insert(stream.end(), mode.begin(), mode.end());
    Feed(stream);

    EXPECT_EQ(0x0C, ActiveProtocolMode(Protocol()));  // 'm' with two parameters switches both modes
    EXPECT_EQ(0x0C, PendingProtocolMode(Protocol()));
    EXPECT_EQ('c', OutgoingSequence(Protocol()));
    ASSERT_EQ(1u, g_keyReports.size());
    EXPECT_EQ((Bytes{0x81, 0x05}), g_keyReports[0]);
    const std::vector<Bytes> queued = ToHostQueue();
    ASSERT_EQ(4u, queued.size());
    EXPECT_EQ((Bytes{'r', kCr}), queued[0]);
    EXPECT_EQ((Bytes{'k', 0x81, 0x05, kCr}), queued[1]);
    EXPECT_EQ(badCheck, queued[2]);  // the NULs before it are gone, the one inside stays
    EXPECT_EQ(mode, queued[3]);
}

TEST_F(TargetLink, SerialFrameWithBadCheckChangesNothingButReachesHost) {
    SetActiveProtocolMode(Protocol(), MODE_CHECKSUM);
    Feed({'k', 0x81, 0x05, 0x00, kCr});  // wrong checksum
    Feed({'m', 0x18, 0x00, 0x00, kCr});
    EXPECT_TRUE(g_keyReports.empty());
    EXPECT_EQ(MODE_CHECKSUM, ActiveProtocolMode(Protocol()));
    EXPECT_EQ(2u, ToHostQueue().size());
    // The same key report with the right checksum is shown.
    Feed(Framed(MODE_CHECKSUM, {'k', 0x81, 0x05}));
    EXPECT_EQ(1u, g_keyReports.size());
}

TEST_F(TargetLink, SerialFrameOver255BytesIsDroppedAndReaderResynchronisesAtNextCr) {
    // 254 bytes and CR fit exactly; 255 bytes and CR do not; a longer one with stuffed CRs in
    // it neither. Each following frame arrives intact.
    Bytes fits(254, 'W');
    fits.push_back(kCr);
    Bytes tooLong(255, 'W');
    tooLong.push_back(kCr);
    Bytes muchLonger;
    for (int i = 0; i < 300; ++i) {
        muchLonger.push_back(kEsc);
        muchLonger.push_back(kCr);
    }
    muchLonger.push_back(kCr);
    const Bytes next = {'k', 0x81, 0x01, kCr};

    std::vector<int> r = Feed(fits);
    EXPECT_EQ(SERIAL_FRAME_QUEUED, r.back());
    r = Feed(tooLong);
    EXPECT_EQ(SERIAL_FRAME_TOO_LONG, r.back());
    Feed(next);
    r = Feed(muchLonger);
    EXPECT_EQ(SERIAL_FRAME_TOO_LONG, r.back());
    Feed(next);

    const std::vector<Bytes> queued = ToHostQueue();
    ASSERT_EQ(3u, queued.size());
    EXPECT_EQ(fits, queued[0]);
    EXPECT_EQ(next, queued[1]);
    EXPECT_EQ(next, queued[2]);
    EXPECT_EQ(2u, g_keyReports.size());
}

TEST_F(TargetLink, HandshakeAnswersGiveTheirStatusesAndAreQueued) {
    struct Case {
        uint8_t status;
        int expected;
    } cases[] = {{0x11, LINK_STATUS_GRANTED}, {0x12, LINK_STATUS_GRANTED_ALT}, {0x10, LINK_STATUS_GRANTED_ALT},
                 {0x01, LINK_STATUS_IN_USE},  {0x05, LINK_STATUS_LOCKED},      {0x02, LINK_STATUS_LOCKED},
                 {0x00, LINK_STATUS_NONE}};
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, Datagram({'h', 0x00, c.status, kCr})) << "status byte " << int(c.status);
        EXPECT_EQ(LINK_STATUS_NONE, Datagram({'h', 0x00, c.status, kCr}, true, true)) << int(c.status);
    }
    EXPECT_EQ(14u, ToHostQueue().size());  // ignored answers still reach the host
    // An answer without its status byte says nothing.
    EXPECT_EQ(LINK_STATUS_NONE, Datagram({'h', 0x11, kCr}));
}

TEST_F(TargetLink, DatagramFromAnotherPortOrFailingItsCheckIsNotQueued) {
    EXPECT_EQ(LINK_STATUS_NONE, Datagram({'h', 0x00, 0x11, kCr}, false));
    SetActiveProtocolMode(Protocol(), MODE_SEQUENCE | MODE_CRC);
    EXPECT_EQ(LINK_STATUS_NONE, Datagram({'r', kCr}));  // a bare reset fails the check in 0x18
    EXPECT_EQ(LINK_STATUS_NONE, Datagram({}));
    EXPECT_TRUE(ToHostQueue().empty());
    EXPECT_EQ(MODE_SEQUENCE | MODE_CRC, ActiveProtocolMode(Protocol()));
}

TEST_F(TargetLink, DatagramResetModeAndKeys) {
    SetActiveProtocolMode(Protocol(), MODE_CHECKSUM);
    EXPECT_EQ(LINK_STATUS_NONE, Datagram(Framed(MODE_CHECKSUM, {'r'})));
    EXPECT_EQ(MODE_SEQUENCE | MODE_CRC, ActiveProtocolMode(Protocol()));
    EXPECT_EQ(MODE_SEQUENCE | MODE_CRC, PendingProtocolMode(Protocol()));
    Datagram(Framed(MODE_SEQUENCE | MODE_CRC, {'k', 0x81, 0x05}));
    ASSERT_EQ(1u, g_keyReports.size());
    EXPECT_EQ((Bytes{0x81, 0x05}), g_keyReports[0]);
    // 'm' with one parameter switches; with two it does not (that is the serial form).
    Datagram(Framed(MODE_SEQUENCE | MODE_CRC, {'m', 0x1C, 0x01}));
    EXPECT_EQ(MODE_SEQUENCE | MODE_CRC, ActiveProtocolMode(Protocol()));
    Datagram(Framed(MODE_SEQUENCE | MODE_CRC, {'m', 0x00}));
    EXPECT_EQ(0, ActiveProtocolMode(Protocol()));
    EXPECT_EQ(4u, ToHostQueue().size());
}

TEST_F(TargetLink, FailedOrOversizedReceiveIsAReceiveErrorWithATrace) {
    Bytes big(300, 'W');
    EXPECT_EQ(LINK_STATUS_RECEIVE_ERROR, HandleTargetDatagram(Protocol(), TestPanel().monitor, big.data(), -1, true, false));
    EXPECT_EQ(LINK_STATUS_RECEIVE_ERROR, HandleTargetDatagram(Protocol(), TestPanel().monitor, big.data(), 300, true, false));
    EXPECT_EQ(LINK_STATUS_NONE, HandleTargetDatagram(Protocol(), TestPanel().monitor, big.data(), -1, false, false));
    ASSERT_EQ(2u, g_traces.size());
    EXPECT_EQ("Empfangs Fehler\r\n", g_traces[0]);
    EXPECT_TRUE(ToHostQueue().empty());
}

TEST(CommSettings, BaudListHasTenEntriesAndSelectsTheFirstNotBelow) {
    const int32_t expected[kBaudListSize] = {300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
    for (int i = 0; i < kBaudListSize; ++i) EXPECT_EQ(expected[i], BaudListEntry(i));
    EXPECT_EQ(0, BaudListEntry(kBaudListSize));
    EXPECT_EQ(8, BaudListIndexFor(57600));
    EXPECT_EQ(9, BaudListIndexFor(57601));
    EXPECT_EQ(4, BaudListIndexFor(4800));
    EXPECT_EQ(0, BaudListIndexFor(0));
    EXPECT_EQ(9, BaudListIndexFor(1000000));
}

TEST(CommSettings, FlowControlDerivedFromPortFlags) {
    stPortFlowFlags none{};
    EXPECT_EQ(0, DeriveFlowControl(none));
    stPortFlowFlags xon{};
    xon.outX = xon.inX = true;
    EXPECT_EQ(0, DeriveFlowControl(xon));  // XON/XOFF alone is not looked at without a handshake line
    xon.dtrControl = 1;
    EXPECT_EQ(1, DeriveFlowControl(xon));
    stPortFlowFlags rtsCts{};
    rtsCts.outxCtsFlow = true;
    rtsCts.rtsControl = kControlHandshake;
    EXPECT_EQ(2, DeriveFlowControl(rtsCts));
    stPortFlowFlags both = rtsCts;
    both.outxDsrFlow = true;
    both.outX = both.inX = true;
    EXPECT_EQ(0, DeriveFlowControl(both));
    stPortFlowFlags dsr{};
    dsr.outxDsrFlow = true;
    dsr.rtsControl = kControlHandshake;
    EXPECT_EQ(3, DeriveFlowControl(dsr));
}

TEST(CommSettings, AddressTextSplitsIntoFourFieldsAndJoinsBack) {
    std::string parts[4];
    SplitIpText("10.200.3.4", parts);
    EXPECT_EQ("10", parts[0]);
    EXPECT_EQ("4", parts[3]);
    EXPECT_EQ("10.200.3.4", JoinIpText(parts));
    SplitIpText("1234.5", parts);
    EXPECT_EQ("123", parts[0]);
    EXPECT_EQ("", parts[2]);
    EXPECT_EQ("123.5..", JoinIpText(parts));
}

}  // namespace
