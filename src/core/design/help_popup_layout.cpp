#include "design/help_popup_layout.h"

int32_t HelpCapitalWidth(int32_t charWidth, bool variablePitch) {
    return variablePitch ? charWidth * 3 / 2 : charWidth * 2 / 2;
}

stHelpPopupRect HelpPopupRect(const stHelpPopupMetrics& m, uint32_t length, int32_t x, int32_t y) {
    const int32_t h = m.lineHeight > 0 ? m.lineHeight : 1;
    const int32_t columns = length < 80 ? static_cast<int32_t>(length) : 80;
    const int32_t textWidth = columns * m.charWidth + m.capitalWidth;
    // One line per 80 characters plus one, then up to the next whole line; a height that is
    // already a whole number of lines still gains a line, which leaves room below the text.
    int32_t textHeight = static_cast<int32_t>(static_cast<double>(length) * 0.0125 * h + 1.0);
    textHeight = (textHeight / h + 1) * h;
    stHelpPopupRect r{x, y, textWidth + 6, textHeight + 6};
    if (x + m.charWidth + textWidth > m.screenWidth) r.left = m.screenWidth - 2 * m.capitalWidth - textWidth;
    if (y + textHeight > m.screenHeight - h) r.top = m.screenHeight - 2 * h - textHeight;
    return r;
}
