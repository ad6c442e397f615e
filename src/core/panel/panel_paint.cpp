#include "design/front_plate.h"
#include "panel/panel_layout.h"
#include "panel/panel_surface.h"

void PaintPanel(stPanel& panel, PanelSurface& surface, PanelLayers layers) {
    const stPlateSize plate = ScaledPlateSize(panel);
    surface.StretchPlate(plate.width, plate.height);
    if (CurrentLcdType(panel.lcdDraw)) {
        if (const stLcdDrawHook* hook = surface.LcdHook()) {
            LcdDrawBackground(panel.lcdDraw, hook);
            LcdDrawCells(panel.lcdDraw, panel.lcd, hook);
        }
    }
    if (layers != PanelLayers::kAll) return;
    // SelectLedsById takes the list lock for each selection; the lock is not held while
    // drawing, so a host thread that waits for the painting thread while holding it cannot
    // block the paint. The selected copies are changed only by the painting thread.
    for (int32_t id = 0; id < 255; ++id) {
        stObjList* selection = SelectLedsById(panel.design, panel.design.leds, id);
        if (!selection) continue;
        for (stListNode* node = selection->first; node; node = node->next)
            surface.FillLed(*static_cast<const stPanelObject*>(node->item));
    }
}
