#include "common/options.h"

#include <atomic>

namespace {
std::atomic<uint32_t> g_options{0};
constexpr uint32_t kLibraryPair = OPT_LCD_LIBRARY | OPT_EDIT_A;
}  // namespace

uint32_t OptionsWord() { return g_options.load(std::memory_order_relaxed); }

uint32_t NormaliseOptions(uint32_t flags) {
    if (flags & OPT_NO_LCD_LIBRARY) return flags & ~kLibraryPair;
    if (flags & kLibraryPair) return flags | kLibraryPair;
    return flags;
}

bool AcceptOptions(uint32_t revision, uint32_t flags, uint32_t* previous) {
    *previous = OptionsWord();
    if (revision > 1) return false;
    g_options.store(NormaliseOptions(flags), std::memory_order_relaxed);
    return true;
}

void ResetOptionsWord() { g_options.store(0); }
