#include "design/context_help_query.h"

int FindContextHelp(const char* path, int32_t kind, const char* name, stContextHelp* result) {
    ListLockGuard guard(ListLock());
    if (!path || !path[0] || !LoadContextHelp(path)) return kAskForContextHelpFile;
    if (!LookupContextHelp(kind, name, result)) return kAskForContextHelpEntry;
    return 0;
}

void ForgetContextHelp() {
    ListLockGuard guard(ListLock());
    stObjList* lines = DesignLists().helpLines;
    while (lines && lines->first) RemoveTextItem(lines, static_cast<stTextItem*>(lines->first->item));
}
