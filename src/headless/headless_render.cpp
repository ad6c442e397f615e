// The panel's picture in a pixel buffer, in the order the window paints it: the front plate
// stretched to its size on screen (nearest pixel, as COLORONCOLOR stretching does), the LCD
// (its frame and every cell, by the same LcdDrawBackground and LcdDrawCells the window uses),
// the LEDs as filled ellipses with a black outline, and the sunken edge of latched keys.
#include "headless/headless_render.h"

#include <algorithm>
#include <bitset>
#include <cstring>
#include <vector>

#include "design/byte_io.h"
#include "design/front_plate.h"
#include "design/lcd_geometry.h"
#include "design/object_model.h"
#include "headless/headless_state.h"
#include "headless/png_writer.h"
#include "lcd/lcd_draw.h"
#include "panel/panel.h"
#include "panel/panel_layout.h"
#include "panel/panel_surface.h"

namespace {
struct Canvas {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    void Fill(int left, int top, int right, int bottom, uint32_t colour) {
        left = std::max(left, 0);
        top = std::max(top, 0);
        right = std::min(right, width);
        bottom = std::min(bottom, height);
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) pixels[static_cast<size_t>(y) * width + x] = colour & 0x00FFFFFF;
    }
    void Put(int x, int y, uint32_t colour) {
        if (x >= 0 && y >= 0 && x < width && y < height) pixels[static_cast<size_t>(y) * width + x] = colour & 0x00FFFFFF;
    }
};

void HookFill(void* context, const stPixelRect& r, uint32_t colour) {
    static_cast<Canvas*>(context)->Fill(r.left, r.top, r.right, r.bottom, colour);
}

// A rounded rectangle of one colour: the corner ellipses of 5 x 5 pixels cut off the corner
// pixel on each side.
void HookRoundRect(void* context, const stPixelRect& r, int32_t ellipseWidth, int32_t ellipseHeight,
                   uint32_t colour) {
    auto* canvas = static_cast<Canvas*>(context);
    if (ellipseWidth < 3 || ellipseHeight < 3 || r.right - r.left < 3 || r.bottom - r.top < 3) {
        canvas->Fill(r.left, r.top, r.right, r.bottom, colour);
        return;
    }
    canvas->Fill(r.left + 1, r.top, r.right - 1, r.top + 1, colour);
    canvas->Fill(r.left, r.top + 1, r.right, r.bottom - 1, colour);
    canvas->Fill(r.left + 1, r.bottom - 1, r.right - 1, r.bottom, colour);
}

// The colour of pixel (x, y) of the plate bitmap (x, y from the top left), or false for a
// format the drawing does not know.
bool PlatePixel(const stFrontPlate& plate, int32_t x, int32_t y, uint32_t* colour) {
    const uint8_t* ih = plate.infoHeader;
    const uint32_t headerSize = LoadU32(ih);
    const bool core = headerSize == 12;
    const int32_t width = core ? LoadU16(ih + 4) : static_cast<int32_t>(LoadU32(ih + 4));
    int32_t height = core ? LoadU16(ih + 6) : static_cast<int32_t>(LoadU32(ih + 8));
    const int bits = core ? LoadU16(ih + 10) : LoadU16(ih + 14);
    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (!core && LoadU32(ih + 16) != 0) return false;  // compressed or bit fields
    const size_t stride = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
    const int32_t row = topDown ? y : height - 1 - y;
    const size_t offset = static_cast<size_t>(row) * stride;
    const uint8_t* pixels = plate.pixels;
    const size_t available = plate.imageSize - static_cast<size_t>(pixels - plate.image);
    const size_t last = offset + (static_cast<size_t>(x) * bits) / 8 + (bits >= 8 ? bits / 8 : 1);
    if (last > available) return false;
    const uint8_t* p = pixels + offset;
    if (bits == 24 || bits == 32) {
        const uint8_t* q = p + static_cast<size_t>(x) * (bits / 8);
        *colour = q[2] | (q[1] << 8) | (q[0] << 16);
        return true;
    }
    if (bits != 1 && bits != 4 && bits != 8) return false;
    const size_t bit = static_cast<size_t>(x) * bits;
    const int index = (p[bit / 8] >> (8 - bits - bit % 8)) & ((1 << bits) - 1);
    const uint8_t* table = ih + headerSize + static_cast<size_t>(index) * (core ? 3 : 4);
    if (table + 3 > plate.image + plate.imageSize) return false;
    *colour = table[2] | (table[1] << 8) | (table[0] << 16);
    return true;
}

void DrawPlate(const stFrontPlate& plate, Canvas& canvas, int w, int h) {
    if (!plate.image || plate.widthPx <= 0 || plate.heightPx <= 0) return;
    for (int y = 0; y < h && y < canvas.height; ++y) {
        const int32_t sy = static_cast<int32_t>(static_cast<int64_t>(y) * plate.heightPx / h);
        for (int x = 0; x < w && x < canvas.width; ++x) {
            uint32_t colour;
            const int32_t sx = static_cast<int32_t>(static_cast<int64_t>(x) * plate.widthPx / w);
            if (PlatePixel(plate, sx, sy, &colour)) canvas.Put(x, y, colour);
        }
    }
}

