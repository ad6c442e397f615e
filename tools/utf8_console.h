// The tools write UTF-8. A Windows console shows its own code page instead, so while a tool runs
// there the console is switched to UTF-8 and switched back when the tool ends. Elsewhere, and
// when the output goes to a file or a pipe, nothing changes.
#pragma once

#ifdef _WIN32
#include <windows.h>

#include <cstdlib>

inline UINT& SavedConsoleCodePage() {
    static UINT page = 0;
    return page;
}

inline void RestoreConsoleCodePage() {
    if (SavedConsoleCodePage()) SetConsoleOutputCP(SavedConsoleCodePage());
}

inline void UseUtf8Console() {
    const UINT page = GetConsoleOutputCP();  // 0 without a console
    if (page == 0 || page == CP_UTF8) return;
    SavedConsoleCodePage() = page;
    if (SetConsoleOutputCP(CP_UTF8)) std::atexit(RestoreConsoleCodePage);
}
#else
inline void UseUtf8Console() {}
#endif
