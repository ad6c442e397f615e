// Where the context help pop-up goes and how large it is: about 80 average characters wide,
// as many lines as the text needs at that width, at the cursor, and pulled back inside the
// screen when it would reach past the right or bottom edge.
#pragma once

#include <cstdint>

struct stHelpPopupMetrics {
    int32_t lineHeight;     // text line height of the pop-up's font
    int32_t charWidth;      // average character width
    int32_t capitalWidth;   // width of capital letters (see HelpCapitalWidth)
    int32_t screenWidth;
    int32_t screenHeight;
};

struct stHelpPopupRect {
    int32_t left;
    int32_t top;
    int32_t width;
    int32_t height;
};

// Capital letters: one and a half average characters in a variable-pitch font, one otherwise.
int32_t HelpCapitalWidth(int32_t charWidth, bool variablePitch);

// The pop-up's window rectangle for a text of `length` characters shown at screen point (x, y).
stHelpPopupRect HelpPopupRect(const stHelpPopupMetrics& metrics, uint32_t length, int32_t x, int32_t y);
