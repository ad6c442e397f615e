// The design in memory: panel objects (keys and LEDs) in the lists of common/obj_list.h, and the
// panel model.
//
// Records are plain C-style structs on the panel's heap (OrpAlloc/OrpFree) because several threads of
// the panel share them. The list operations take no lock: a list's owner keeps the lock that
// guards it (the design's list lock, see design_state.h) and its users hold it.
#pragma once

#include <cstdint>

#include "common/geometry_types.h"
#include "common/obj_list.h"

constexpr int32_t kKindKey = 32800;
constexpr int32_t kKindLed = 32801;
constexpr int32_t kKindLcd = 32860;

constexpr int kMaxObjectsPerList = 256;

struct stPanelObject {
    char* name;
    char* tooltip;
    int32_t kind;           // kKindKey or kKindLed
    int32_t refresh;        // LED colour must be recomputed and redrawn
    stPlacement placement;  // id, pixelRect, logicalRect
    uint32_t colour;        // colour the LED shows now
    uint32_t colourOn;
    uint32_t colourOff;
    int32_t reserved[3];
    int32_t multicolour;    // LEDs: has a second identifier
    stPanelObject* second;  // multicolour half, owned by the LED in the design list

    int32_t& id() { return placement.id; }
    int32_t id() const { return placement.id; }
    stPixelRect& pixelRect() { return placement.pixelRect; }
    const stPixelRect& pixelRect() const { return placement.pixelRect; }
    stLogicalRect& logicalRect() { return placement.logicalRect; }
    const stLogicalRect& logicalRect() const { return placement.logicalRect; }
};

// Model capability flags of stPanelModel::options.
constexpr uint32_t MODEL_BACKLIGHT_SWITCH = 1u << 0;
constexpr uint32_t MODEL_BACKLIGHT_LEVEL = 1u << 1;
constexpr uint32_t MODEL_CONTRAST = 1u << 2;
constexpr uint32_t MODEL_LED_INTENSITY = 1u << 3;
constexpr uint32_t MODEL_BUZZER = 1u << 4;
constexpr uint32_t MODEL_BUZZER_FREQUENCY = 1u << 5;

struct stPanelModel {
    int32_t linkFlag;        // owned by connection management, not stored with the design
    int32_t linkInterface;   // -1 none, 0 serial, 1 network
    int32_t tipInterval;     // ms between operating tips
    uint8_t model;
    uint8_t type;
    uint16_t bufferSize;
    uint8_t keyCount;
    uint8_t ledCount;
    uint32_t options;        // MODEL_* flags
};

// ---- panel object operations (the shared list operations are in common/obj_list.h) ----------
stPanelObject* InitPanelObject(stPanelObject* record);
stPanelObject* CopyPanelObject(stHeap& heap, const stPanelObject* source);

stPanelObject* FindKeyAt(stObjList* list, int32_t x, int32_t y);
stPanelObject* FindLedAt(stObjList* list, int32_t x, int32_t y);
stPanelObject* FindKeyById(stObjList* list, int32_t id);
stPanelObject* FindLedById(stObjList* list, int32_t id);
int32_t NextFreeId(stObjList* list, int32_t start);

int RemovePanelObject(stObjList* list, stPanelObject* object);

// Frees a panel object list: names, tooltips, records, nodes, header. Never a `second` record,
// so it is the right release for lists of copies.
stObjList* FreeObjectList(stObjList* list);
// Frees a list of LEDs (or keys) that owns its objects' `second` records: releases each
// `second` first, then the list as FreeObjectList does.
stObjList* FreeOwningObjectList(stObjList* list);

