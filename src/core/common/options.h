// The host's options word: the feature and language switches passed to SetOptions.
//
// One 32-bit value per panel (stPanel::options), zero when the panel is made. Only SetOptions
// writes it (a single store, no lock); every other part of the panel reads it through
// OptionsWord().
#pragma once

#include <atomic>
#include <cstdint>

constexpr uint32_t OPT_EDIT_A = 0x2;
constexpr uint32_t OPT_EDIT_B = 0x4;
constexpr uint32_t OPT_COMM_UI = 0x8;
constexpr uint32_t OPT_NO_LCD_LIBRARY = 0x10;
constexpr uint32_t OPT_ENGLISH = 0x20;
constexpr uint32_t OPT_HIDE_HOST = 0x80;
constexpr uint32_t OPT_LCD_LIBRARY = 0x100;
constexpr uint32_t OPT_NO_MENU = 0x400;
constexpr uint32_t OPT_LCD_PANEL = 0x800;
constexpr uint32_t OPT_FILE_COMMANDS = 0x1000;
constexpr uint32_t OPT_EDIT_C = 0x2000;
constexpr uint32_t OPT_FONT_TABLE = 0x4000;
constexpr uint32_t OPT_EDIT_D = 0x8000;
constexpr uint32_t OPT_SHOW_COORDS = 0x10000;
constexpr uint32_t OPT_IGNORE_HANDSHAKE = 0x20000;
constexpr uint32_t OPT_LINK_SETUP_MSG = 0x40000;

// Editing with mouse and keyboard needs at least one of these bits.
constexpr uint32_t OPT_EDIT_MASK = 0xF98E;

struct PanelOptions {
    std::atomic<uint32_t> word{0};
};

inline uint32_t OptionsWord(const PanelOptions& options) {
    return options.word.load(std::memory_order_relaxed);
}
inline bool HasOption(const PanelOptions& options, uint32_t bit) {
    return (OptionsWord(options) & bit) != 0;
}
inline bool EnglishUi(const PanelOptions& options) { return HasOption(options, OPT_ENGLISH); }
inline bool EditingAllowed(const PanelOptions& options) { return HasOption(options, OPT_EDIT_MASK); }

// The coupling of the LCD library bits: OPT_NO_LCD_LIBRARY clears OPT_LCD_LIBRARY and
// OPT_EDIT_A; otherwise either of them sets both.
uint32_t NormaliseOptions(uint32_t flags);

// Validates and stores the options of an stOrpOpts record. Returns false (word unchanged) for a
// revision above 1. `previous` receives the word as it was before the call.
bool AcceptOptions(PanelOptions& options, uint32_t revision, uint32_t flags, uint32_t* previous);
