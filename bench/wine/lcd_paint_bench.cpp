// Times the two ways of painting the LCD on a window: a 4 x 40 display full of characters is
// drawn completely (every cell invalidated) many times with each way, in alternating rounds so
// that both see the same conditions, and the buffered time is reported against the direct one.
//
//   orp_lcd_paint_bench.exe [draws per round] [rounds]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "design/lcd_geometry.h"
#include "lcd/charset.h"
#include "lcd/controller.h"
#include "lcd/gdi_lcd_hook.h"
#include "lcd/lcd_draw.h"
#include "panel/panel.h"
#include "../bench_panel.h"

namespace {

stLcdType MakeLcd() {
    stLcdType lcd{};
    lcd.metrics.characters = 40;
    lcd.metrics.lines = 4;
    // 4 x 40 cells of 3 x 5 mm with 0.5 mm gaps (dots of 2 x 2 pixels at 96 dots per inch).
    lcd.metrics.charX = 3000000;
    lcd.metrics.charY = 5000000;
    lcd.metrics.dotX = 500000;
    lcd.metrics.dotY = 500000;
    lcd.metrics.width = 40 * 3500000 + 6000000;
    lcd.metrics.height = 4 * 5500000 + 4000000;
    lcd.placement.logicalRect.x = 0;
    lcd.colours.background = 0x0040C0A0;
    lcd.colours.backlightOn = 0x0040C0A0;
    lcd.colours.backlightOff = 0x00408070;
    lcd.colours.text = 0x00101010;
    lcd.colours.dot = 0x00101010;
    lcd.colours.contrast = 255;
    return lcd;
}

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to, const LARGE_INTEGER& frequency) {
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double TimeDraws(const stLcdDrawHook* hook, int draws, const LARGE_INTEGER& frequency) {
    LARGE_INTEGER start, stop;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < draws; ++i) {
        LcdInvalidateCells(BenchPanel().lcdDraw);
        LcdDrawCells(BenchPanel().lcdDraw, BenchPanel().lcd, hook);
        GdiFlush();
    }
    QueryPerformanceCounter(&stop);
    return Seconds(start, stop, frequency);
}

// One changed cell per draw, as after a host message that writes one character.
double TimeOneCellDraws(const stLcdDrawHook* hook, int draws, const LARGE_INTEGER& frequency) {
    LARGE_INTEGER start, stop;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < draws; ++i) {
        BenchPanel().lcd.ddram[i % 40] ^= 0x20;  // flips between upper and lower case
        LcdDrawCells(BenchPanel().lcdDraw, BenchPanel().lcd, hook);
        GdiFlush();
    }
    QueryPerformanceCounter(&stop);
    return Seconds(start, stop, frequency);
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

}  // namespace

int main(int argc, char** argv) {
    const int draws = argc > 1 ? std::atoi(argv[1]) : 50;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
    if (draws <= 0 || rounds <= 0) {
        std::fprintf(stderr, "usage: orp_lcd_paint_bench [draws per round] [rounds]\n");
        return 2;
    }

    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "OrpLcdPaintBench";
    RegisterClassA(&wc);
    HWND window = CreateWindowA(wc.lpszClassName, "LCD paint bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                720, 240, nullptr, nullptr, wc.hInstance, nullptr);
    if (!window) {
        std::fprintf(stderr, "no window\n");
        return 1;
    }
    Pump();

    LcdClearState(BenchPanel().lcd);
    LcdReset(BenchPanel().lcd);
    ResetGeometry(BenchPanel());
    LcdInvalidateCells(BenchPanel().lcdDraw);  // the drawing starts afresh too
    stLcdType lcd = MakeLcd();
    SetCurrentLcdType(BenchPanel().lcdDraw, &lcd);
    PlaceLcd(BenchPanel().design.scale, BenchPanel().lcd, BenchPanel().lcdDraw.layout, 8, 8, &lcd, &BenchPanel().lcdDraw.layout.lcdRect, kPlaceAll);
    LcdSendInitSequence(BenchPanel().lcd);
    for (int i = 0; i < 40; ++i) {
        BenchPanel().lcd.ddram[i] = static_cast<uint8_t>('A' + i % 26);
        BenchPanel().lcd.ddram[0x40 + i] = static_cast<uint8_t>('a' + i % 26);
    }

    stGdiLcdSurface directSurface, bufferedSurface;
    stLcdDrawHook direct, buffered;
    InitGdiLcdHook(&directSurface, &direct, window, LcdPaintMode::kDirect);
    InitGdiLcdHook(&bufferedSurface, &buffered, window, LcdPaintMode::kBuffered);
    LcdDrawBackground(BenchPanel().lcdDraw, &direct);

    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    TimeDraws(&direct, 3, frequency);  // warm-up
    TimeDraws(&buffered, 3, frequency);

    double directTotal = 0, bufferedTotal = 0, directCell = 0, bufferedCell = 0;
    for (int round = 0; round < rounds; ++round) {
        directTotal += TimeDraws(&direct, draws, frequency);
        bufferedTotal += TimeDraws(&buffered, draws, frequency);
        directCell += TimeOneCellDraws(&direct, draws * 10, frequency);
        bufferedCell += TimeOneCellDraws(&buffered, draws * 10, frequency);
        Pump();
    }
    const int total = draws * rounds;
    std::printf("full 4x40 LCD draws per way: %d (dots %d x %d pixels, %d dot blocks per draw)\n", total,
                BenchPanel().lcdDraw.layout.dotWidth, BenchPanel().lcdDraw.layout.dotHeight, 160 * 40);
    std::printf("direct:   %.3f ms per draw\n", directTotal * 1000.0 / total);
    std::printf("buffered: %.3f ms per draw\n", bufferedTotal * 1000.0 / total);
    std::printf("buffered / direct: %.3f\n", bufferedTotal / directTotal);
    std::printf("one changed cell per draw, %d draws per way:\n", total * 10);
    std::printf("direct:   %.4f ms per draw\n", directCell * 1000.0 / (total * 10));
    std::printf("buffered: %.4f ms per draw\n", bufferedCell * 1000.0 / (total * 10));
    std::printf("buffered / direct: %.3f\n", bufferedCell / directCell);
    ReleaseGdiLcdSurface(&bufferedSurface);
    DestroyWindow(window);
    return 0;
}
