#include "design/design_lcd.h"

namespace {
stLcdType g_designLcd{};
}  // namespace

stLcdType& DesignLcdType() { return g_designLcd; }
