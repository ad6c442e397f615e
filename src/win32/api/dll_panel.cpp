#include "api/dll_panel.h"

#include <memory>

stPanel& DllPanel() {
    // Made on first use (the library's attach), ended when the library is unloaded. Its failed
    // allocations show in its own trace output, as every panel's do.
    static const std::unique_ptr<stPanel> panel(new stPanel);
    return *panel;
}
