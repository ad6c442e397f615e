#include "ui/window_registry.h"

namespace {
stWindowRegistry g_windows{};
}  // namespace

stWindowRegistry& Windows() { return g_windows; }
