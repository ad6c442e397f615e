// The design's LCD: its own LCD type record, apart from the LCD type library.
#pragma once

#include "lcd/lcd_draw.h"  // CurrentLcdType, SetCurrentLcdType
#include "lcd/lcd_type.h"

// Text buffer widths of the design's LCD record, terminating zero included.
constexpr unsigned kLcdNameSize = 260;
constexpr unsigned kLcdTooltipSize = 2600;
constexpr unsigned kLcdFontSize = 260;

// The design's own record is stDesign::lcd. A design load gives it new OrpAlloc text buffers
// of the widths above and frees the previous ones.
// The LCD type in use (CurrentLcdType, null when the design has no LCD) is kept by the LCD
// drawing; a design load points it at the design's record or clears it.
