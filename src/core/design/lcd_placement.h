// Placing an LCD type of the library on the front plate: the frame that follows the mouse and
// what happens when the type becomes the design's LCD.
#pragma once

#include "design/design_file.h"
#include "design/object_model.h"
#include "design/view_scale.h"
#include "lcd/lcd_type.h"

// The character set letter of a type: the first letter of its font, 'N' without one.
char LcdCharSetLetter(const stLcdType* type);

// The type's frame with its upper left corner at (x, y), in client pixels at `scale`.
stPixelRect LcdFrameAt(const stViewScale& scale, const stLcdType* type, int32_t x, int32_t y);

// The placed type becomes the design's current LCD: its character set is selected and its
// contrast field set to full (the colours are not recomputed). A library type's text colour
// is its dot colour, so that a later backlight or contrast change blends from that colour
// rather than from black.
void MakeLcdTypeCurrent(stDesignLcd lcd, stLcdType* type);
