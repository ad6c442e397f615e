// The controller's state machine. Instructions are decoded by their highest set bit; each branch
// is one small helper named after the instruction.
#include "lcd/controller.h"

#include <cstring>

namespace {

// Address counter one step forward: past the end of the line to column 0 of the next line,
// from the last line back to line 0.
void CursorForward(LcdController& c) {
    if (++c.cursorColumn > c.lineLength - 1) {
        c.cursorColumn = 0;
        if (++c.cursorLine >= c.lines) c.cursorLine = 0;
    }
}

// Cursor-left instruction: from column 0 to the last column of the previous line, from line 0 to
// the last line.
void CursorBack(LcdController& c) {
    if (c.cursorColumn > 0) {
        --c.cursorColumn;
        return;
    }
    c.cursorColumn = c.lineLength - 1;
    c.cursorLine = (c.cursorLine == 0) ? c.lines - 1 : c.cursorLine - 1;
}

// Address counter after a decrementing data write: leaving column 0 goes to column 7 (or where
// `decrementWrapColumn` says) of the previous line, and line 0 stays line 0.
void DecrementAfterWrite(LcdController& c) {
    if (c.cursorColumn > 0) {
        --c.cursorColumn;
        return;
    }
    if (c.decrementWrapColumn == 0)
        c.cursorColumn = c.lineLength - 1;
    else if (c.decrementWrapColumn == 1)
        c.cursorColumn = 7;
    if (c.cursorLine > 0) --c.cursorLine;
}

void ShiftDisplayLeft(LcdController& c) {
    if (++c.shiftOffset > c.lineLength - 1) c.shiftOffset = 0;
}

void ShiftDisplayRight(LcdController& c) {
    c.shiftOffset = (c.shiftOffset == 0) ? c.lineLength - 1 : c.shiftOffset - 1;
}

void SetDdramAddress(LcdController& c, uint8_t byte) {
    uint8_t a = byte - 0x80;
    c.cgramSelected = false;
    if (c.lines == 2 && a >= 0x40) {
        c.cursorLine = 1;
        c.cursorColumn = a - 0x40;
    } else {
        c.cursorLine = 0;
        c.cursorColumn = a;
    }
}

void SetCgramAddress(LcdController& c, uint8_t byte) {
    c.cgramAddress = byte - 0x40;
    c.cgramSelected = true;
}

void FunctionSet(LcdController& c, uint8_t byte) {
    bool twoLines = (byte & 0x08) != 0;
    c.lines = twoLines ? 2 : 1;
    c.font = ((byte & 0x04) && !twoLines) ? 2 : 1;
    c.lineLength = c.lineLengthByLines[c.lines];
    c.clearSize = c.clearSizeByLines[c.lines];
}

void CursorOrDisplayShift(LcdController& c, uint8_t byte) {
    bool display = (byte & 0x08) != 0;
    bool right = (byte & 0x04) != 0;
    if (display)
        right ? ShiftDisplayRight(c) : ShiftDisplayLeft(c);
    else
        right ? CursorForward(c) : CursorBack(c);
}

void DisplayControl(LcdController& c, uint8_t byte) {
    bool d = (byte & 0x04) != 0, cur = (byte & 0x02) != 0, b = (byte & 0x01) != 0;
    bool changed = d != c.displayOn || cur != c.cursorOn;
    c.displayOn = d;
    c.cursorOn = cur;
    c.blinkOn = b;
    if (changed) c.redrawAll = true;
    if (!b) c.blinkPhase = false;
}

void EntryModeSet(LcdController& c, uint8_t byte) {
    c.increment = (byte & 0x02) != 0;
    c.shiftOnWrite = (byte & 0x01) != 0;
}

void ReturnHome(LcdController& c) {
    c.cursorLine = 0;
    c.cursorColumn = 0;
    c.shiftOffset = 0;
    c.increment = true;
}

void ClearDisplay(LcdController& c) {
    uint32_t size = c.clearSize < sizeof c.ddram ? c.clearSize : sizeof c.ddram;
    std::memset(c.ddram, 0x20, size);
    c.cursorLine = 0;
    c.cursorColumn = 0;
    c.increment = true;
    c.shiftOffset = 0;
    c.cgramSelected = false;
    c.redrawAll = true;
}

void ExecuteInstruction(LcdController& c, uint8_t byte) {
    if (byte & 0x80) SetDdramAddress(c, byte);             // 1AAAAAAA Set DDRAM address
    else if (byte & 0x40) SetCgramAddress(c, byte);        // 01AAAAAA Set CGRAM address
    else if (byte & 0x20) FunctionSet(c, byte);            // 001DNFxx Function set
    else if (byte & 0x10) CursorOrDisplayShift(c, byte);   // 0001SRxx Cursor or display shift
    else if (byte & 0x08) DisplayControl(c, byte);         // 00001DCB Display on/off control
    else if (byte & 0x04) EntryModeSet(c, byte);           // 000001IS Entry mode set
    else if (byte & 0x02) ReturnHome(c);                   // 0000001x Return home
    else if (byte & 0x01) ClearDisplay(c);                 // 00000001 Clear display
}

void WriteData(LcdController& c, uint8_t byte) {
    if (c.cgramSelected) {
        c.cgram[c.charSet][c.cgramAddress & 63] = byte & 0x1F;
        c.cgramAddress = (c.cgramAddress + 1) & 63;
    } else {
        c.ddram[LcdCursorIndex(c)] = byte;
        if (c.shiftOnWrite) c.increment ? ShiftDisplayLeft(c) : ShiftDisplayRight(c);
    }
    if (c.increment)
        CursorForward(c);
    else
        DecrementAfterWrite(c);
}
}  // namespace

