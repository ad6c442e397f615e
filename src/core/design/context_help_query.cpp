#include "design/context_help_query.h"

int FindContextHelp(stDesign& design, const char* path, int32_t kind, const char* name, stContextHelp* result) {
    ListLockGuard guard(design.listLock);
    if (!path || !path[0] || !LoadContextHelp(design, path)) return kAskForContextHelpFile;
    if (!LookupContextHelp(design, kind, name, result)) return kAskForContextHelpEntry;
    return 0;
}

void ForgetContextHelp(stDesign& design) {
    ListLockGuard guard(design.listLock);
    stObjList* lines = design.helpLines;
    while (lines && lines->first) RemoveTextItem(lines, static_cast<stTextItem*>(lines->first->item));
}
