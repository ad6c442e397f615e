// Panel message frames: building, stuffing, unescaping and checking, the protocol mode bytes
// and sequence counters they depend on, CRC-16, and the bitmap group encoding that key, LED and
// click-mask messages share. The wire's bytes and sizes (wire.h) and the frame assembler
// (frame_assembler.h) come with it.
//
// A frame on the wire is: command byte, parameters, optional sequence byte, optional check
// bytes (one checksum byte or two CRC-16 bytes, high byte first), CR; every ESC or CR before the
// final CR is preceded by an ESC. The active protocol mode decides which optional parts are
// present. Frames whose command is 'R' never carry a sequence byte or check bytes.
//
// The mode bytes and sequence counters live in the panel's protocol record (protocol.h); the
// functions that read or advance them take it. Everything else here is pure; each byte source
// owns its own stFrameAssembler.
#pragma once

#include <cstdint>

#include "protocol/frame_assembler.h"
#include "common/wire.h"

struct stProtocol;

// ---- protocol mode bytes and sequence state -------------------------------------------------
uint8_t ActiveProtocolMode(const stProtocol& p);
void SetActiveProtocolMode(stProtocol& p, uint8_t mode);
uint8_t PendingProtocolMode(const stProtocol& p);
void SetPendingProtocolMode(stProtocol& p, uint8_t mode);

// Outgoing sequence counter: 'c' after a reset; the next frame carries 'd'.
uint8_t OutgoingSequence(const stProtocol& p);
void ResetOutgoingSequence(stProtocol& p);
// Last accepted incoming sequence byte (0 = none). ACK and NAK frames carry it.
uint8_t LastAcceptedSequence(const stProtocol& p);
void SetLastAcceptedSequence(stProtocol& p, uint8_t value);
// Injection counter: never reset while loaded; injected commands carry 'P', then 'Q'..'d'.
uint8_t InjectionSequence(const stProtocol& p);

// Back to the load-time state (modes 0, counters 'c' / 0 / 'O').
void ResetProtocolState(stProtocol& p);

// ---- CRC-16/XMODEM ------------------------------------------------------------------------
uint16_t Crc16(const uint8_t* bytes, int count);

// ---- frame builder ------------------------------------------------------------------------
// Frames the message (command byte first) with the active protocol mode into `out` (room for
// kFrameBuildSize bytes). A repeat reuses the current outgoing sequence byte. `sequenceUsed`
// (may be null) receives the sequence byte the frame carries, 0 when it has none.
// Returns the frame length, CR included, or 0 when the message is empty or the frame would not
// fit into kFrameBuildSize bytes; a refused message leaves the counters untouched.
int BuildFrame(stProtocol& p, const uint8_t* message, int length, int repeat, uint8_t* out,
               uint8_t* sequenceUsed = nullptr);
// The same with an explicit mode byte instead of the active mode.
int BuildFrameWithMode(stProtocol& p, uint8_t mode, const uint8_t* message, int length, int repeat,
                       uint8_t* out, uint8_t* sequenceUsed = nullptr);

// Escape stuffing: an ESC goes before every ESC or CR except the last byte (the frame's CR).
// Returns the stuffed length, or 0 when it would exceed `capacity`.
int StuffFrame(const uint8_t* frame, int length, uint8_t* out, int capacity);

// Removes stuffing from a raw frame: an unescaped ESC that is not the last byte is dropped and
// makes the next byte literal. `out` needs room for `length` bytes. Returns the new length.
int UnescapeFrame(const uint8_t* raw, int length, uint8_t* out);

// ---- frame checker ------------------------------------------------------------------------
constexpr int CHECK_ACCEPTED = 0;
constexpr int CHECK_BAD = 1;
constexpr int CHECK_DUPLICATE = 2;

// Checks an unescaped frame (CR included) against `mode`. With `record` set an accepted
// sequence byte becomes the last accepted one. On accepted and duplicate `paramCount` (may be
// null) receives the number of bytes between the command byte and the sequence/check bytes.
int CheckFrame(stProtocol& p, const uint8_t* frame, int length, uint8_t mode, int record, int* paramCount);

// ---- bitmap groups ------------------------------------------------------------------------
// Targets of one store besides the byte indexes 0..31.
constexpr int GROUP_LOW_BITS = -1;   // bits 0..6 of byte 0 (bit 7 keeps its value)
constexpr int GROUP_ALL_BYTES = -2;  // every byte of the bitmap

using GroupStore = void (*)(void* context, int target, uint8_t value);

// Applies a group string to a bitmap through `store`, one call per stored value. Returns 1 for
// a well-formed string, 0 when it stopped at a malformed group (earlier groups stay applied).
int DecodeBitmapGroups(const uint8_t* params, int count, GroupStore store, void* context);

// The plain store: `context` is the 32-byte bitmap.
void StoreBitmapByte(void* bitmap, int target, uint8_t value);

// Encodes a key report 'k' from the key state bitmap S and the reported key bitmap P. Changed
// bytes are marked reported in P when `explicitRequest` is set or `mode` has MODE_KEY_REPORTS.
// `out` needs kKeyReportMaxSize bytes. Returns the length ('k' included); `changedCount` (may
// be null) receives the number of changed bytes.
int EncodeKeyReport(const uint8_t* keyState, uint8_t* reported, int explicitRequest, uint8_t mode,
                    uint8_t* out, int* changedCount);
// Whether an encoded report goes out: on an explicit request while the panel answers for
// itself, or spontaneously when something changed and the mode asks for reports.
bool KeyReportDue(int explicitRequest, bool answering, int changedCount, uint8_t mode);
