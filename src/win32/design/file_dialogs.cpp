#include "design/file_dialogs.h"

#include <commdlg.h>

#include <cstring>

#include "design/design_file.h"

namespace {
constexpr int kDialogCount = 4;
constexpr int kPathSize = 260;

struct stFileDialog {
    OPENFILENAMEA description;
    char path[kPathSize];
    char title[kPathSize];
    char filter[128];  // "text\0pattern\0\0"
};

stFileDialog g_dialogs[kDialogCount];

void Prepare(stFileDialog& dialog, const stFileDialogKind& kind) {
    std::memset(&dialog, 0, sizeof dialog);
    size_t textLength = std::strlen(kind.filter);
    size_t patternLength = std::strlen(kind.pattern);
    if (textLength + patternLength + 3 <= sizeof dialog.filter) {
        std::memcpy(dialog.filter, kind.filter, textLength + 1);
        std::memcpy(dialog.filter + textLength + 1, kind.pattern, patternLength + 1);
    }
    OPENFILENAMEA& ofn = dialog.description;
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFilter = dialog.filter;
    ofn.lpstrFile = dialog.path;
    ofn.nMaxFile = kPathSize;
    ofn.lpstrFileTitle = dialog.title;
    ofn.nMaxFileTitle = kPathSize;
    ofn.lpstrDefExt = kind.defaultExtension;
}
}  // namespace

void PrepareFileDialogs() {
    for (int number = 1; number <= kDialogCount; ++number)
        if (const stFileDialogKind* kind = FileDialogKind(number)) Prepare(g_dialogs[number - 1], *kind);
}

int RunFileDialog(int kind, bool save, HWND owner, char* path) {
    if (kind < 1 || kind > kDialogCount || !g_dialogs[kind - 1].description.lStructSize) return 0;
    stFileDialog& dialog = g_dialogs[kind - 1];
    OPENFILENAMEA& ofn = dialog.description;
    ofn.hwndOwner = owner;
    ofn.Flags = save ? OFN_OVERWRITEPROMPT : (OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST);
    BOOL chosen = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
    if (!chosen) return 0;
    lstrcpynA(path, dialog.path, kPathSize);
    return 1;
}
