#include "api/dll_panel.h"

#include <memory>

#include "common/alloc.h"
#include "monitor/trace.h"

namespace {
void TraceOutOfMemory(void* panel) { Trace(static_cast<stPanel*>(panel)->monitor, "%s", kOutOfMemoryText); }

stPanel* CreateDllPanel() {
    auto* panel = new stPanel;
    // The panel hears about failed allocations in its trace output.
    SetAllocFailureSink(TraceOutOfMemory, panel);
    return panel;
}
}  // namespace

stPanel& DllPanel() {
    // Made on first use (the library's attach), ended when the library is unloaded.
    static const std::unique_ptr<stPanel> panel(CreateDllPanel());
    return *panel;
}
