#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "protocol/frame.h"
#include "protocol_test_support.h"

namespace {

using Bytes = std::vector<uint8_t>;

class Frames : public ::testing::Test {
protected:
    FreshProtocol fresh_;

    // Builds into a buffer of exactly kFrameBuildSize bytes so that ASan sees any overrun.
    Bytes Build(const Bytes& message, int repeat = 0, uint8_t* sequence = nullptr) {
        Bytes out(kFrameBuildSize);
        const int n = BuildFrame(Protocol(), message.data(), static_cast<int>(message.size()), repeat, out.data(),
                                 sequence);
        out.resize(static_cast<size_t>(n));
        return out;
    }
    static Bytes Stuff(const Bytes& frame) {
        Bytes out(kFrameStuffSize);
        out.resize(static_cast<size_t>(
            StuffFrame(frame.data(), static_cast<int>(frame.size()), out.data(), kFrameStuffSize)));
        return out;
    }
    static int Check(const Bytes& frame, uint8_t mode, int record, int* params) {
        return CheckFrame(Protocol(), frame.data(), static_cast<int>(frame.size()), mode, record, params);
    }
};

TEST_F(Frames, Crc16IsXmodem) {
    const char* text = "123456789";
    EXPECT_EQ(0x31C3, Crc16(reinterpret_cast<const uint8_t*>(text), 9));
    EXPECT_EQ(0, Crc16(nullptr, 0));
}

TEST_F(Frames, CrcFrameChecksToZero) {
    SetActiveProtocolMode(Protocol(), 0x18);
    const Bytes frame = Build({'V'});
    ASSERT_EQ(5u, frame.size());
    EXPECT_EQ('V', frame[0]);
    EXPECT_EQ('d', frame[1]);
    EXPECT_EQ(Crc16(frame.data(), 2), (frame[2] << 8) | frame[3]);
    EXPECT_EQ(kCr, frame[4]);
    EXPECT_EQ(0, Crc16(frame.data(), 4));
    int params = -1;
    EXPECT_EQ(CHECK_ACCEPTED, Check(frame, 0x18, 1, &params));
    EXPECT_EQ(0, params);
    EXPECT_EQ('d', LastAcceptedSequence(Protocol()));
}

TEST_F(Frames, ChecksumFrameAfterReset) {
    SetActiveProtocolMode(Protocol(), 0x0C);
    EXPECT_EQ((Bytes{0x57, 0x48, 0x69, 0x64, 0x93, 0x0D}), Build({'W', 'H', 'i'}));
    int params = -1;
    EXPECT_EQ(CHECK_ACCEPTED, Check({0x57, 0x48, 0x69, 0x64, 0x93, 0x0D}, 0x0C, 0, &params));
    EXPECT_EQ(2, params);
    EXPECT_EQ(CHECK_BAD, Check({0x57, 0x48, 0x69, 0x64, 0x94, 0x0D}, 0x0C, 0, &params));
    SetActiveProtocolMode(Protocol(), 0);
    EXPECT_EQ((Bytes{'W', 'H', 'i', kCr}), Build({'W', 'H', 'i'}));
}

TEST_F(Frames, SequenceCounterWrapsAndRepeats) {
    SetActiveProtocolMode(Protocol(), MODE_SEQUENCE);
    std::string seen;
    for (int i = 0; i < 23; ++i) seen += static_cast<char>(Build({'k'})[1]);
    EXPECT_EQ("defghijklmnopqrstuvwxef", seen);

    uint8_t used = 0;
    EXPECT_EQ('f', Build({'k'}, 1, &used)[1]);
    EXPECT_EQ('f', used);
    EXPECT_EQ('g', Build({'k'})[1]);

    // ACK and NAK carry the last accepted sequence byte and leave the counter alone.
    SetLastAcceptedSequence(Protocol(), 'q');
    EXPECT_EQ((Bytes{kAck, 'q', kCr}), Build({kAck}));
    EXPECT_EQ((Bytes{kNak, 'q', kCr}), Build({kNak}));
    EXPECT_EQ('h', Build({'k'})[1]);

    ResetOutgoingSequence(Protocol());
    EXPECT_EQ('d', Build({'k'})[1]);
}

TEST(ProtocolRecord, TwoPanelsKeepTheirOwnModesAndCounters) {
    stProtocol first, second;
    SetActiveProtocolMode(first, MODE_SEQUENCE);
    const uint8_t message = 'V';
    uint8_t frame[kFrameBuildSize];
    uint8_t sequence = 0;
    ASSERT_GT(BuildFrame(first, &message, 1, 0, frame, &sequence), 0);
    ASSERT_GT(BuildFrame(first, &message, 1, 0, frame, &sequence), 0);
    EXPECT_EQ('e', sequence);
    EXPECT_EQ(0, CheckFrame(first, frame, 3, MODE_SEQUENCE, 1, nullptr));
    EXPECT_EQ(0, ActiveProtocolMode(second));
    EXPECT_EQ('c', OutgoingSequence(second));
    EXPECT_EQ(0, LastAcceptedSequence(second));
    SetActiveProtocolMode(second, MODE_SEQUENCE);
    ASSERT_GT(BuildFrame(second, &message, 1, 0, frame, &sequence), 0);
    EXPECT_EQ('d', sequence);
}

TEST_F(Frames, ResetFrameNeverCarriesSequenceOrCheck) {
    SetActiveProtocolMode(Protocol(), 0x1C);
    const Bytes reset{'R', 'U', 0xAA, 0xCC, '3'};
    Bytes expected = reset;
    expected.push_back(kCr);
    EXPECT_EQ(expected, Build(reset));
    EXPECT_EQ('c', OutgoingSequence(Protocol()));
}

TEST_F(Frames, StuffingCoversEverythingButTheFinalCr) {
    EXPECT_EQ((Bytes{'W', kEsc, kEsc, kCr}), Stuff(Build({'W', kEsc})));
    EXPECT_EQ((Bytes{'W', kEsc, kCr, 'a', kCr}), Stuff(Build({'W', kCr, 'a'})));

    // A checksum byte of 0x0D: 'W' + 0x9B sums to 0xF2, whose complement is 0x0D.
    SetActiveProtocolMode(Protocol(), MODE_CHECKSUM);
    EXPECT_EQ((Bytes{'W', 0x9B, kEsc, kCr, kCr}), Stuff(Build({'W', 0x9B})));

    // A sequence byte of 0x0D on an ACK.
    SetActiveProtocolMode(Protocol(), MODE_SEQUENCE);
    SetLastAcceptedSequence(Protocol(), kCr);
    const Bytes stuffed = Stuff(Build({kAck}));
    EXPECT_EQ((Bytes{kAck, kEsc, kCr, kCr}), stuffed);

    Bytes plain(stuffed.size());
    plain.resize(static_cast<size_t>(UnescapeFrame(stuffed.data(), static_cast<int>(stuffed.size()), plain.data())));
    EXPECT_EQ((Bytes{kAck, kCr, kCr}), plain);
}

TEST_F(Frames, StuffingRefusesWhenOutputTooSmall) {
    const Bytes frame{kEsc, kEsc, kCr};
    uint8_t out[4];
    EXPECT_EQ(0, StuffFrame(frame.data(), 3, out, 4));
    uint8_t exact[5];
    EXPECT_EQ(5, StuffFrame(frame.data(), 3, exact, 5));
}

TEST_F(Frames, UnescapeKeepsTrailingEscAndEscapedEsc) {
    const Bytes raw{'W', kEsc, kEsc, 'x', kEsc};
    Bytes out(raw.size());
    out.resize(static_cast<size_t>(UnescapeFrame(raw.data(), 5, out.data())));
    EXPECT_EQ((Bytes{'W', kEsc, 'x', kEsc}), out);
}

TEST_F(Frames, OverlongMessageIsRefusedWithoutTouchingTheCounter) {
    SetActiveProtocolMode(Protocol(), 0x1C);  // sequence byte + CRC: 252 message bytes at most
    Bytes message(252, 'x');
    message[0] = 'W';
    EXPECT_EQ(256u, Build(message).size());
    EXPECT_EQ('d', OutgoingSequence(Protocol()));
    message.push_back('y');
    Bytes out(kFrameBuildSize, 0xEE);
    EXPECT_EQ(0, BuildFrame(Protocol(), message.data(), 253, 0, out.data()));
    EXPECT_EQ('d', OutgoingSequence(Protocol()));

    SetActiveProtocolMode(Protocol(), 0);
    EXPECT_EQ(256u, Build(Bytes(255, 'W')).size());
    EXPECT_EQ(0, BuildFrame(Protocol(), Bytes(256, 'W').data(), 256, 0, out.data()));
    EXPECT_EQ(0, BuildFrame(Protocol(), message.data(), 0, 0, out.data()));
}

TEST_F(Frames, DuplicatesAndSequenceZero) {
    const Bytes first{'W', 'A', 'e', kCr};
    int params = -1;
    EXPECT_EQ(CHECK_ACCEPTED, Check(first, MODE_SEQUENCE, 1, &params));
    EXPECT_EQ(1, params);
    params = -1;
    EXPECT_EQ(CHECK_DUPLICATE, Check(first, MODE_SEQUENCE, 1, &params));
    EXPECT_EQ(1, params);

    // Without the record flag nothing is remembered.
    EXPECT_EQ(CHECK_ACCEPTED, Check({'W', 'B', 'f', kCr}, MODE_SEQUENCE, 0, nullptr));
    EXPECT_EQ('e', LastAcceptedSequence(Protocol()));

    const Bytes zero{'W', 'A', 0, kCr};
    EXPECT_EQ(CHECK_ACCEPTED, Check(zero, MODE_SEQUENCE, 1, nullptr));
    EXPECT_EQ(CHECK_ACCEPTED, Check(zero, MODE_SEQUENCE, 1, nullptr));
}

TEST_F(Frames, ShortFramesAreBad) {
    EXPECT_EQ(CHECK_BAD, Check({kCr}, 0, 1, nullptr));
    EXPECT_EQ(CHECK_ACCEPTED, Check({'V', kCr}, 0, 1, nullptr));
    EXPECT_EQ(CHECK_BAD, Check({'V', kCr}, MODE_SEQUENCE, 1, nullptr));
    EXPECT_EQ(CHECK_BAD, Check({'V', 'd', 0x00, kCr}, 0x18, 1, nullptr));
    EXPECT_EQ(CHECK_BAD, Check({'V', 0xA9, kCr}, 0x0C, 1, nullptr));
}

TEST_F(Frames, CorruptedCrcIsBad) {
    SetActiveProtocolMode(Protocol(), 0x18);
    Bytes frame = Build({'W', 'x'});
    frame[1] ^= 0x01;
    EXPECT_EQ(CHECK_BAD, Check(frame, 0x18, 1, nullptr));
    EXPECT_EQ(0, LastAcceptedSequence(Protocol()));
}

class Assembler : public ::testing::Test {
protected:
    FreshProtocol fresh_;
    void SetUp() override { ResetFrameAssembler(&a); }
    int Feed(const Bytes& bytes) {
        return FeedFrameAssembler(&a, bytes.data(), static_cast<int>(bytes.size()), &frame);
    }
    Bytes Frame() const { return Bytes(frame.bytes, frame.bytes + frame.length); }
    stFrameAssembler a;
    stAssembledFrame frame;
};

TEST_F(Assembler, StopsAtTheFirstCrOfAChunk) {
    ASSERT_EQ(1, Feed({'W', 'A', kCr, 'W', 'B', kCr}));
    EXPECT_EQ((Bytes{'W', 'A', kCr}), Frame());
    EXPECT_EQ(3, frame.consumed);
}

TEST_F(Assembler, FrameSpansSeveralChunksAndLosesItsStuffing) {
    EXPECT_EQ(0, Feed({'W', kEsc}));
    EXPECT_EQ(0, Feed({kCr, 'x', kEsc}));
    ASSERT_EQ(1, Feed({kEsc, kCr}));
    EXPECT_EQ((Bytes{'W', kCr, 'x', kEsc, kCr}), Frame());
    EXPECT_EQ(2, frame.escCount);
    ASSERT_EQ(1, Feed({'V', kCr}));
    EXPECT_EQ(0, frame.escCount);
}

TEST_F(Assembler, LargestFrameFits) {
    Bytes bytes(kFrameAssemblySize - 1, 'x');
    bytes.push_back(kCr);
    ASSERT_EQ(1, Feed(bytes));
    EXPECT_EQ(kFrameAssemblySize, frame.length);
}

TEST_F(Assembler, OverrunFrameIsDroppedAndTheNextOneIsClean) {
    Bytes bytes(kFrameAssemblySize, 'x');
    bytes.push_back(kEsc);
    bytes.push_back(kCr);  // escaped: still inside the dropped frame
    bytes.push_back('y');
    EXPECT_EQ(0, Feed(bytes));
    EXPECT_EQ(0, Feed({'z', kCr, 'W', 'B'}));
    ASSERT_EQ(1, Feed({kCr}));
    EXPECT_EQ((Bytes{'W', 'B', kCr}), Frame());

    // The frame after an overrun in the same chunk is still found.
    Bytes chunk(2003, 'q');
    chunk[2000] = kCr;
    chunk[2001] = 'V';
    chunk[2002] = kCr;
    ASSERT_EQ(1, Feed(chunk));
    EXPECT_EQ((Bytes{'V', kCr}), Frame());
    EXPECT_EQ(static_cast<int>(chunk.size()), frame.consumed);
}

class Groups : public ::testing::Test {
protected:
    FreshProtocol fresh_;
    int Decode(const Bytes& groups) {
        return DecodeBitmapGroups(groups.data(), static_cast<int>(groups.size()), StoreBitmapByte, bitmap);
    }
    uint8_t bitmap[kBitmapBytes] = {};
};

TEST_F(Groups, HeadersAndLowBits) {
    EXPECT_EQ(1, Decode({0x83, 0xFF}));
    EXPECT_EQ(0xFF, bitmap[3]);

    EXPECT_EQ(1, Decode({0xBF, 0x11, 0x22}));  // start 31, two bytes
    EXPECT_EQ(0x11, bitmap[31]);
    EXPECT_EQ(0x22, bitmap[30]);

    bitmap[0] = 0xFA;
    EXPECT_EQ(1, Decode({0x05}));
    EXPECT_EQ(0x85, bitmap[0]);
}

TEST_F(Groups, MalformedGroupsStopButEarlierOnesStay) {
    EXPECT_EQ(0, Decode({0xE1, 1, 2, 3, 4}));  // four bytes from index 1
    for (uint8_t b : bitmap) EXPECT_EQ(0, b);

    EXPECT_EQ(0, Decode({0x82, 0x44, 0xA5, 0x55}));  // second group lacks a byte
    EXPECT_EQ(0x44, bitmap[2]);
    EXPECT_EQ(0, bitmap[5]);
}

TEST_F(Groups, AllBytesStore) {
    StoreBitmapByte(bitmap, GROUP_ALL_BYTES, 0x5A);
    for (uint8_t b : bitmap) EXPECT_EQ(0x5A, b);
}

class KeyReports : public ::testing::Test {
protected:
    FreshProtocol fresh_;
    Bytes Encode(int explicitRequest, uint8_t mode) {
        Bytes out(kKeyReportMaxSize);
        out.resize(static_cast<size_t>(EncodeKeyReport(state, reported, explicitRequest, mode, out.data(), &changed)));
        return out;
    }
    uint8_t state[kBitmapBytes] = {};
    uint8_t reported[kBitmapBytes] = {};
    int changed = 0;
};

TEST_F(KeyReports, ByteZeroForms) {
    state[0] = 0x80;  // key 7
    EXPECT_EQ((Bytes{'k', 0x80, 0x80}), Encode(0, MODE_KEY_REPORTS));
    EXPECT_EQ(0x80, reported[0]);

    state[0] = 0x85;  // keys 0 and 2 as well; bit 7 unchanged
    EXPECT_EQ((Bytes{'k', 0x05}), Encode(0, MODE_KEY_REPORTS));
    EXPECT_EQ(1, changed);
}

TEST_F(KeyReports, ReportedBitmapFollowsModeOrRequest) {
    state[9] = 0x02;
    EXPECT_EQ((Bytes{'k', 0x89, 0x02}), Encode(0, 0));
    EXPECT_EQ(0, reported[9]);
    EXPECT_FALSE(KeyReportDue(0, true, changed, 0));
    EXPECT_TRUE(KeyReportDue(0, false, changed, MODE_KEY_REPORTS));

    EXPECT_EQ((Bytes{'k', 0x89, 0x02}), Encode(1, 0));
    EXPECT_EQ(0x02, reported[9]);
    EXPECT_EQ((Bytes{'k'}), Encode(1, 0));
    EXPECT_EQ(0, changed);
    EXPECT_TRUE(KeyReportDue(1, true, changed, 0));
    EXPECT_FALSE(KeyReportDue(1, false, changed, MODE_KEY_REPORTS));
}

TEST_F(KeyReports, EveryByteChangedGivesTheLongestReport) {
    std::memset(state, 0xFF, sizeof state);
    const Bytes report = Encode(0, MODE_KEY_REPORTS);
    ASSERT_EQ(static_cast<size_t>(kKeyReportMaxSize), report.size());
    EXPECT_EQ(0xFF, report[1]);  // 4 bytes from index 31
    EXPECT_EQ(0xE3, report[36]);  // the last run: 4 bytes from index 3
}

TEST_F(KeyReports, DecodingAReportReproducesTheKeyState) {
    std::mt19937 random(7);
    for (int round = 0; round < 500; ++round) {
        for (int i = 0; i < kBitmapBytes; ++i) {
            state[i] = static_cast<uint8_t>(random());
            reported[i] = (random() % 3) ? state[i] : static_cast<uint8_t>(random());
        }
        uint8_t decoded[kBitmapBytes];
        std::memcpy(decoded, reported, sizeof decoded);
        const Bytes report = Encode(0, MODE_KEY_REPORTS);
        ASSERT_LE(report.size(), static_cast<size_t>(kKeyReportMaxSize));
        ASSERT_EQ(1, DecodeBitmapGroups(report.data() + 1, static_cast<int>(report.size()) - 1,
                                        StoreBitmapByte, decoded));
        ASSERT_EQ(0, std::memcmp(decoded, state, sizeof decoded)) << "round " << round;
        ASSERT_EQ(0, std::memcmp(reported, state, sizeof decoded));
    }
}

}  // namespace
