#include "panel/bring_up.h"

#include "design/object_model.h"
#include "lcd/controller.h"
#include "lcd/lcd_draw.h"
#include "protocol/panel_reports.h"

void AnswerHostItself(stPanel& panel) {
    stPanelModel& model = panel.design.model;
    model.linkFlag = 1;
    model.linkInterface = -1;
}

void PowerUpLcd(stPanel& panel) {
    LcdInvalidateCells(panel.lcdDraw);
    LcdSendInitSequence(panel.lcd);
}

void AnnounceReset(stPanel& panel) {
    if (PanelAnswers(panel.protocol)) SendResetAnnouncement(panel.protocol, 0);
}
