#include "panel/panel.h"
#include "common/alloc.h"

#include "design/front_plate.h"
#include "design/lcd_geometry.h"
#include "lcd/lcd_library.h"
#include "monitor/log_files.h"
#include "monitor/trace.h"
#include "protocol/host_link.h"
#include "settings/settings.h"

static_assert(kDesignPathSize == kSettingsPathSize, "design paths are settings path fields");

namespace {
// Every failed allocation of a panel's records shows in that panel's trace output.
void TraceOutOfMemory(void* monitor) { Trace(*static_cast<MonitorOutput*>(monitor), "%s", kOutOfMemoryText); }
}  // namespace

stPanel::stPanel() {
    heap.report = TraceOutOfMemory;
    heap.reportContext = &monitor;
    lcdLibrary.heap = &heap;
    protocol.heap = &heap;
    design.heap = &heap;
    protocol.design = &design;
    UseSettingsPaths(*this);
}

stPanel::~stPanel() { ReleasePanelData(*this); }

void ReleasePanelData(stPanel& panel) {
    SetCurrentLcdType(panel.lcdDraw, nullptr);
    FreeLcdLibrary(panel.lcdLibrary, panel.lcdDraw);
    ReleasePlate(panel.design.plate);
    // Each design load gives the design's own LCD record new texts.
    for (char** text : {&panel.design.lcd.name, &panel.design.lcd.tooltip, &panel.design.lcd.font}) {
        OrpFree(*text);
        *text = nullptr;
    }
    FreePanelLists(panel);
}

void UseSettingsPaths(stPanel& panel) {
    stPanel* owner = &panel;
    panel.design.paths = {panel.settings.fileCfg, panel.settings.lastBitmap,
                          [owner] { owner->platform->WriteStoredSettings(owner->settings); }};
}

void InstallPlatform(stPanel& panel, PanelPlatform* platform) {
    if (!platform) platform = &NoPlatform();
    panel.platform = platform;
    panel.protocol.platform = platform;
    panel.lcdDraw.platform = platform;
    panel.monitor.platform.store(platform);
}

void ResetGeometry(stPanel& panel) {
    panel.design.scale = stViewScale{};
    panel.lcdDraw.layout = stLcdLayout{};
}

void ApplyPanelSettings(stPanel& panel) {
    SetScaleFromSetting(panel.design.scale, panel.settings.scale);
    ApplyLogSettings(panel.monitor);
}

int CreatePanelLists(stPanel& panel) {
    return CreateDesignLists(panel.design);
}

void FreePanelLists(stPanel& panel) {
    FreeDesignLists(panel.design);
    // Nothing queued before the end reaches the host or the dispatcher afterwards.
    panel.protocol.toHost.Clear();
    DiscardIncomingQueue(panel.protocol);
}