// A filled ellipse inside the half-open rectangle with a one-pixel black outline.
void DrawEllipse(Canvas& canvas, const stPixelRect& r, uint32_t colour) {
    const double cx = (r.left + r.right) / 2.0, cy = (r.top + r.bottom) / 2.0;
    const double rx = (r.right - r.left) / 2.0, ry = (r.bottom - r.top) / 2.0;
    if (rx <= 0 || ry <= 0) return;
    auto inside = [&](int x, int y) {
        const double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
        return dx * dx + dy * dy <= 1.0;
    };
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            if (!inside(x, y)) continue;
            const bool edge = !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
            canvas.Put(x, y, edge ? 0x000000 : colour);
        }
}

// The pressed look: a sunken edge round the key's rectangle shrunk by 2 pixels.
void DrawKeyLooks(orph_panel& headless, Canvas& canvas) {
    stDesign& design = headless.panel.design;
    ListLockGuard guard(design.listLock);
    stObjList* keys = design.keys;
    for (stListNode* node = keys ? keys->first : nullptr; node; node = node->next) {
        const auto* key = static_cast<const stPanelObject*>(node->item);
        const int32_t id = key->id();
        if (id < 0 || id > 255 || !headless.pressedLooks[static_cast<size_t>(id)]) continue;
        const stPixelRect& k = key->pixelRect();
        const int l = k.left + 2, t = k.top + 2, r = k.right - 2, b = k.bottom - 2;
        if (r - l < 4 || b - t < 4) continue;
        canvas.Fill(l, t, r, t + 1, 0x808080);
        canvas.Fill(l, t, l + 1, b, 0x808080);
        canvas.Fill(l, b - 1, r, b, 0xFFFFFF);
        canvas.Fill(r - 1, t, r, b, 0xFFFFFF);
        canvas.Fill(l + 1, t + 1, r - 1, t + 2, 0x404040);
        canvas.Fill(l + 1, t + 1, l + 2, b - 1, 0x404040);
        canvas.Fill(l + 1, b - 2, r - 1, b - 1, 0xC0C0C0);
        canvas.Fill(r - 2, t + 1, r - 1, b - 1, 0xC0C0C0);
    }
}

// The snapshot's surface: the plate's pixels, the LCD through the pixel-buffer hook, the LEDs.
class CanvasSurface : public PanelSurface {
public:
    CanvasSurface(const stFrontPlate& plate, Canvas& canvas)
        : plate_(plate), canvas_(canvas), hook_{&canvas, nullptr, nullptr, HookFill, HookRoundRect} {}
    void StretchPlate(int width, int height) override { DrawPlate(plate_, canvas_, width, height); }
    const stLcdDrawHook* LcdHook() override { return &hook_; }
    void FillLed(const stPanelObject& led) override { DrawEllipse(canvas_, led.pixelRect(), led.colour); }

private:
    const stFrontPlate& plate_;
    Canvas& canvas_;
    stLcdDrawHook hook_;
};

// The panel's size: the plate's size on screen, or without a plate what the LCD and the
// objects cover.
void SizeCanvas(stPanel& panel, Canvas& canvas) {
    const stFrontPlate& plate = panel.design.plate;
    int w = 0, h = 0;
    if (plate.image && plate.widthPx > 0) {
        const stPlateSize size = ScaledPlateSize(panel);
        w = size.width;
        h = size.height;
    }
    if (CurrentLcdType(panel.lcdDraw)) {
        w = std::max(w, static_cast<int>(panel.lcdDraw.layout.lcdRect.right));
        h = std::max(h, static_cast<int>(panel.lcdDraw.layout.lcdRect.bottom));
    }
    canvas.width = std::min(w, 8192);
    canvas.height = std::min(h, 8192);
    canvas.pixels.assign(static_cast<size_t>(std::max(canvas.width, 0)) * std::max(canvas.height, 0), 0xFFFFFF);
}
}  // namespace

int RenderPanel(orph_panel* headless, int* width, int* height, std::vector<uint32_t>* pixels) {
    stPanel& panel = headless->panel;
    Canvas canvas;
    SizeCanvas(panel, canvas);
    if (canvas.width <= 0 || canvas.height <= 0) return 0;
    CanvasSurface surface(panel.design.plate, canvas);
    PaintPanel(panel, surface);
    DrawKeyLooks(*headless, canvas);
    *width = canvas.width;
    *height = canvas.height;
    *pixels = std::move(canvas.pixels);
    return 1;
}

int SavePanelSnapshot(orph_panel& headless, const char* path) {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    return RenderPanel(&headless, &width, &height, &pixels) ? WritePng(path, width, height, pixels) : 0;
}

int SaveLcdSnapshot(orph_panel& headless, const char* path) {
    stPanel& panel = headless.panel;
    const stPixelRect frame = panel.lcdDraw.layout.lcdRect;
    if (!CurrentLcdType(panel.lcdDraw) || frame.right <= frame.left || frame.bottom <= frame.top ||
        frame.left < 0 || frame.top < 0)
        return 0;
    Canvas canvas;
    SizeCanvas(panel, canvas);
    if (canvas.width < frame.right || canvas.height < frame.bottom) return 0;
    CanvasSurface surface(panel.design.plate, canvas);
    PaintPanel(panel, surface, PanelLayers::kPlateAndLcd);  // the plate shows through the rounded corners
    const int w = frame.right - frame.left, h = frame.bottom - frame.top;
    std::vector<uint32_t> cut(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        std::memcpy(&cut[static_cast<size_t>(y) * w], &canvas.pixels[static_cast<size_t>(frame.top + y) * canvas.width + frame.left],
                    static_cast<size_t>(w) * sizeof(uint32_t));
    return WritePng(path, w, h, cut);
}
