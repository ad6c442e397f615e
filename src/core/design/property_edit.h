// What the key and LED property dialog changes in a panel object, kept apart from the dialog so
// that the order of the changes, the identifier checks and the multicolour halves can be tested
// without windows.
//
// The dialog collects its edits in an stPropertyEdit: a change mask and the values the controls
// hold. OK applies the set bits in ascending order; an identifier out of range stops there,
// leaving the bits not yet applied set, so the dialog can stay open and OK can be pressed again.
#pragma once

#include <cstdint>

#include "design/design_state.h"

// Change-mask bits, in the order OK applies them (bits 6 and 7 are not used).
enum : uint32_t {
    PROP_NAME = 1u << 0,
    PROP_TOOLTIP = 1u << 1,
    PROP_ID = 1u << 2,
    PROP_GEOMETRY = 1u << 3,
    PROP_DROP_SECOND = 1u << 4,
    PROP_SECOND_ID = 1u << 5,
    PROP_COLOUR_ON = 1u << 8,
    PROP_COLOUR_OFF = 1u << 9,
    PROP_SECOND_COLOUR_ON = 1u << 10,
    PROP_SECOND_COLOUR_OFF = 1u << 11,
};

constexpr int kPropNameMax = 25;

struct stPropertyEdit {
    uint32_t mask;
    bool led;                // LED dialog (119/156); otherwise the key dialog
    const char* name;        // text of 1210
    const char* tooltip;     // text of 1211
    int32_t id;              // number in 1212
    int32_t secondId;        // number in 1213
    int32_t width, height;   // key: 1214, 1215
    int32_t x, y;            // key: left and top (1216, 1217); LED: centre
    int32_t radius;          // LED: 1218
    uint32_t colours[4];     // chosen for 1220, 1221, 1222, 1223
    bool multicolourBox;     // state of check box 1224
};

enum PropApplyResult {
    kPropApplied = 0,      // every bit applied and cleared
    kPropBadId = 1,        // 1212 out of 0..255: the object's id is now 0
    kPropBadSecondId = 2,  // 1213 out of 0..255: the second identifier is unchanged
};

// Working values of a freshly opened dialog: width, height and left/top from the pixel
// rectangle; for an LED radius = width / 2 and the centre (left + radius, top + radius).
void InitPropertyEdit(stPropertyEdit* edit, const stPanelObject* object, bool led);

// OK: sets PROP_ID, then applies each set bit in ascending order and clears it. Texts become
// new heap copies (a failed copy keeps the old text). The geometry bit rebuilds the pixel
// rectangle (the second half's too) and recomputes the logical rectangles. After the bits the
// LED's multicolour state follows the check box, and `colour` becomes `colourOff`.
// Every change of an LED forgets the LED selection cache, whose copies share `second`.
PropApplyResult ApplyPropertyEdit(stDesign& design, stPanelObject* object, stPropertyEdit* edit);

// Frees a multicolour LED's second half. Returns 1 when it had one.
int DropSecond(stDesign& design, stPanelObject* object);

// Delete: drops the second half and removes the object from the list, which frees it. Returns 1
// when the object was in the list; an object not in the list is left to its owner.
int DeletePanelObject(stDesign& design, stObjList* list, stPanelObject* object);
