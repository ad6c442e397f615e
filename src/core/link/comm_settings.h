// Portable rules of the communication settings: the baud rate list, the flow control derived
// from a port's reported state, and the dotted address text split into the dialog's four fields.
#pragma once

#include <cstdint>
#include <string>

constexpr int kBaudListSize = 10;

// The i-th entry (0-based) of the baud list: 300 doubling, except that the step after the
// eighth entry adds half (300 ... 38400, 57600, 115200). 0 outside the list.
int32_t BaudListEntry(int index);
// Index of the first entry that is not below `baud`; the last entry when all are below.
int BaudListIndexFor(int32_t baud);

// The handshake flags of a port's control block that the flow control is derived from.
struct stPortFlowFlags {
    bool outxCtsFlow;
    bool outxDsrFlow;
    bool outX;
    bool inX;
    int dtrControl;  // 0 disabled, 1 enabled, 2 handshake
    int rtsControl;  // 0 disabled, 1 enabled, 2 handshake, 3 toggle
};

constexpr int kControlDisabled = 0;
constexpr int kControlHandshake = 2;

// 0 none, 1 XON/XOFF, 2 RTS/CTS, 3 DSR with RTS handshake.
int32_t DeriveFlowControl(const stPortFlowFlags& flags);

// Splits "a.b.c.d" at the dots into four texts (missing parts stay empty, each cut to 3
// characters as the dialog's fields hold them).
void SplitIpText(const char* text, std::string parts[4]);
// Joins four field texts (each cut to 3 characters) with dots.
std::string JoinIpText(const std::string parts[4]);
