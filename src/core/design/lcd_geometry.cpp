// Pixel <-> nanometre conversions and the LCD layout arithmetic.
//
// Conversions truncate at each step, as the window has always done, so a rectangle converted to
// pixels and back may lose up to one pixel's worth of nanometres per edge. Sums of lengths from a
// type record are formed in 64 bits and wrapped to 32 bits, which keeps absurd values from
// invoking undefined overflow while giving ordinary values their plain result.
#include "design/lcd_geometry.h"

#include <cstring>

#include "lcd/controller.h"

namespace {
stLcdGeometry g_geometry;
int32_t g_firstColumnOffset;  // scratch: first-column offset in pixels

int32_t Wrap32(int64_t value) { return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(value))); }

int32_t NmPerPixel(int axis) { return axis == 0 ? g_geometry.nmPerPixelX : g_geometry.nmPerPixelY; }

struct GeometryInit {
    GeometryInit() { ResetGeometry(); }
} g_geometryInit;
}  // namespace

stLcdGeometry& Geometry() { return g_geometry; }

void ResetGeometry() {
    std::memset(&g_geometry, 0, sizeof g_geometry);
    g_geometry.scaleDivisor = 1.0f;
    g_geometry.plateScaleX = g_geometry.plateScaleY = 1.0f;
    g_geometry.nmPerPixelX = g_geometry.nmPerPixelY = kDefaultNmPerPixel;
    g_geometry.pixelsPer10kInchX = g_geometry.pixelsPer10kInchY = kDefaultPixelsPer10kInch;
    g_geometry.dotWidth = g_geometry.dotHeight = 1;
    g_firstColumnOffset = 0;
}

int SetScreenResolution(uint32_t pixelsPer10kInchX, uint32_t pixelsPer10kInchY) {
    if (pixelsPer10kInchX == 0 || pixelsPer10kInchY == 0) return 0;
    g_geometry.pixelsPer10kInchX = pixelsPer10kInchX;
    g_geometry.pixelsPer10kInchY = pixelsPer10kInchY;
    // 10 000 inches are 2.54e11 nm.
    g_geometry.nmPerPixelX = static_cast<int32_t>(254000000000ull / pixelsPer10kInchX);
    g_geometry.nmPerPixelY = static_cast<int32_t>(254000000000ull / pixelsPer10kInchY);
    return 1;
}

void SetScaleFromSetting(int setting) {
    switch (setting) {
        case 2: g_geometry.scaleDivisor = 2.0f; break;
        case 3: g_geometry.scaleDivisor = 1.5f; break;
        default: g_geometry.scaleDivisor = 1.0f; break;
    }
}

int32_t ToLogical(int32_t pixels, int axis) {
    if (axis != 0 && axis != 1) return 0;
    int64_t scaled = static_cast<int64_t>(static_cast<double>(pixels) * g_geometry.scaleDivisor);
    return Wrap32(scaled * NmPerPixel(axis));
}

int32_t ToPixels(int32_t nanometres, int axis) {
    if (axis != 0 && axis != 1) return 0;
    int32_t perPixel = NmPerPixel(axis);
    if (perPixel <= 0 || g_geometry.scaleDivisor <= 0.0f) return 0;
    double unscaled = static_cast<double>(static_cast<uint32_t>(nanometres)) / g_geometry.scaleDivisor;
    return Wrap32(static_cast<int64_t>(unscaled) / perPixel);
}

void ObjectToLogical(stPanelObject* object) {
    if (!object) return;
    const stPixelRect& p = object->pixelRect();
    stLogicalRect& l = object->logicalRect();
    l.x = ToLogical(p.left, 0);
    l.y = ToLogical(p.top, 1);
    l.width = ToLogical(p.right - p.left, 0);
    l.height = ToLogical(p.bottom - p.top, 1);
}

stPixelRect ObjectToPixels(int32_t x, int32_t y, int32_t width, int32_t height) {
    stPixelRect r;
    r.left = ToPixels(x, 0);
    r.top = ToPixels(y, 1);
    r.right = r.left + ToPixels(width, 0);
    r.bottom = r.top + ToPixels(height, 1);
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

stPixelPoint PlaceLcd(LcdController& lcd, int32_t x, int32_t y, stLcdType* type, stPixelRect* frame, uint32_t steps) {
    stPixelPoint result{x, y};
    if (steps & kPlaceController) SetControllerGeometry(lcd, type);
    if (!type) return result;
    const stLcdMetrics& m = type->metrics;
    stLogicalRect& where = type->placement.logicalRect;
    stLcdGeometry& g = g_geometry;

    if ((steps & kPlaceFrame) && frame) {
        int32_t width = ToPixels(m.width, 0), height = ToPixels(m.height, 1);
        if (x >= 0 && y >= 0) {
            frame->left = x;
            frame->top = y;
        }
        frame->right = frame->left + width;
        frame->bottom = frame->top + height;
        where.x = ToLogical(frame->left, 0);
        where.y = ToLogical(frame->top, 1);
        result = {frame->right, frame->bottom};
    }
    if (steps & kPlaceDots) {
        g.dotWidth = ToPixels(m.charX, 0) / 5;
        g.dotHeight = ToPixels(m.charY, 1) / 8;
        if (g.dotWidth < 1) g.dotWidth = 1;
        if (g.dotHeight < 1) g.dotHeight = 1;
    }
    if (where.x < 0) return result;

    // Horizontal offset of the first column from the frame's left edge: the cells are centred.
    int64_t pitchX = static_cast<int64_t>(m.charX) + m.dotX;
    int64_t offset = static_cast<uint32_t>(m.width) / 2 - static_cast<int64_t>(m.characters / 2) * pitchX;
    offset -= (m.characters % 2) ? m.charX / 2 : m.dotX / 2;
    int32_t offsetNm = Wrap32(offset);
    g_firstColumnOffset = ToPixels(Wrap32(static_cast<int64_t>(offsetNm) + g.nmPerPixelX / 2), 0);

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
        g.columnX[i] = ToPixels(Wrap32(static_cast<int64_t>(where.x) + offsetNm + i * pitchX + g.nmPerPixelX / 2), 0);

    int rows = m.lines > kLcdMaxRows ? kLcdMaxRows : m.lines;
    int32_t left = ToPixels(where.x, 0);
    int64_t pitchY = static_cast<int64_t>(m.charY) + m.dotY;
    for (int j = 0; j < rows; ++j) {
        int64_t top = static_cast<int64_t>(where.y) + margin + j * pitchY;
        g.lineRects[j][0] = left + g_firstColumnOffset;
        g.lineRects[j][1] = ToPixels(Wrap32(top + g.nmPerPixelY / 2), 1);
        g.lineRects[j][2] = left - g_firstColumnOffset;
        g.lineRects[j][3] = ToPixels(Wrap32(top + m.charY + g.nmPerPixelY / 2), 1);
    }
    return result;
}
