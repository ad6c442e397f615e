// GDI painting of the LCD's dot blocks and background, directly or through an off-screen bitmap.
#include "lcd/gdi_lcd_hook.h"

#include <cstring>

namespace {

COLORREF ToColorRef(uint32_t colour) { return static_cast<COLORREF>(colour & 0x00FFFFFF); }

HBRUSH BrushFor(stGdiLcdSurface* s, uint32_t colour) {
    for (int i = 0; i < s->brushCount; ++i)
        if (s->brushColour[i] == colour) return s->brush[i];
    HBRUSH brush = CreateSolidBrush(ToColorRef(colour));
    if (!brush) return nullptr;
    if (s->brushCount == stGdiLcdSurface::kBrushSlots) {
        // Full: the oldest brush makes room.
        DeleteObject(s->brush[0]);
        std::memmove(&s->brush[0], &s->brush[1], sizeof s->brush[0] * (stGdiLcdSurface::kBrushSlots - 1));
        std::memmove(&s->brushColour[0], &s->brushColour[1],
                     sizeof s->brushColour[0] * (stGdiLcdSurface::kBrushSlots - 1));
        --s->brushCount;
    }
    s->brush[s->brushCount] = brush;
    s->brushColour[s->brushCount] = colour;
    ++s->brushCount;
    return brush;
}

void DeleteBrushes(stGdiLcdSurface* s) {
    for (int i = 0; i < s->brushCount; ++i) DeleteObject(s->brush[i]);
    s->brushCount = 0;
}

void CopyToWindow(stGdiLcdSurface* s, const RECT& r) {
    BitBlt(s->dc, r.left, r.top, r.right - r.left, r.bottom - r.top, s->memoryDc, r.left, r.top, SRCCOPY);
}

// Hands the finished row to the area: it joins the area when it lies directly below it with the
// same left and right edges; otherwise the area is copied out and the row starts a new one.
void CloseRun(stGdiLcdSurface* s) {
    if (!s->hasRun) return;
    if (s->hasArea && s->run.left == s->area.left && s->run.right == s->area.right && s->run.top == s->area.bottom) {
        s->area.bottom = s->run.bottom;
    } else {
        if (s->hasArea) CopyToWindow(s, s->area);
        s->area = s->run;
        s->hasArea = true;
    }
    s->hasRun = false;
}

void FlushBuffered(stGdiLcdSurface* s) {
    CloseRun(s);
    if (s->hasArea) CopyToWindow(s, s->area);
    s->hasArea = false;
}

void AddBlock(stGdiLcdSurface* s, const RECT& block) {
    if (s->hasRun && block.top == s->run.top && block.bottom == s->run.bottom && block.left == s->run.right) {
        s->run.right = block.right;
        return;
    }
    CloseRun(s);
    s->run = block;
    s->hasRun = true;
}

// The off-screen bitmap covers the client area, so client coordinates need no translation. It
// is kept from pass to pass (a pass that changes one cell would otherwise spend most of its time
// creating it) and made anew when the client size or the screen's colour depth changed.
bool StartBuffer(stGdiLcdSurface* s) {
    RECT client;
    if (!GetClientRect(s->window, &client) || client.right <= 0 || client.bottom <= 0) return false;
    const int depth = GetDeviceCaps(s->dc, BITSPIXEL) * GetDeviceCaps(s->dc, PLANES);
    if (s->bitmap && s->bitmapWidth == client.right && s->bitmapHeight == client.bottom && s->bitmapDepth == depth) {
        s->buffering = true;
        s->hasArea = s->hasRun = false;
        return true;
    }
    ReleaseGdiLcdSurface(s);
    s->memoryDc = CreateCompatibleDC(s->dc);
    if (!s->memoryDc) return false;
    if (depth >= 24) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = client.right;
        info.bmiHeader.biHeight = -client.bottom;  // top-down: row 0 is the client's top
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        s->bitmap = CreateDIBSection(s->dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (s->bitmap) s->bits = static_cast<uint32_t*>(bits);
    } else {
        s->bitmap = CreateCompatibleBitmap(s->dc, client.right, client.bottom);
    }
    if (!s->bitmap) {
        DeleteDC(s->memoryDc);
        s->memoryDc = nullptr;
        return false;
    }
    s->previousBitmap = SelectObject(s->memoryDc, s->bitmap);
    s->bitmapWidth = client.right;
    s->bitmapHeight = client.bottom;
    s->bitmapDepth = depth;
    s->buffering = true;
    s->hasArea = s->hasRun = false;
    return true;
}

// A block straight into the DIB section's pixels, clipped to the bitmap.
void WritePixels(stGdiLcdSurface* s, RECT r, uint32_t colour) {
    if (r.left < 0) r.left = 0;
    if (r.top < 0) r.top = 0;
    if (r.right > s->bitmapWidth) r.right = s->bitmapWidth;
    if (r.bottom > s->bitmapHeight) r.bottom = s->bitmapHeight;
    // 0x00BBGGRR becomes the DIB's 0x00RRGGBB.
    const uint32_t pixel = ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
    for (LONG y = r.top; y < r.bottom; ++y) {
        uint32_t* row = s->bits + static_cast<size_t>(y) * s->bitmapWidth;
        for (LONG x = r.left; x < r.right; ++x) row[x] = pixel;
    }
}

void EndBuffer(stGdiLcdSurface* s) {
    if (!s->buffering) return;
    FlushBuffered(s);
    s->buffering = false;
}

int Begin(void* context) {
    auto* s = static_cast<stGdiLcdSurface*>(context);
    if (s->lentDc) {
        s->dc = s->lentDc;
        s->ownsDc = false;
    } else {
        if (!s->window || !IsWindow(s->window)) return 0;
        s->dc = GetDC(s->window);
        if (!s->dc) return 0;
        s->ownsDc = true;
    }
    s->brushCount = 0;
    s->buffering = false;
    // Without a bitmap the pass still paints, straight to the window.
    if (s->mode == LcdPaintMode::kBuffered) StartBuffer(s);
    return 1;
}

void End(void* context) {
    auto* s = static_cast<stGdiLcdSurface*>(context);
    EndBuffer(s);
    DeleteBrushes(s);
    if (s->ownsDc) ReleaseDC(s->window, s->dc);
    s->dc = nullptr;
    s->ownsDc = false;
}

void FillBlock(void* context, const stPixelRect& rect, uint32_t colour) {
    auto* s = static_cast<stGdiLcdSurface*>(context);
    if (rect.right <= rect.left || rect.bottom <= rect.top) return;
    RECT r{rect.left, rect.top, rect.right, rect.bottom};
    if (s->buffering && s->bits) {
        WritePixels(s, r, colour);
        AddBlock(s, r);
        return;
    }
    HBRUSH brush = BrushFor(s, colour);
    if (!brush) return;
    if (!s->buffering) {
        FillRect(s->dc, &r, brush);
        return;
    }
    FillRect(s->memoryDc, &r, brush);
    AddBlock(s, r);
}

void RoundBackground(void* context, const stPixelRect& rect, int32_t ellipseWidth, int32_t ellipseHeight,
                     uint32_t colour) {
    auto* s = static_cast<stGdiLcdSurface*>(context);
    // Blocks still waiting in the buffer belong under the background.
    if (s->buffering) FlushBuffered(s);
    HBRUSH brush = BrushFor(s, colour);
    HPEN pen = CreatePen(PS_SOLID, 1, ToColorRef(colour));
    if (!brush || !pen) {
        if (pen) DeleteObject(pen);
        return;
    }
    HGDIOBJ oldBrush = SelectObject(s->dc, brush);
    HGDIOBJ oldPen = SelectObject(s->dc, pen);
    RoundRect(s->dc, rect.left, rect.top, rect.right, rect.bottom, ellipseWidth, ellipseHeight);
    SelectObject(s->dc, oldPen);
    SelectObject(s->dc, oldBrush);
    DeleteObject(pen);
}

}  // namespace

void ReleaseGdiLcdSurface(stGdiLcdSurface* s) {
    if (s->memoryDc) {
        SelectObject(s->memoryDc, s->previousBitmap);
        DeleteDC(s->memoryDc);
    }
    if (s->bitmap) DeleteObject(s->bitmap);
    s->memoryDc = nullptr;
    s->bitmap = nullptr;
    s->previousBitmap = nullptr;
    s->bits = nullptr;
    s->bitmapWidth = s->bitmapHeight = s->bitmapDepth = 0;
    s->buffering = false;
}

void InitGdiLcdHook(stGdiLcdSurface* surface, stLcdDrawHook* hook, HWND window, LcdPaintMode mode) {
    std::memset(surface, 0, sizeof *surface);
    surface->window = window;
    surface->mode = mode;
    hook->context = surface;
    hook->begin = Begin;
    hook->end = End;
    hook->fillRect = FillBlock;
    hook->roundRect = RoundBackground;
}
