// Pixel <-> nanometre conversions and the LCD layout arithmetic.
//
// Conversions truncate at each step, as the window has always done, so a rectangle converted to
// pixels and back may lose up to one pixel's worth of nanometres per edge. Sums of lengths from a
// type record are formed in 64 bits and wrapped to 32 bits, which keeps absurd values from
// invoking undefined overflow while giving ordinary values their plain result.
#include "design/lcd_geometry.h"


#include "lcd/controller.h"

namespace {
int32_t Wrap32(int64_t value) { return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(value))); }

int32_t NmPerPixel(const stViewScale& scale, int axis) { return axis == 0 ? scale.nmPerPixelX : scale.nmPerPixelY; }
}  // namespace

int SetScreenResolution(stViewScale& scale, uint32_t pixelsPer10kInchX, uint32_t pixelsPer10kInchY) {
    if (pixelsPer10kInchX == 0 || pixelsPer10kInchY == 0) return 0;
    scale.pixelsPer10kInchX = pixelsPer10kInchX;
    scale.pixelsPer10kInchY = pixelsPer10kInchY;
    // 10 000 inches are 2.54e11 nm.
    scale.nmPerPixelX = static_cast<int32_t>(254000000000ull / pixelsPer10kInchX);
    scale.nmPerPixelY = static_cast<int32_t>(254000000000ull / pixelsPer10kInchY);
    return 1;
}

void SetScaleFromSetting(stViewScale& scale, int setting) {
    switch (setting) {
        case 2: scale.scaleDivisor = 2.0f; break;
        case 3: scale.scaleDivisor = 1.5f; break;
        default: scale.scaleDivisor = 1.0f; break;
    }
}

int32_t ToLogical(const stViewScale& scale, int32_t pixels, int axis) {
    if (axis != 0 && axis != 1) return 0;
    int64_t scaled = static_cast<int64_t>(static_cast<double>(pixels) * scale.scaleDivisor);
    return Wrap32(scaled * NmPerPixel(scale, axis));
}

int32_t ToPixels(const stViewScale& scale, int32_t nanometres, int axis) {
    if (axis != 0 && axis != 1) return 0;
    int32_t perPixel = NmPerPixel(scale, axis);
    if (perPixel <= 0 || scale.scaleDivisor <= 0.0f) return 0;
    double unscaled = static_cast<double>(static_cast<uint32_t>(nanometres)) / scale.scaleDivisor;
    return Wrap32(static_cast<int64_t>(unscaled) / perPixel);
}

void ObjectToLogical(const stViewScale& scale, stPanelObject* object) {
    if (!object) return;
    const stPixelRect& p = object->pixelRect();
    stLogicalRect& l = object->logicalRect();
    l.x = ToLogical(scale, p.left, 0);
    l.y = ToLogical(scale, p.top, 1);
    l.width = ToLogical(scale, p.right - p.left, 0);
    l.height = ToLogical(scale, p.bottom - p.top, 1);
}

stPixelRect ObjectToPixels(const stViewScale& scale, int32_t x, int32_t y, int32_t width, int32_t height) {
    stPixelRect r;
    r.left = ToPixels(scale, x, 0);
    r.top = ToPixels(scale, y, 1);
    r.right = r.left + ToPixels(scale, width, 0);
    r.bottom = r.top + ToPixels(scale, height, 1);
    return r;
}

stLcdCellArea LcdCellArea(const stLcdMetrics& m) {
    stLcdCellArea area{0, 0};
    if (m.characters > 0) area.width = int64_t{m.characters} * m.charX + int64_t{m.characters - 1} * m.dotX;
    if (m.lines > 0) {
        int64_t cellHeight = m.lines == 1 && m.fontY > 8 ? int64_t{m.charY} * 11 / 8 : m.charY;
        area.height = int64_t{m.lines} * cellHeight + int64_t{m.lines - 1} * m.dotY;
    }
    return area;
}

bool LcdCellsFitFrame(const stLcdMetrics& m) {
    stLcdCellArea area = LcdCellArea(m);
    return area.width <= m.width && area.height <= m.height;
}

