// LED selection by id: the dispatcher's LED refresh asks for the LEDs of one identifier many
// times in a row, so the copies of the last selection are cached until another id is asked for.
// The copies share `second` with the LEDs of the design list; the cache must therefore be
// dropped whenever that list is replaced or freed.
#include "common/alloc.h"
#include "design/design_state.h"

void ResetLedSelectionCache(stDesign& design) {
    ListLockGuard guard(design.listLock);
    design.ledSelection.copies = FreeObjectList(design.ledSelection.copies);
    design.ledSelection.id = -1;
}

stObjList* SelectLedsById(stDesign& design, stObjList* ledList, int32_t id) {
    ListLockGuard guard(design.listLock);
    int32_t& cachedId = design.ledSelection.id;
    stObjList*& cachedCopies = design.ledSelection.copies;
    if (id == cachedId) return cachedCopies;
    cachedCopies = FreeObjectList(cachedCopies);
    cachedId = -1;
    if (ledList) {
        for (stListNode* node = ledList->first; node; node = node->next) {
            auto* led = static_cast<stPanelObject*>(node->item);
            if (!led || led->kind != kKindLed || led->id() != id) continue;
            led->refresh = 1;
            if (!cachedCopies && !(cachedCopies = NewObjList(*design.heap))) break;
            stPanelObject* copy = CopyPanelObject(*design.heap, led);
            if (copy && !AppendItem(cachedCopies, copy)) {
                OrpFree(copy->name);
                OrpFree(copy->tooltip);
                OrpFree(copy);
            }
        }
    }
    cachedId = id;
    return cachedCopies;
}
