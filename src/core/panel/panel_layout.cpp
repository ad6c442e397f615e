#include "panel/panel_layout.h"

#include "design/front_plate.h"
#include "design/lcd_geometry.h"
#include "design/design_state.h"
#include "lcd/lcd_draw.h"

namespace {
int Scaled(const stViewScale& view, int32_t pixels, float scale) {
    return static_cast<int>(pixels * scale / view.scaleDivisor + 0.5f);
}
}  // namespace

stPlateSize ScaledPlateSize(const stPanel& panel) {
    const stFrontPlate& plate = panel.design.plate;
    const stViewScale& view = panel.design.scale;
    return stPlateSize{Scaled(view, plate.widthPx, view.plateScaleX), Scaled(view, plate.heightPx, view.plateScaleY)};
}

void LayOutObjects(stPanel& panel) {
    stDesign& design = panel.design;
    ListLockGuard guard(design.listLock);
    for (stObjList* list : {design.keys, design.leds}) {
        if (!list) continue;
        for (stListNode* node = list->first; node; node = node->next) {
            auto* object = static_cast<stPanelObject*>(node->item);
            const stLogicalRect& l = object->logicalRect();
            object->pixelRect() = ObjectToPixels(design.scale, l.x, l.y, l.width, l.height);
            if (object->second) object->second->pixelRect() = object->pixelRect();
        }
    }
}

int LayOutCurrentLcd(stPanel& panel) {
    stLcdType* type = CurrentLcdType(panel.lcdDraw);
    if (!type || type->placement.logicalRect.x < 0) {
        SetControllerGeometry(panel.lcd, type);
        return 0;
    }
    const stViewScale& scale = panel.design.scale;
    stLcdLayout& layout = panel.lcdDraw.layout;
    PlaceLcd(scale, panel.lcd, layout, ToPixels(scale, type->placement.logicalRect.x, 0),
             ToPixels(scale, type->placement.logicalRect.y, 1), type, &layout.lcdRect, kPlaceAll);
    return 1;
}

void ShowLcdUnlit(stPanel& panel) {
    stLcdType* type = CurrentLcdType(panel.lcdDraw);
    if (!type) return;
    type->colours.text = type->colours.dot;
    type->colours.background = type->colours.backlightOff;
    LcdSetContrast(panel.lcdDraw, 255);
}
