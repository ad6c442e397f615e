#include "panel/panel.h"

#include "common/alloc.h"
#include "design/lcd_geometry.h"
#include "monitor/log_files.h"
#include "monitor/trace.h"

namespace {
void TraceOutOfMemory(void* panel) {
    Trace(static_cast<stPanel*>(panel)->monitor, "%s", kOutOfMemoryText);
}
}  // namespace

stPanel& ProcessPanel() {
    // The process's panel hears about failed allocations in its trace output.
    static stPanel panel;
    static const bool reporting = (SetAllocFailureSink(TraceOutOfMemory, &panel), true);
    (void)reporting;
    return panel;
}

void InstallPlatform(stPanel& panel, PanelPlatform* platform) {
    if (!platform) platform = &NoPlatform();
    panel.platform = platform;
    panel.protocol.platform = platform;
    panel.monitor.platform.store(platform);
}

void ApplyPanelSettings(stPanel& panel) {
    SetScaleFromSetting(panel.settings.scale);
    ApplyLogSettings(panel.monitor);
}
