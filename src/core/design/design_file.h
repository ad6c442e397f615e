// Design files (".orp"): front plate bitmap, LCD type and placement, panel model, keys, LEDs
// and operating tips in one little-endian binary file.
//
//   header       counted "*.orp 1" + NUL (the reader also takes "*.orp 2" and "*.orp 3")
//   front plate  u32 length L, the bitmap file (L = its size field; 0 = no front plate)
//   LCD texts    counted name, tooltip, font (each with NUL, or length 0)
//   model        counted model(1) type(1) keyCount(1) ledCount(1) bufferSize(2) options(4)
//   LCD          u32 100 + counted metrics(28) placement(36) colours(24), or u32 0
//   keys, LEDs   u32 84, u32 count, [u32 count*84, objects]
//   tips         only with tips: u32 count, counted texts with NUL, u32 interval in seconds
//
// Loading parses the whole file into fresh records first and replaces the design in memory
// only when every block was sound, so a refused file leaves the design as it was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "design/object_model.h"
#include "design/save_failure.h"
#include "lcd/lcd_type.h"

struct stDesign;
struct LcdController;
struct stLcdDrawState;

constexpr uint32_t kObjectRecordSize = 84;
constexpr uint32_t kLcdRecordSize = 100;
constexpr uint32_t kMaxHeaderLength = 260;
// Message number that asks the main window to show what was read (PANEL_WM_SHOW_DESIGN,
// WM_USER + 6).
constexpr int kShowDesignMessage = 1030;

// The LCD records a design load sets: the drawing's current type and the controller's
// character set.
struct stDesignLcd {
    LcdController& controller;
    stLcdDrawState& draw;
};

// Everything a design file holds, parsed but not yet in effect.
struct stDesignData {
    uint8_t* image;          // front plate bitmap file, or null
    uint32_t imageSize;
    char* lcdName;           // kLcdNameSize, kLcdTooltipSize, kLcdFontSize bytes
    char* lcdTooltip;
    char* lcdFont;
    stPanelModel model;      // the model in memory with the file's fields laid over it
    int32_t hasLcd;          // block 5 present with marker 100
    stLcdMetrics metrics;
    stPlacement placement;
    stLcdColours colours;
    stObjList* keys;
    stObjList* leds;
    stObjList* tips;
    int32_t hasTipInterval;  // a tips block was present
};

// Parses a design file image onto `heap`. `model` and `lcd` are the values in memory that
// fields of shorter width or zero length leave in place. Returns 1 with `out` filled, or 0 with nothing
// allocated.
int ParseDesign(stHeap& heap, const uint8_t* bytes, std::size_t size, const stPanelModel& model,
                const stLcdType& lcd, stDesignData* out);
void FreeDesignData(stDesignData* data);
// Puts parsed data in effect (takes ownership): front plate, the design's LCD record and the
// current LCD type, model, and new key, LED, tip and empty help-line lists.
void ApplyDesignData(stDesign& design, stDesignLcd lcd, stDesignData* data);

// The design in memory as a design file image.
void SerializeDesign(stDesign& design, const stLcdDrawState& draw, std::vector<uint8_t>* out);

// Writes the design file; on failure (0) `why` says what went wrong, and a file that existed
// under the name is as it was.
int SaveDesign(stDesign& design, const stLcdDrawState& draw, const char* path, SaveFailure* why = nullptr);
int LoadDesign(stDesign& design, stDesignLcd lcd, const char* path);

// Save routine of the file commands: a path containing ".bmp" exports the front plate; one
// containing ".orp" gets the design and, once it is written, becomes the design path; anything
// else saves nothing (0, kSaveBadName). Case-sensitive. On failure `why` says why.
int SaveByName(stDesign& design, const stLcdDrawState& draw, const char* path, SaveFailure* why = nullptr);
// Open routine of the file commands: lower-cases `path` in place; ".bmp" stores it as the
// front-plate path and returns kShowDesignMessage; ".orp" stores it as the design path, loads
// the design and returns kShowDesignMessage, or -1 when the load fails; anything else -1.
int OpenByName(stDesign& design, stDesignLcd lcd, char* path);

// The four file dialog kinds: filter text, pattern and default extension.
struct stFileDialogKind {
    const char* filter;
    const char* pattern;
    const char* defaultExtension;
};
// Kind 1 designs, 2 front plates, 3 LCD files, 4 all files; null for any other number.
const stFileDialogKind* FileDialogKind(int number);