void LcdClearState(LcdController& c) {
    c.rowsShown = 0;
    std::memset(c.lineOffset, 0, sizeof c.lineOffset);
    std::memset(c.rowStart, 0, sizeof c.rowStart);
    c.columnsShown = 0;
    std::memset(c.lineLengthByLines, 0, sizeof c.lineLengthByLines);
    std::memset(c.clearSizeByLines, 0, sizeof c.clearSizeByLines);
    c.decrementWrapColumn = 0;
    std::memset(c.ddram, 0, sizeof c.ddram);
    std::memset(c.cgram, 0, sizeof c.cgram);
    c.charSet = kLcdCharSetN;
    c.cgramAddress = c.cursorColumn = c.cursorLine = 0;
    c.cgramSelected = c.shiftOnWrite = c.displayOn = c.blinkOn = c.cursorOn = c.increment = false;
    c.shiftOffset = c.font = 0;
    c.setUp = false;
    c.lines = c.lineLength = 0;
    c.clearSize = 0;
    c.nibbleAccumulator = 0;
    c.expectHighNibble = true;
    c.blinkPhase = false;
    c.redrawAll = false;
}

void LcdReset(LcdController& c) {
    c.rowsShown = 2;
    c.lineOffset[0] = 0;
    c.lineOffset[1] = 0x40;
    c.rowStart[0] = 0x00;
    c.rowStart[1] = 0x40;
    c.rowStart[2] = 0x10;
    c.rowStart[3] = 0x50;
    c.columnsShown = 16;
    c.lineLengthByLines[1] = 40;
    c.lineLengthByLines[2] = 40;
    c.clearSizeByLines[1] = 80;
    c.clearSizeByLines[2] = 104;
    c.decrementWrapColumn = 1;
    c.cursorColumn = 0;
    c.cursorLine = 0;
    c.displayOn = true;
    c.lines = 2;
    c.lineLength = 40;
    c.clearSize = 104;
    for (auto& bank : c.cgram)
        for (int i = 0; i < kLcdCgramRows; ++i) bank[i] = kCgramPlaceholder[i % kLcdCharRows];
    c.charSet = kLcdCharSetN;
    c.setUp = true;
}

void LcdExecute(LcdController& c, LcdKind kind, uint8_t byte) {
    if (!c.setUp) LcdReset(c);
    if (kind == kLcdInstruction)
        ExecuteInstruction(c, byte);
    else
        WriteData(c, byte);
}

void LcdWriteNibble(LcdController& c, uint8_t value) {
    if (c.expectHighNibble) {
        c.nibbleAccumulator = (value & 0x0Fu) << 4;
        c.expectHighNibble = false;
        return;
    }
    c.nibbleAccumulator |= value & 0x0Fu;
    c.expectHighNibble = true;
    LcdExecute(c, kLcdInstruction, static_cast<uint8_t>(c.nibbleAccumulator));
}

void LcdWriteData(LcdController& c, const uint8_t* bytes, uint8_t count) {
    if (!bytes) return;
    for (int i = 0; i < count; ++i) LcdExecute(c, kLcdData, bytes[i]);
}

void LcdSendInitSequence(LcdController& c) {
    static const uint8_t kHalves[] = {2, 8, 0, 8, 0, 1, 0, 6, 0, 12};
    for (uint8_t half : kHalves) LcdWriteNibble(c, half);
}

int LcdCursorIndex(const LcdController& c) { return (c.lineOffset[c.cursorLine & 1] + c.cursorColumn) & 0x3FF; }

uint8_t LcdReadAddress(const LcdController& c) {
    if (c.cgramSelected) return static_cast<uint8_t>(0x40 + c.cgramAddress);
    return c.cursorColumn;
}

uint8_t LcdReadData(const LcdController& c) {
    if (c.cgramSelected) return static_cast<uint8_t>(c.cgram[c.charSet][c.cgramAddress & 63] & 0x1F);
    return c.ddram[LcdCursorIndex(c)];
}

void LcdSelectCharSet(LcdController& c, char letter) { c.charSet = LcdCharSetOf(letter); }

const uint32_t* LcdGlyphRows(const LcdController& c, uint8_t code) {
    if (code < 16) return &c.cgram[c.charSet][(code & 7) * kLcdCharRows];
    return LcdRomCharSet(c.charSet) + code * kLcdCharRows;
}

void LcdComposeCharSet(const LcdController& c, uint32_t* out) {
    std::memcpy(out, LcdRomCharSet(c.charSet), sizeof(uint32_t) * kLcdCharSetSize);
    for (int code = 0; code < 16; ++code)
        std::memcpy(out + code * kLcdCharRows, LcdGlyphRows(c, static_cast<uint8_t>(code)),
                    sizeof(uint32_t) * kLcdCharRows);
}

int LcdRowAddresses(const LcdController& c, int row, int* out) {
    const int rows = c.rowsShown > kLcdMaxRows ? kLcdMaxRows : c.rowsShown;
    if (row < 0 || row >= rows || (c.lines == 1 && (row & 1))) return -1;
    const int columns = c.columnsShown > kLcdMaxColumns ? kLcdMaxColumns : c.columnsShown;
    const int base = c.lineOffset[row & 1];
    const int length = c.lineLength;
    int p = static_cast<uint8_t>(c.rowStart[row] + c.shiftOffset);
    if (p >= base + length) p -= length;
    for (int j = 0; j < columns; ++j, ++p) {
        if (p == base + length) p = base;
        out[j] = p & 0x3FF;
    }
    return columns;
}
