// The design's lists: their creation, the new-design reset and the release.
//
// Every replacement or release of a design list happens under the design's list lock: the
// serial reader thread looks keys up while it shows the target's key reports, and must see
// either the old list or the new one, never a list being freed.
#include "design/design_state.h"

namespace {
// Frees an LED or key list together with the multicolour halves its objects own, after dropping
// the LED selection cache whose copies point at those halves.
stObjList* FreeDesignObjects(stDesign& design, stObjList* list) {
    ResetLedSelectionCache(design);
    return FreeOwningObjectList(list);
}
}  // namespace

int CreateDesignLists(stDesign& design) {
    ListLockGuard guard(design.listLock);
    design.tips = NewObjList(*design.heap);
    design.keys = NewObjList(*design.heap);
    design.leds = NewObjList(*design.heap);
    return design.tips && design.keys && design.leds;
}

int ResetDesign(stDesign& design) {
    ListLockGuard guard(design.listLock);
    design.keys = FreeDesignObjects(design, design.keys);
    design.leds = FreeDesignObjects(design, design.leds);
    design.helpLines = FreeTextList(design.helpLines);
    design.tips = FreeTextList(design.tips);
    design.keys = NewObjList(*design.heap);
    design.leds = NewObjList(*design.heap);
    design.helpLines = NewObjList(*design.heap);
    design.tips = NewObjList(*design.heap);
    return (design.keys || design.helpLines || design.tips) ? 1 : 0;
}

void FreeDesignLists(stDesign& design) {
    ListLockGuard guard(design.listLock);
    design.helpLines = FreeTextList(design.helpLines);
    design.tips = FreeTextList(design.tips);
    design.keys = FreeDesignObjects(design, design.keys);
    design.leds = FreeDesignObjects(design, design.leds);
}
