// Frame building, stuffing, checking and the protocol state they share. The assembler, the
// group codec and the key report encoder live in their own files.
#include "protocol/frame.h"

#include <cstring>

#include "protocol/protocol.h"

namespace {

int CheckBytesFor(uint8_t mode) {
    if (mode & MODE_CRC) return 2;
    if (mode & MODE_CHECKSUM) return 1;
    return 0;
}

uint8_t ByteSum(const uint8_t* bytes, int count) {
    uint8_t sum = 0;
    for (int i = 0; i < count; ++i) sum = static_cast<uint8_t>(sum + bytes[i]);
    return sum;
}
}  // namespace

uint8_t ActiveProtocolMode(const stProtocol& p) { return p.activeMode.load(std::memory_order_relaxed); }
void SetActiveProtocolMode(stProtocol& p, uint8_t mode) { p.activeMode.store(mode, std::memory_order_relaxed); }
uint8_t PendingProtocolMode(const stProtocol& p) { return p.pendingMode.load(std::memory_order_relaxed); }
void SetPendingProtocolMode(stProtocol& p, uint8_t mode) { p.pendingMode.store(mode, std::memory_order_relaxed); }

uint8_t OutgoingSequence(const stProtocol& p) { return p.outgoingSequence.load(std::memory_order_relaxed); }
void ResetOutgoingSequence(stProtocol& p) { p.outgoingSequence.store('c', std::memory_order_relaxed); }
uint8_t LastAcceptedSequence(const stProtocol& p) { return p.lastAccepted.load(std::memory_order_relaxed); }
void SetLastAcceptedSequence(stProtocol& p, uint8_t value) { p.lastAccepted.store(value, std::memory_order_relaxed); }
uint8_t InjectionSequence(const stProtocol& p) { return p.injectionSequence; }

void ResetProtocolState(stProtocol& p) {
    SetActiveProtocolMode(p, 0);
    SetPendingProtocolMode(p, 0);
    ResetOutgoingSequence(p);
    SetLastAcceptedSequence(p, 0);
    p.injectionSequence = 'O';
}

uint16_t Crc16(const uint8_t* bytes, int count) {
    uint16_t crc = 0;
    for (int i = 0; i < count; ++i) {
        crc = static_cast<uint16_t>((crc >> 8) | (crc << 8));
        crc ^= bytes[i];
        crc ^= static_cast<uint16_t>((crc & 0xFF) >> 4);
        crc ^= static_cast<uint16_t>(crc << 12);
        crc ^= static_cast<uint16_t>((crc & 0xFF) << 5);
    }
    return crc;
}

int BuildFrame(stProtocol& p, const uint8_t* message, int length, int repeat, uint8_t* out,
               uint8_t* sequenceUsed) {
    return BuildFrameWithMode(p, ActiveProtocolMode(p), message, length, repeat, out, sequenceUsed);
}

int BuildFrameWithMode(stProtocol& p, uint8_t mode, const uint8_t* message, int length, int repeat, uint8_t* out,
                       uint8_t* sequenceUsed) {
    if (sequenceUsed) *sequenceUsed = 0;
    if (!message || length <= 0) return 0;
    const bool reset = message[0] == 'R';
    const int extra = reset ? 1 : ((mode & MODE_SEQUENCE) ? 1 : 0) + CheckBytesFor(mode) + 1;
    if (length > kFrameBuildSize - extra) return 0;

    std::memcpy(out, message, static_cast<size_t>(length));
    int n = length;
    if (!reset) {
        if (mode & MODE_SEQUENCE) {
            uint8_t sequence;
            if (message[0] == kAck || message[0] == kNak) {
                sequence = LastAcceptedSequence(p);
            } else {
                sequence = OutgoingSequence(p);
                if (!repeat) {
                    sequence = static_cast<uint8_t>(sequence + 1);
                    if (sequence >= 'y') sequence = 'e';
                    p.outgoingSequence.store(sequence, std::memory_order_relaxed);
                }
            }
            out[n++] = sequence;
            if (sequenceUsed) *sequenceUsed = sequence;
        }
        if (mode & MODE_CRC) {
            const uint16_t crc = Crc16(out, n);
            out[n++] = static_cast<uint8_t>(crc >> 8);
            out[n++] = static_cast<uint8_t>(crc & 0xFF);
        } else if (mode & MODE_CHECKSUM) {
            out[n] = static_cast<uint8_t>(~ByteSum(out, n));
            ++n;
        }
    }
    out[n++] = kCr;
    return n;
}

int StuffFrame(const uint8_t* frame, int length, uint8_t* out, int capacity) {
    int n = 0;
    for (int i = 0; i < length; ++i) {
        const bool escape = i + 1 < length && (frame[i] == kEsc || frame[i] == kCr);
        if (n + (escape ? 2 : 1) > capacity) return 0;
        if (escape) out[n++] = kEsc;
        out[n++] = frame[i];
    }
    return n;
}

int UnescapeFrame(const uint8_t* raw, int length, uint8_t* out) {
    int n = 0;
    bool literal = false;
    for (int i = 0; i < length; ++i) {
        if (!literal && raw[i] == kEsc && i + 1 < length) {
            literal = true;
            continue;
        }
        literal = false;
        out[n++] = raw[i];
    }
    return n;
}

int CheckFrame(stProtocol& p, const uint8_t* frame, int length, uint8_t mode, int record, int* paramCount) {
    const int needed = 2 + CheckBytesFor(mode) + ((mode & MODE_SEQUENCE) ? 1 : 0);
    if (!frame || length < needed) return CHECK_BAD;
    int l = length - 2;
    if (mode & MODE_CRC) {
        if (Crc16(frame, l + 1) != 0) return CHECK_BAD;
        l -= 2;
    } else if (mode & MODE_CHECKSUM) {
        if (ByteSum(frame, l) != static_cast<uint8_t>(~frame[l])) return CHECK_BAD;
        l -= 1;
    }
    if (mode & MODE_SEQUENCE) {
        const uint8_t sequence = frame[l];
        l -= 1;
        if (sequence != 0 && sequence == LastAcceptedSequence(p)) {
            if (paramCount) *paramCount = l;
            return CHECK_DUPLICATE;
        }
        if (record) SetLastAcceptedSequence(p, sequence);
    }
    if (paramCount) *paramCount = l;
    return CHECK_ACCEPTED;
}
