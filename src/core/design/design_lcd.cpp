#include "design/design_lcd.h"

namespace {
stLcdType g_designLcd{};
stLcdType* g_currentLcd = nullptr;
}  // namespace

stLcdType& DesignLcdType() { return g_designLcd; }
stLcdType* CurrentLcdType() { return g_currentLcd; }
void SetCurrentLcdType(stLcdType* type) { g_currentLcd = type; }
