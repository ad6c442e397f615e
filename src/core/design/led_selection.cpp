// LED selection by id: the dispatcher's LED refresh asks for the LEDs of one identifier many
// times in a row, so the copies of the last selection are cached until another id is asked for.
// The copies share `second` with the LEDs of the design list; the cache must therefore be
// dropped whenever that list is replaced or freed.
#include "common/alloc.h"
#include "design/object_model.h"

namespace {
int32_t g_cachedId = -1;
stObjList* g_cachedCopies = nullptr;
}  // namespace

void ResetLedSelectionCache() {
    ListLockGuard guard(ListLock());
    g_cachedCopies = FreeObjectList(g_cachedCopies);
    g_cachedId = -1;
}

stObjList* SelectLedsById(stObjList* ledList, int32_t id) {
    ListLockGuard guard(ListLock());
    if (id == g_cachedId) return g_cachedCopies;
    g_cachedCopies = FreeObjectList(g_cachedCopies);
    g_cachedId = -1;
    if (ledList) {
        for (stListNode* node = ledList->first; node; node = node->next) {
            auto* led = static_cast<stPanelObject*>(node->item);
            if (!led || led->kind != kKindLed || led->id() != id) continue;
            led->refresh = 1;
            if (!g_cachedCopies && !(g_cachedCopies = NewObjList())) break;
            stPanelObject* copy = CopyPanelObject(led);
            if (copy && !AppendItem(g_cachedCopies, copy)) {
                OrpFree(copy->name);
                OrpFree(copy->tooltip);
                OrpFree(copy);
            }
        }
    }
    g_cachedId = id;
    return g_cachedCopies;
}
