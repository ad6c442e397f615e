// What the panel does with the bytes a target sends: the serial reader's byte loop (frame
// cutting, the reset, mode and key messages, every frame queued for the host) and the evaluation
// of one datagram of the network link (the same messages plus the handshake answer, giving a
// status for connection management).
//
// Threads: SerialReaderByte runs on the serial reader thread, HandleTargetDatagram on the
// user-interface thread. Both store only single protocol mode bytes and the outgoing sequence
// counter, append to the to-host queue under its lock, and hand key reports to the
// platform's ShowTargetKeys, which must be safe on either thread.
#pragma once

#include <cstdint>

#include "protocol/frame.h"

struct stProtocol;
struct MonitorOutput;

// ---- serial reader --------------------------------------------------------------------------
// The raw frame buffer holds a frame as it came off the line, ESC bytes included.
constexpr int kSerialRawFrameSize = 255;

struct stSerialReader {
    uint8_t raw[kSerialRawFrameSize];
    uint8_t count;       // bytes in `raw`
    uint8_t discarding;  // the frame outgrew `raw`: its bytes are dropped up to its CR
    stFrameAssembler assembler;
};

void ResetSerialReader(stSerialReader* reader);

// Results of one byte.
constexpr int SERIAL_BYTE_STORED = 0;     // part of a frame still being received
constexpr int SERIAL_BYTE_DROPPED = 1;    // a NUL before a frame, or a byte of an oversized frame
constexpr int SERIAL_FRAME_QUEUED = 2;    // a frame ended and was queued for the host
constexpr int SERIAL_FRAME_TOO_LONG = 3;  // an oversized frame ended at this CR; nothing queued

// Takes one byte from the line.
int SerialReaderByte(stProtocol& p, stSerialReader* reader, uint8_t byte);

// ---- network link ---------------------------------------------------------------------------
constexpr int kDatagramBufferSize = 256;

// Statuses for connection management.
constexpr int LINK_STATUS_NONE = 0;
constexpr int LINK_STATUS_GRANTED = 1;      // handshake answer 0x11
constexpr int LINK_STATUS_GRANTED_ALT = 2;  // handshake answer 0x1n, n != 1
constexpr int LINK_STATUS_IN_USE = 4;       // another user holds the target
constexpr int LINK_STATUS_LOCKED = 8;       // a supervisor holds the target
constexpr int LINK_STATUS_RECEIVE_ERROR = 16;

// The status a handshake answer's status byte stands for.
int HandshakeStatus(uint8_t statusByte);

// Evaluates one received datagram. `received` is the receive call's result (-1 when it
// failed, for example for a datagram larger than the receive buffer or an unreachable port);
// `fromTarget` tells whether the source address and port are the target's. With
// `ignoreHandshake` an 'h' answer yields no status. A receive error is traced to `monitor`.
// Returns a LINK_STATUS_* value.
int HandleTargetDatagram(stProtocol& p, MonitorOutput& monitor, const uint8_t* bytes, int received, bool fromTarget, bool ignoreHandshake);
