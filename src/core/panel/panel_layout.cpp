#include "panel/panel_layout.h"

#include "design/front_plate.h"
#include "design/lcd_geometry.h"
#include "design/object_model.h"
#include "lcd/lcd_draw.h"

namespace {
int Scaled(int32_t pixels, float scale) { return static_cast<int>(pixels * scale / Geometry().scaleDivisor + 0.5f); }
}  // namespace

stPlateSize ScaledPlateSize() {
    const stFrontPlate& plate = FrontPlate();
    return stPlateSize{Scaled(plate.widthPx, Geometry().plateScaleX), Scaled(plate.heightPx, Geometry().plateScaleY)};
}

void LayOutObjects() {
    ListLockGuard guard(ListLock());
    for (stObjList* list : {DesignLists().keys, DesignLists().leds}) {
        if (!list) continue;
        for (stListNode* node = list->first; node; node = node->next) {
            auto* object = static_cast<stPanelObject*>(node->item);
            const stLogicalRect& l = object->logicalRect();
            object->pixelRect() = ObjectToPixels(l.x, l.y, l.width, l.height);
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
    PlaceLcd(panel.lcd, ToPixels(type->placement.logicalRect.x, 0), ToPixels(type->placement.logicalRect.y, 1), type,
             &Geometry().lcdRect, kPlaceAll);
    return 1;
}

void ShowLcdUnlit(stPanel& panel) {
    stLcdType* type = CurrentLcdType(panel.lcdDraw);
    if (!type) return;
    type->colours.text = type->colours.dot;
    type->colours.background = type->colours.backlightOff;
    LcdSetContrast(panel.lcdDraw, 255);
}
