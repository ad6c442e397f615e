// The design of one panel: its keys, LEDs, help lines and tips, the model, the front plate, its
// own LCD record, the paths of the file commands, the tip counter and the LED selection cache.
//
// The object lists are read from two threads: the serial reader thread looks keys up while it
// shows the target's key reports, and the user-interface thread may replace the lists at the
// same time (a design load, a new design). Every replacement or release of a list, and every
// search from another thread, happens under `listLock`; the list operations themselves take no
// lock. The lock is recursive because the design load frees and searches under it.
#pragma once

#include <cstdint>
#include <mutex>

#include "design/design_paths.h"
#include "design/front_plate.h"
#include "design/object_model.h"
#include "design/view_scale.h"
#include "lcd/lcd_type.h"

// The copies of the last LED selection by id (see SelectLedsById).
struct stLedSelectionCache {
    int32_t id = -1;
    stObjList* copies = nullptr;
};

struct stDesign {
    stHeap* heap = nullptr;          // the panel's heap, which the panel sets; lists and texts come from it
    std::recursive_mutex listLock;  // guards the four lists below and the LED selection cache
    stObjList* helpLines = nullptr;  // context help lines (stTextItem)
    stObjList* tips = nullptr;       // operating tips (stTextItem)
    stObjList* keys = nullptr;       // keys (stPanelObject, kind kKindKey)
    stObjList* leds = nullptr;       // LEDs (stPanelObject, kind kKindLed)
    stLedSelectionCache ledSelection;
    stPanelModel model{};
    stFrontPlate plate{};
    stLcdType lcd{};                 // the design's own LCD record (see design_lcd.h)
    stDesignPaths paths{};           // the design and front plate paths of the file commands
    int32_t tipCounter = 0;          // node index of the next operating tip
    stViewScale scale;               // nanometres to client pixels: screen resolution, user scale, plate scale
};


// Creates the tip, key and LED lists. Returns 1 when every list was created.
int CreateDesignLists(stDesign& design);
// New design: replaces the key, LED, help-line and tip lists by empty ones. Returns 1 when the
// key, help-line or tip list could be created.
int ResetDesign(stDesign& design);
// Releases every list of the design and the LED selection cache.
void FreeDesignLists(stDesign& design);

// LED selection by id: copies of the LEDs of `id` in `ledList` (the design's LEDs), cached until
// another id is asked for. Takes the list lock.
stObjList* SelectLedsById(stDesign& design, stObjList* ledList, int32_t id);
// Forgets the LED selection cache. Called whenever the LED list is replaced or freed, because
// the cached copies share `second` with the LEDs of the list.
void ResetLedSelectionCache(stDesign& design);
