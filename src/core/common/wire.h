// The bytes, mode bits and sizes of the panel's wire format, shared by the protocol
// (protocol/frame.h describes the frame itself) and the monitor, which decodes frames.
#pragma once

#include <cstdint>

// ---- bytes and mode bits ------------------------------------------------------------------
constexpr uint8_t kCr = 0x0D;
constexpr uint8_t kEsc = 0x1B;
constexpr uint8_t kAck = 0x06;
constexpr uint8_t kNak = 0x15;

constexpr uint8_t MODE_KEY_REPORTS = 0x01;   // spontaneous key reports
constexpr uint8_t MODE_KEY_ACK = 0x02;       // key reports wait for an acknowledgement
constexpr uint8_t MODE_CHECKSUM = 0x04;      // one checksum byte (unless MODE_CRC)
constexpr uint8_t MODE_SEQUENCE = 0x08;      // sequence byte
constexpr uint8_t MODE_CRC = 0x10;           // two CRC-16 bytes

// ---- buffer sizes -------------------------------------------------------------------------
constexpr int kFrameBuildSize = 256;     // built frame before stuffing, CR included
constexpr int kFrameStuffSize = 512;     // stuffed frame
constexpr int kFrameAssemblySize = 512;  // assembler buffer
constexpr int kKeyReportMaxSize = 41;    // 'k' + 8 group headers + 32 data bytes

// 256-bit bitmaps (keys, LEDs, click mask): id k is bit (k & 7) of byte (k >> 3).
constexpr int kBitmapBytes = 32;
