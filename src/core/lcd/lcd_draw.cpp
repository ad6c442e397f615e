// Colour arithmetic and the cell drawing pass of the emulated LCD.
//
// Only cells whose code changed are drawn again: the cell cache keeps the code last drawn per
// cell, and bit 15 marks the cell that showed the cursor so that it is drawn once more after the
// cursor has left. In 5x11 mode a character also covers the top of the display row below it,
// which is otherwise unused there (5x11 needs one-line mode, whose odd rows are not drawn).
#include "lcd/lcd_draw.h"

namespace {

int Channel(uint32_t colour, int shift) { return static_cast<int>((colour >> shift) & 0xFF); }

struct PassGuard {
    const stLcdDrawHook* hook;
    bool active;
    explicit PassGuard(const stLcdDrawHook* h) : hook(h), active(h && (!h->begin || h->begin(h->context))) {}
    ~PassGuard() {
        if (active && hook->end) hook->end(hook->context);
    }
};

void FillRows(uint32_t* rows, int count, uint32_t value) {
    for (int i = 0; i < count; ++i) rows[i] = value;
}
}  // namespace

uint32_t LcdBlendColour(uint32_t base, uint32_t target, int amount) {
    uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        int from = Channel(base, shift), to = Channel(target, shift);
        int value = from + (to - from) * amount / 255;
        result |= static_cast<uint32_t>(value & 0xFF) << shift;
    }
    return result;
}

void LcdSetContrast(stLcdDrawState& draw, uint8_t level) {
    stLcdType* lcd = draw.currentType;
    if (!lcd) return;
    stLcdColours& c = lcd->colours;
    c.contrast = level;
    c.dot = LcdBlendColour(c.text, c.background, 255 - level);
    LcdDrawBackground(draw, LcdDrawHook(draw));
}

void LcdSetBacklight(stLcdDrawState& draw, uint8_t level) {
    stLcdType* lcd = draw.currentType;
    if (!lcd) return;
    stLcdColours& c = lcd->colours;
    c.background = LcdBlendColour(c.backlightOff, c.backlightOn, level);
    // A contrast from a design file may be out of range; it counts as full contrast then.
    LcdSetContrast(draw, static_cast<uint8_t>(c.contrast > 255 ? 255 : c.contrast));
    LcdDrawBackground(draw, LcdDrawHook(draw));
}

void LcdBlinkTick(stLcdDrawState& draw, LcdController& c) {
    if (c.blinkOn) {
        c.blinkPhase = !c.blinkPhase;
        LcdDrawCells(draw, c, LcdDrawHook(draw));
    } else {
        c.blinkPhase = false;
    }
}

void LcdInvalidateCells(stLcdDrawState& draw) {
    for (uint16_t& entry : draw.cellCache) entry = kCellRedraw;
}

void LcdDrawBackground(stLcdDrawState& draw, const stLcdDrawHook* hook) {
    if (!hook || !hook->roundRect || !draw.currentType) return;
    PassGuard pass(hook);
    if (!pass.active) return;
    LcdInvalidateCells(draw);
    hook->roundRect(hook->context, draw.layout.lcdRect, 5, 5, draw.currentType->colours.background);
}

void LcdDrawGlyph(const stLcdDrawState& draw, const stLcdDrawHook* hook, bool displayOn, int32_t x, int32_t y,
                  const uint32_t* rows, bool lowerPart) {
    if (!hook || !hook->fillRect || !draw.currentType || !rows) return;
    const stLcdLayout& g = draw.layout;
    const stLcdColours& colours = draw.currentType->colours;
    for (int row = 0; row < 8; ++row) {
        uint32_t bits = (lowerPart && row >= 3) ? 0 : rows[row];
        for (int dot = 0; dot < 5; ++dot) {
            bool lit = displayOn && (bits & (0x10u >> dot));
            stPixelRect block{x + dot * g.dotWidth, y + row * g.dotHeight, x + (dot + 1) * g.dotWidth,
                              y + (row + 1) * g.dotHeight};
            hook->fillRect(hook->context, block, lit ? colours.dot : colours.background);
        }
    }
}

void LcdDrawCells(stLcdDrawState& draw, LcdController& c, const stLcdDrawHook* hook) {
    if (!hook || !hook->fillRect || !draw.currentType) return;
    PassGuard pass(hook);
    if (!pass.active) return;
    LcdLockGuard guard(c.lock);
    if (c.redrawAll) {
        LcdInvalidateCells(draw);
        c.redrawAll = false;
    }
    const stLcdLayout& g = draw.layout;
    const uint32_t* descenders = LcdDescenderTable();
    const bool tall = c.font == 2;
    const int rows = c.rowsShown > kLcdMaxRows ? kLcdMaxRows : c.rowsShown;
    const int cursorIndex = LcdCursorIndex(c);
    const bool cursorShown = c.cursorOn || c.blinkOn;

    for (int r = 0; r < rows; ++r) {
        int addresses[kLcdMaxColumns];
        const int columns = LcdRowAddresses(c, r, addresses);
        if (columns < 0) continue;
        const int32_t y = g.lineRects[r][1];
        // Rows 8-10 go to the top of the next display row; below the cell when there is none.
        const int32_t lowerY = (r + 1 < rows) ? g.lineRects[r + 1][1] : y + 8 * g.dotHeight;

        for (int j = 0; j < columns; ++j) {
            const int p = addresses[j];
            const int32_t x = g.columnX[j];
            const uint8_t code = c.ddram[p];
            const bool cursor = cursorShown && p == cursorIndex;
            uint16_t& entry = draw.cellCache[r * kLcdMaxColumns + j];
            uint32_t upper[8], lower[8] = {0, 0, 0, 0, 0, 0, 0, 0};
            if (tall && code < 16) {
                // A tall user character: the even code holds rows 0-7, the odd code rows 8-10.
                const uint32_t* even = LcdGlyphRows(c, static_cast<uint8_t>(code & ~1));
                const uint32_t* odd = LcdGlyphRows(c, static_cast<uint8_t>(code | 1));
                for (int i = 0; i < 8; ++i) upper[i] = even[i];
                for (int i = 0; i < 3; ++i) lower[i] = odd[i];
            } else {
                if (entry == code && !cursor) continue;
                const uint32_t* glyph = LcdGlyphRows(c, code);
                for (int i = 0; i < 8; ++i) upper[i] = glyph[i];
                if (tall)
                    for (int i = 0; i < 3; ++i) lower[i] = descenders[code * 8 + i];
            }
            entry = code;
            if (cursor) {
                entry |= kCellCursor;
                if (c.blinkPhase) {
                    FillRows(upper, 8, 0x1F);
                    if (tall) FillRows(lower, 3, 0x1F);
                } else if (c.cursorOn) {
                    if (tall)
                        lower[2] = 0x1F;
                    else
                        upper[7] = 0x1F;
                }
            }
            LcdDrawGlyph(draw, hook, c.displayOn, x, y, upper, false);
            if (tall) LcdDrawGlyph(draw, hook, c.displayOn, x, lowerY, lower, true);
        }
    }
}
