// Coordinate scaling and the LCD layout.
//
// A design keeps positions and sizes in nanometres so that the panel keeps its physical size on
// any screen; the window works in client pixels. The view scale (design/view_scale.h) holds the
// screen resolution and the user's scale; the LCD's frame, dot size and cell positions in pixels
// go to the LCD layout (lcd/lcd_layout.h) that the LCD drawing reads.
//
// MeasureScreen needs a device context, so the Win32 layer measures and hands the result to
// SetScreenResolution; everything else here is plain arithmetic.
#pragma once

#include <cstdint>

#include "design/object_model.h"
#include "design/view_scale.h"
#include "lcd/controller.h"
#include "lcd/lcd_layout.h"
#include "lcd/lcd_type.h"

// Screen resolution in pixels per 10 000 inches (LOGPIXELS x 10 000, or the HIMETRIC conversion
// of 25 400 000 hundredths of a millimetre). Sets the nanometres per pixel from it. A zero value
// is refused (returns 0, nothing changes) because it would divide by zero.
int SetScreenResolution(stViewScale& scale, uint32_t pixelsPer10kInchX, uint32_t pixelsPer10kInchY);

// Scale setting 1..3 of the view options; any other value gives 1.0.
void SetScaleFromSetting(stViewScale& scale, int setting);

// axis 0 = x, 1 = y; any other axis gives 0.
int32_t ToLogical(const stViewScale& scale, int32_t pixels, int axis);
int32_t ToPixels(const stViewScale& scale, int32_t nanometres, int axis);  // nanometres are read as unsigned
void ObjectToLogical(const stViewScale& scale, stPanelObject* object);
stPixelRect ObjectToPixels(const stViewScale& scale, int32_t x, int32_t y, int32_t width, int32_t height);

// Steps of PlaceLcd.
constexpr uint32_t kPlaceDots = 1;        // dot size
constexpr uint32_t kPlaceController = 2;  // SetControllerGeometry
constexpr uint32_t kPlaceFrame = 4;       // frame rectangle and the type's logical position
constexpr uint32_t kPlaceAll = 7;

struct stPixelPoint {
    int32_t x, y;
};

// Lays out the LCD at `scale` into `layout`: frame (x, y = -1 keeps the frame's position), dot
// size, columns and lines. Returns the frame's right and bottom with kPlaceFrame, else (x, y).
stPixelPoint PlaceLcd(const stViewScale& scale, LcdController& lcd, stLcdLayout& layout, int32_t x, int32_t y, stLcdType* type, stPixelRect* frame, uint32_t steps);

// The area the type's character cells take, in nanometres: `characters` cells of `charX` with a
// `dotX` gap between neighbours, `lines` rows of `charY` with a `dotY` gap. A one-line type with
// more than 8 dot rows (`fontY`, the 5x11 font) has its cells 11/8 as tall. The layout centres
// this area in the frame (`width` x `height`); what does not fit is drawn beyond the frame.
struct stLcdCellArea {
    int64_t width, height;
};
stLcdCellArea LcdCellArea(const stLcdMetrics& metrics);
bool LcdCellsFitFrame(const stLcdMetrics& metrics);

// Tells the controller the visible size of the type's display (none: nothing shown).
void SetControllerGeometry(LcdController& lcd, const stLcdType* type);
