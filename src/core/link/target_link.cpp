// Frames from the target: the serial reader's byte loop and the datagram evaluation.
#include "link/target_link.h"

#include <cstring>

#include "common/options.h"
#include "monitor/trace.h"
#include "protocol/host_link.h"
#include "protocol/protocol.h"

namespace {
void SetBothModes(stProtocol& p, uint8_t mode) {
    SetActiveProtocolMode(p, mode);
    SetPendingProtocolMode(p, mode);
}

// The serial line's reaction to one complete frame: `unescaped` holds `length` bytes.
void InterpretSerialFrame(stProtocol& p, const uint8_t* unescaped, int length) {
    if (length == 2 && unescaped[0] == 'r' && unescaped[1] == kCr) {
        SetBothModes(p, 0);
        ResetOutgoingSequence(p);
        return;
    }
    int params = 0;
    if (CheckFrame(p, unescaped, length, ActiveProtocolMode(p), 0, &params) == CHECK_BAD) return;
    if (unescaped[0] == 'm' && params == 2)
        SetBothModes(p, unescaped[1]);
    else if (unescaped[0] == 'k' && params != 0)
        p.platform->ShowTargetKeys(unescaped + 1, params);
}
}  // namespace

void ResetSerialReader(stSerialReader* reader) {
    std::memset(reader->raw, ' ', sizeof reader->raw);
    reader->count = 0;
    reader->discarding = 0;
    ResetFrameAssembler(&reader->assembler);
}

int SerialReaderByte(stProtocol& p, stSerialReader* reader, uint8_t byte) {
    if (reader->count == 0 && !reader->discarding && byte == 0x00) return SERIAL_BYTE_DROPPED;
    stAssembledFrame frame;
    const bool complete = FeedFrameAssembler(&reader->assembler, &byte, 1, &frame) != 0;
    if (reader->discarding) {
        // The oversized frame is dropped whole; the next frame starts after its CR.
        if (!complete) return SERIAL_BYTE_DROPPED;
        ResetSerialReader(reader);
        return SERIAL_FRAME_TOO_LONG;
    }
    if (!complete) {
        if (reader->count == kSerialRawFrameSize) {
            // No room for this byte, nor for the CR still to come.
            reader->discarding = 1;
            return SERIAL_BYTE_DROPPED;
        }
        reader->raw[reader->count++] = byte;
        return SERIAL_BYTE_STORED;
    }
    if (reader->count == kSerialRawFrameSize) {
        // The CR itself does not fit: the frame would be 256 raw bytes.
        ResetSerialReader(reader);
        return SERIAL_FRAME_TOO_LONG;
    }
    reader->raw[reader->count] = byte;
    const int rawLength = reader->count + 1;
    uint8_t unescaped[kSerialRawFrameSize + 1];
    const int length = UnescapeFrame(reader->raw, rawLength, unescaped);
    InterpretSerialFrame(p, unescaped, length);
    QueueForHost(p, reader->raw, static_cast<uint32_t>(rawLength));
    ResetSerialReader(reader);
    return SERIAL_FRAME_QUEUED;
}

int HandshakeStatus(uint8_t s) {
    if (s & 0x10) return (s & 0x0F) == 1 ? LINK_STATUS_GRANTED : LINK_STATUS_GRANTED_ALT;
    if (s == 0) return LINK_STATUS_NONE;
    return s == 1 ? LINK_STATUS_IN_USE : LINK_STATUS_LOCKED;
}

int HandleTargetDatagram(stProtocol& p, MonitorOutput& monitor, const uint8_t* bytes, int received, bool fromTarget, bool ignoreHandshake) {
    if (!fromTarget) return LINK_STATUS_NONE;
    if (received < 0 || received > kDatagramBufferSize || (received > 0 && !bytes)) {
        Trace(monitor, "Empfangs Fehler\r\n");
        return LINK_STATUS_RECEIVE_ERROR;
    }
    uint8_t work[kDatagramBufferSize];
    const int length = received ? UnescapeFrame(bytes, received, work) : 0;
    int params = 0;
    if (CheckFrame(p, work, length, ActiveProtocolMode(p), 0, &params) == CHECK_BAD) return LINK_STATUS_NONE;
    int status = LINK_STATUS_NONE;
    switch (work[0]) {
    case 'r':
        if (params == 0) SetBothModes(p, MODE_SEQUENCE | MODE_CRC);
        break;
    case 'm':
        if (params == 1) SetBothModes(p, work[1]);
        break;
    case 'k':
        if (params != 0) p.platform->ShowTargetKeys(work + 1, params);
        break;
    case 'h':
        // 'h', x, status; a shorter answer makes no statement.
        if (!ignoreHandshake && params >= 2) status = HandshakeStatus(work[2]);
        break;
    default:
        break;
    }
    QueueForHost(p, bytes, static_cast<uint32_t>(received));
    return status;
}