void SetControllerGeometry(LcdController& c, const stLcdType* type) {
    LcdLockGuard guard(c.lock);
    if (!type) {
        c.rowsShown = 0;
        c.columnsShown = 0;
        return;
    }
    // Types may claim more than the drawing has room for; show at most 4 x 40 cells.
    int lines = type->metrics.lines, characters = type->metrics.characters;
    c.rowsShown = static_cast<uint8_t>(lines < 0 ? 0 : (lines > kLcdMaxRows ? kLcdMaxRows : lines));
    c.columnsShown = static_cast<uint8_t>(characters < 0 ? 0 : (characters > kLcdMaxColumns ? kLcdMaxColumns : characters));
    c.rowStart[2] = c.columnsShown;
    c.rowStart[3] = 0x40 + c.columnsShown;
}

stPixelPoint PlaceLcd(const stViewScale& scale, LcdController& lcd, stLcdLayout& layout, int32_t x, int32_t y, stLcdType* type, stPixelRect* frame, uint32_t steps) {
    stPixelPoint result{x, y};
    if (steps & kPlaceController) SetControllerGeometry(lcd, type);
    if (!type) return result;
    const stLcdMetrics& m = type->metrics;
    stLogicalRect& where = type->placement.logicalRect;
    stLcdLayout& g = layout;

    if ((steps & kPlaceFrame) && frame) {
        int32_t width = ToPixels(scale, m.width, 0), height = ToPixels(scale, m.height, 1);
        if (x >= 0 && y >= 0) {
            frame->left = x;
            frame->top = y;
        }
        frame->right = frame->left + width;
        frame->bottom = frame->top + height;
        where.x = ToLogical(scale, frame->left, 0);
        where.y = ToLogical(scale, frame->top, 1);
        result = {frame->right, frame->bottom};
    }
    if (steps & kPlaceDots) {
        g.dotWidth = ToPixels(scale, m.charX, 0) / 5;
        g.dotHeight = ToPixels(scale, m.charY, 1) / 8;
        if (g.dotWidth < 1) g.dotWidth = 1;
        if (g.dotHeight < 1) g.dotHeight = 1;
    }
    if (where.x < 0) return result;

    // Horizontal offset of the first column from the frame's left edge: the cells are centred.
    int64_t pitchX = static_cast<int64_t>(m.charX) + m.dotX;
    int64_t offset = static_cast<uint32_t>(m.width) / 2 - static_cast<int64_t>(m.characters / 2) * pitchX;
    offset -= (m.characters % 2) ? m.charX / 2 : m.dotX / 2;
    int32_t offsetNm = Wrap32(offset);
    const int32_t firstColumnOffset = ToPixels(scale, Wrap32(static_cast<int64_t>(offsetNm) + scale.nmPerPixelX / 2), 0);

    // Vertical margin above the first line: the cells are centred, never a negative margin.
    uint32_t space = static_cast<uint32_t>(m.height);
    uint32_t cells = static_cast<uint32_t>(Wrap32(static_cast<int64_t>(m.lines) * m.charY));
    space = cells > space ? 0 : space - cells;
    if (m.lines > 1) {
        uint32_t gaps = static_cast<uint32_t>(Wrap32(static_cast<int64_t>(m.lines - 1) * m.dotY));
        space = gaps > space ? 0 : space - gaps;
    }
    uint32_t margin = space / 2;

    int columns = m.characters > kLcdMaxColumns ? kLcdMaxColumns : m.characters;
    for (int i = 0; i < columns; ++i)
        g.columnX[i] = ToPixels(scale, Wrap32(static_cast<int64_t>(where.x) + offsetNm + i * pitchX + scale.nmPerPixelX / 2), 0);

    int rows = m.lines > kLcdMaxRows ? kLcdMaxRows : m.lines;
    int32_t left = ToPixels(scale, where.x, 0);
    int64_t pitchY = static_cast<int64_t>(m.charY) + m.dotY;
    for (int j = 0; j < rows; ++j) {
        int64_t top = static_cast<int64_t>(where.y) + margin + j * pitchY;
        g.lineRects[j][0] = left + firstColumnOffset;
        g.lineRects[j][1] = ToPixels(scale, Wrap32(top + scale.nmPerPixelY / 2), 1);
        g.lineRects[j][2] = left - firstColumnOffset;
        g.lineRects[j][3] = ToPixels(scale, Wrap32(top + m.charY + scale.nmPerPixelY / 2), 1);
    }
    return result;
}
