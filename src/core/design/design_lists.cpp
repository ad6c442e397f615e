// The process-wide design lists record and panel model, their creation at attach, the new-design
// reset and the release at detach.
//
// Every replacement or release of a list happens under the list lock: the serial reader thread
// looks keys up while it shows the target's key reports, and must see either the old list or
// the new one, never a list being freed.
#include "design/object_model.h"

namespace {
stDesignLists g_lists{};
stPanelModel g_model{};

// Frees an LED or key list together with the multicolour halves its objects own, after dropping
// the LED selection cache whose copies point at those halves.
stObjList* FreeDesignObjects(stObjList* list) {
    ResetLedSelectionCache();
    return FreeOwningObjectList(list);
}
}  // namespace

stDesignLists& DesignLists() { return g_lists; }
stPanelModel& PanelModel() { return g_model; }

int CreateDesignLists() {
    ListLockGuard guard(ListLock());
    g_lists.tips = NewObjList();
    g_lists.keys = NewObjList();
    g_lists.leds = NewObjList();
    g_lists.lcdTypeTable = nullptr;
    g_lists.lcdTypeList = nullptr;
    return g_lists.tips && g_lists.keys && g_lists.leds;
}

int ResetDesign() {
    ListLockGuard guard(ListLock());
    g_lists.keys = FreeDesignObjects(g_lists.keys);
    g_lists.leds = FreeDesignObjects(g_lists.leds);
    g_lists.helpLines = FreeTextList(g_lists.helpLines);
    g_lists.tips = FreeTextList(g_lists.tips);
    g_lists.keys = NewObjList();
    g_lists.leds = NewObjList();
    g_lists.helpLines = NewObjList();
    g_lists.tips = NewObjList();
    return (g_lists.keys || g_lists.helpLines || g_lists.tips) ? 1 : 0;
}

void FreeDesignLists() {
    ListLockGuard guard(ListLock());
    g_lists.helpLines = FreeTextList(g_lists.helpLines);
    g_lists.tips = FreeTextList(g_lists.tips);
    g_lists.keys = FreeDesignObjects(g_lists.keys);
    g_lists.leds = FreeDesignObjects(g_lists.leds);
}
