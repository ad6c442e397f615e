// Key input of the emulated device: the key actions that mouse and keyboard handling start,
// the key click, and the key states a connected target reports back.
//
// The key state bitmap, the reported key bitmap and the click settings live in the protocol
// record (protocol.h); the key reports that follow each action are SendKeyReport
// (panel_reports.h). The platform of the protocol record draws the key looks and sounds the
// click.
//
// Threads: the key actions run on the user-interface thread. ApplyReportedKeyState is also
// called by the serial reader thread: each byte of the key state bitmap is written whole, the
// key lookup takes the list lock, and the platform's look drawing must be callable from any thread.
#pragma once

#include <cstdint>

struct stPixelRect;
struct stProtocol;

constexpr unsigned kKeyClickHz = 3000;
constexpr unsigned kKeyClickMs = 75;

// Key actions.
enum : int { KEY_RELEASE, KEY_PRESS, KEY_RELEASE_ALL, KEY_LATCH_TOGGLE };

// A key's look covers its rectangle shrunk by this many pixels on every side.
constexpr int kKeyLookInset = 2;

// Whether a newly pressed key (bit `bitMask` of byte `byteIndex`) clicks: mode 0 never, mode 1
// always, any other mode when the key's bit is set in the click mask.
bool KeyClickWanted(uint8_t clickMode, const uint8_t* clickMask, int byteIndex, uint8_t bitMask);
// Sounds the click (3000 Hz, 75 ms) when the current click settings ask for it.
void KeyClickCheck(const stProtocol& p, int byteIndex, uint8_t bitMask);

// Draws a key's look through the platform: the rectangle shrunk by kKeyLookInset, pressed or
// unpressed.
void DrawKeyLook(const stProtocol& p, const stPixelRect& keyRect, int pressed);

// The single entry for local key changes (one of KEY_*), followed by a key report with the
// explicit flag clear. `keyRect` is the key's pixel rectangle (used by the latch toggle's look;
// may be null for KEY_RELEASE_ALL).
void KeyAction(stProtocol& p, int keyId, int action, const stPixelRect* keyRect);

// Applies a 'k' message from the target (its parameters, after the command byte) to the key
// state bitmap: newly set bits get the pressed look and at most one click per message, cleared
// bits the unpressed look. A malformed group ends the message; earlier groups stay applied.
// Callable from any thread.
void ApplyReportedKeyState(stProtocol& p, const uint8_t* params, int count);
