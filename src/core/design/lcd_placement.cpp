#include "design/lcd_placement.h"

#include "design/lcd_geometry.h"
#include "lcd/charset.h"
#include "lcd/lcd_draw.h"

char LcdCharSetLetter(const stLcdType* type) {
    return type && type->font && type->font[0] ? type->font[0] : 'N';
}

stPixelRect LcdFrameAt(const stViewScale& scale, const stLcdType* type, int32_t x, int32_t y) {
    if (!type) return stPixelRect{x, y, x, y};
    return stPixelRect{x, y, x + ToPixels(scale, type->metrics.width, 0), y + ToPixels(scale, type->metrics.height, 1)};
}

void MakeLcdTypeCurrent(stDesignLcd lcd, stLcdType* type) {
    SetCurrentLcdType(lcd.draw, type);
    if (!type) return;
    LcdSelectCharSet(lcd.controller, LcdCharSetLetter(type));
    type->colours.text = type->colours.dot;
    type->colours.contrast = 255;
}
