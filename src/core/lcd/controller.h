// The emulated character LCD controller: display data RAM, CGRAM (inside the selected character
// set), address counter, entry mode, display/cursor/blink flags, display shift and function set.
//
// There is one controller per process, reached through Lcd(). It never draws and never sends
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

enum LcdKind { kLcdInstruction = 0, kLcdData = 1 };

struct LcdController {
    // ---- geometry: written by the LCD layout, read by the drawing pass --------------------
    uint8_t rowsShown;              // display rows the drawing visits (0-4)
    int32_t lineOffset[2];          // ddram offset of controller line 0 and line 1
    int32_t rowStart[4];            // ddram address in the first cell of display row 0..3
    uint8_t columnsShown;           // cells drawn per display row
    uint8_t lineLengthByLines[3];   // characters per controller line, indexed by `lines`
    uint32_t clearSizeByLines[3];   // bytes Clear display fills, indexed by `lines`
    int32_t decrementWrapColumn;    // 0: last column, 1: column 7, other: stay at column 0

    // ---- memory and registers --------------------------------------------------------------
    uint8_t ddram[1024];            // line 0 at offset 0, line 1 at offset 64
    uint8_t cgramAddress;           // CGRAM row address 0-63
    uint8_t cursorColumn;           // address counter: column within the line
    uint8_t cursorLine;             // address counter: controller line 0 or 1
    bool cgramSelected;             // data writes and reads go to CGRAM
    bool shiftOnWrite;              // entry mode S
    bool displayOn;                 // D
    bool blinkOn;                   // B
    bool cursorOn;                  // C
    bool increment;                 // entry mode I/D
    uint8_t shiftOffset;            // display shift 0 .. lineLength - 1
    uint8_t font;                   // 0 not yet set (drawn as 5x8), 1 = 5x8, 2 = 5x11
    bool setUp;                     // LcdReset has run
    uint8_t lines;                  // 1 or 2
    uint8_t lineLength;             // characters per line now
    uint32_t clearSize;             // bytes Clear display fills now

    // Taken by the drawing pass for its whole run; code on another thread takes it around each
    // LcdExecute and each read. Recursive so that a caller holding it may start a drawing pass.
    std::recursive_mutex lock;

    uint32_t nibbleAccumulator;     // high half of a pending instruction, in bits 7-4
    bool expectHighNibble = true;   // next instruction half is a high half
    bool blinkPhase;                // blink block currently shown
    uint32_t* charSet;              // selected character set ('N' or 'C')
};

using LcdLockGuard = std::lock_guard<std::recursive_mutex>;

LcdController& Lcd();

// Power-up state of the record as at process start: everything zero except the nibble phase
// (high half expected). For tests; the lock is left alone.
void LcdClearState();

// Resets the registers (DDRAM, CGRAM address, entry mode S, B, C, shift, font and nibble phase
// are kept), rebuilds both character sets, selects set 'N' and sets `setUp`.
void LcdReset();
// Instruction input, one 4-bit half per call, high half first.
void LcdWriteNibble(uint8_t value);
// Writes `count` data bytes in order.
void LcdWriteData(const uint8_t* bytes, uint8_t count);
// One instruction or one data byte.
void LcdExecute(LcdKind kind, uint8_t byte);
// The power-up instruction sequence 0x28, 0x08, 0x01, 0x06, 0x0C as ten halves.
void LcdSendInitSequence();
// 0x40 + CGRAM address while CGRAM is selected, else the cursor column (the line is not encoded).
uint8_t LcdReadAddress();
// The CGRAM row or the DDRAM byte at the address counter; never moves either address.
uint8_t LcdReadData();
// DDRAM index of the address counter.
int LcdCursorIndex();
