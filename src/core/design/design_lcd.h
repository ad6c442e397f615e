// The design's LCD: its own LCD type record (apart from the LCD type library) and the LCD type
// the design currently uses, which is either that record or a type of the library.
#pragma once

#include "lcd/lcd_type.h"

// Text buffer widths of the design's LCD record, terminating zero included.
constexpr unsigned kLcdNameSize = 260;
constexpr unsigned kLcdTooltipSize = 2600;
constexpr unsigned kLcdFontSize = 260;

// The design's own record. A design load gives it new OrpAlloc text buffers of the widths
// above and frees the previous ones.
stLcdType& DesignLcdType();
// The LCD type in use, or null when the design has no LCD.
stLcdType* CurrentLcdType();
void SetCurrentLcdType(stLcdType* type);
