// The emulated character LCD controller: display data RAM, CGRAM, the selected character set,
// address counter, entry mode, display/cursor/blink flags, display shift and function set.
//
// Each panel owns one controller record; every operation takes the record it works on. A fresh
// record is the power-up state (LcdReset has not run yet). The controller never draws and never sends
// anything: the dispatcher feeds it instruction halves and data bytes and asks it for read
// replies, the drawing pass reads it under `lock`, the LCD layout writes the geometry fields.
// Every operation completes at once; there is no busy time.
//
// Behaviour that differs from the usual HD44780 datasheet on purpose (firmware under test relies
// on it): a decrementing data write that leaves column 0 goes to column 7 of the same or previous
// line; Return home also sets increment mode; Clear display fills 80 (one line) or 104 (two lines)
// bytes; the instruction nibble phase is never re-aligned.
#pragma once

#include <cstdint>
#include <mutex>

#include "lcd/charset.h"

enum LcdKind { kLcdInstruction = 0, kLcdData = 1 };

constexpr int kLcdMaxRows = 4;       // display rows the layout and drawing have room for
constexpr int kLcdMaxColumns = 40;   // characters per display row likewise

struct LcdController {
    // ---- geometry: written by the LCD layout, read by the drawing pass --------------------
    uint8_t rowsShown = 0;              // display rows the drawing visits (0-4)
    int32_t lineOffset[2]{};            // ddram offset of controller line 0 and line 1
    int32_t rowStart[4]{};              // ddram address in the first cell of display row 0..3
    uint8_t columnsShown = 0;           // cells drawn per display row
    uint8_t lineLengthByLines[3]{};     // characters per controller line, indexed by `lines`
    uint32_t clearSizeByLines[3]{};     // bytes Clear display fills, indexed by `lines`
    int32_t decrementWrapColumn = 0;    // 0: last column, 1: column 7, other: stay at column 0

    // ---- memory and registers --------------------------------------------------------------
    uint8_t ddram[1024]{};              // line 0 at offset 0, line 1 at offset 64
    // User-defined rows of codes 0-7 (codes 8-15 show the same rows), one bank per character
    // set: a set shows the characters defined while it was selected. LcdReset fills both banks
    // with the placeholder.
    uint32_t cgram[2][kLcdCgramRows]{};
    LcdCharSetId charSet = kLcdCharSetN;  // selected character set
    uint8_t cgramAddress = 0;           // CGRAM row address 0-63
    uint8_t cursorColumn = 0;           // address counter: column within the line
    uint8_t cursorLine = 0;             // address counter: controller line 0 or 1
    bool cgramSelected = false;         // data writes and reads go to CGRAM
    bool shiftOnWrite = false;          // entry mode S
    bool displayOn = false;             // D
    bool blinkOn = false;               // B
    bool cursorOn = false;              // C
    bool increment = false;             // entry mode I/D
    uint8_t shiftOffset = 0;            // display shift 0 .. lineLength - 1
    uint8_t font = 0;                   // 0 not yet set (drawn as 5x8), 1 = 5x8, 2 = 5x11
    bool setUp = false;                 // LcdReset has run
    uint8_t lines = 0;                  // 1 or 2
    uint8_t lineLength = 0;             // characters per line now
    uint32_t clearSize = 0;             // bytes Clear display fills now

    // Taken by the drawing pass for its whole run; code on another thread takes it around each
    // LcdExecute and each read. Recursive so that a caller holding it may start a drawing pass.
    std::recursive_mutex lock;

    uint32_t nibbleAccumulator = 0;     // high half of a pending instruction, in bits 7-4
    bool expectHighNibble = true;       // next instruction half is a high half
    bool blinkPhase = false;            // blink block currently shown
    // Every cell must be drawn anew (Clear display, a display or cursor switch); the next drawing
    // pass takes it and clears it.
    bool redrawAll = false;
};

using LcdLockGuard = std::lock_guard<std::recursive_mutex>;

// Back to the power-up state of a fresh record. The lock is left alone.
void LcdClearState(LcdController& c);

// Resets the registers (DDRAM, CGRAM address, entry mode S, B, C, shift, font and nibble phase
// are kept), fills both CGRAM banks with the placeholder, selects set 'N' and sets `setUp`.
void LcdReset(LcdController& c);
// Instruction input, one 4-bit half per call, high half first.
void LcdWriteNibble(LcdController& c, uint8_t value);
// Writes `count` data bytes in order.
void LcdWriteData(LcdController& c, const uint8_t* bytes, uint8_t count);
// One instruction or one data byte.
void LcdExecute(LcdController& c, LcdKind kind, uint8_t byte);
// The power-up instruction sequence 0x28, 0x08, 0x01, 0x06, 0x0C as ten halves.
void LcdSendInitSequence(LcdController& c);
// 0x40 + CGRAM address while CGRAM is selected, else the cursor column (the line is not encoded).
uint8_t LcdReadAddress(const LcdController& c);
// The CGRAM row or the DDRAM byte at the address counter; never moves either address.
uint8_t LcdReadData(const LcdController& c);
// DDRAM index of the address counter.
int LcdCursorIndex(const LcdController& c);

// Selects the character set a letter names (see LcdCharSetOf).
void LcdSelectCharSet(LcdController& c, char letter);
// Letter of the selected set, 'N' or 'C'.
inline char LcdSelectedCharSet(const LcdController& c) { return LcdCharSetName(c.charSet); }
// The 8 rows of `code` in the selected set: the CGRAM bank for codes 0-15, else the ROM.
const uint32_t* LcdGlyphRows(const LcdController& c, uint8_t code);
// The selected set whole (kLcdCharSetSize cells) as the controller shows it, CGRAM included.
void LcdComposeCharSet(const LcdController& c, uint32_t* out);

// The DDRAM address of each cell of display row `row` as the drawing visits it: from the row's
// start plus the display shift, wrapping at the end of the controller line. `out` has room for
// kLcdMaxColumns addresses (masked to the DDRAM). Returns their number (columnsShown, at most
// kLcdMaxColumns), or -1 for a row that is not drawn (outside rowsShown, at most kLcdMaxRows, or
// an odd row in one-line mode).
int LcdRowAddresses(const LcdController& c, int row, int* out);
