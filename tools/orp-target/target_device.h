// The device side of the panel protocol as orp-target plays it: frames from the panel are
// checked in the target's own protocol mode and answered; commands from a script or the
// terminal make the target send key reports, resets and arbitrary bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "protocol/frame.h"
#include "protocol/protocol.h"

class TargetDevice {
public:
    using Sender = std::function<void(const std::vector<uint8_t>&)>;
    using Logger = std::function<void(const std::string&)>;

    TargetDevice(int mode, Sender send, Logger log);

    // granted, granted2, inuse, locked, none, silent or a hex byte. False for anything else.
    bool SetHandshake(const std::string& kind);
    // One datagram (one frame) from the panel.
    void OnDatagram(const uint8_t* bytes, int count);
    // Bytes from the serial line, cut into frames at unescaped CRs.
    void OnSerialBytes(const uint8_t* bytes, int count);
    // Runs one command line. Returns the milliseconds a "wait" asks for, else 0.
    int RunCommand(const std::string& line);
    bool Quit() const { return quit_; }

private:
    void OnFrame(const uint8_t* raw, int rawCount, const uint8_t* frame, int length);
    void Answer(const std::vector<uint8_t>& message);
    void SendRaw(const std::vector<uint8_t>& bytes);
    void SendKeyReport();
    void Log(int direction, const uint8_t* bytes, int count);

    uint8_t mode_;
    uint8_t pendingMode_;
    int handshake_ = 0x11;  // -1: silent
    bool quit_ = false;
    uint8_t keys_[kBitmapBytes] = {};
    uint8_t reported_[kBitmapBytes] = {};
    stFrameAssembler assembler_{};
    stProtocol sequences_;  // the outgoing and last accepted sequence bytes of this target
    std::vector<uint8_t> rawFrame_;
    Sender send_;
    Logger log_;
};
