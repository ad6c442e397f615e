#include "common/options.h"

namespace {
constexpr uint32_t kLibraryPair = OPT_LCD_LIBRARY | OPT_EDIT_A;
}  // namespace

uint32_t NormaliseOptions(uint32_t flags) {
    if (flags & OPT_NO_LCD_LIBRARY) return flags & ~kLibraryPair;
    if (flags & kLibraryPair) return flags | kLibraryPair;
    return flags;
}

bool AcceptOptions(PanelOptions& options, uint32_t revision, uint32_t flags, uint32_t* previous) {
    *previous = OptionsWord(options);
    if (revision > 1) return false;
    options.word.store(NormaliseOptions(flags), std::memory_order_relaxed);
    return true;
}
