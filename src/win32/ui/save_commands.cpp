// The save commands over the core's SaveByName. SaveByName picks by the name: ".bmp" exports the
// front plate, ".orp" writes the design. Each command here accepts only the names of its own
// kind, so the design dialog never clears `modified` after writing just the bitmap, and the
// export dialog never writes the design under a new design path.
#include "ui/save_commands.h"

#include <cstring>
#include <string>

#include "common/options.h"
#include "design/design_file.h"
#include "design/file_dialogs.h"
#include "settings/settings.h"
#include "design/design_document.h"
#include "ui/main_handlers.h"
#include "monitor/trace.h"
#include "api/dll_panel.h"

namespace {

void ReportNotSaved(HWND window, const char* path, SaveFailure why, const char* extension) {
    const bool english = EnglishUi(DllPanel().options);
    std::string text = english ? "The file was not saved:\n" : "Die Datei wurde nicht gespeichert:\n";
    text += path;
    text += "\n\n" + SaveFailureText(why, english, extension);
    MessageBoxA(window, text.c_str(), "ORPpanel", MB_OK | MB_ICONERROR);
}

// Saves under `path` when it names a file of the command's kind; reports any failure.
bool SaveOrReport(HWND window, const char* path, bool design) {
    const char* extension = design ? ".orp" : ".bmp";
    SaveFailure why = kSaveBadName;
    const bool bitmapName = std::strstr(path, ".bmp") != nullptr;
    if (design != bitmapName && SaveByName(DllPanel().design, DllPanel().lcdDraw, path, &why)) return true;
    ReportNotSaved(window, path, why, extension);
    return false;
}

}  // namespace

void SaveDesignCommand(HWND window) {
    char path[MAX_PATH] = {};
    lstrcpynA(path, DllPanel().settings.fileCfg, MAX_PATH);
    if (!path[0]) {
        SaveDesignAsCommand(window);
        return;
    }
    if (!SaveOrReport(window, path, true)) return;
    DesignDocument().modified = 0;
    DesignDocument().noDesignFile = 0;
    StatusLine(DllPanel().monitor, "Datei gespeichert");
}

int SaveDesignAsCommand(HWND window) {
    char path[MAX_PATH] = {};
    if (!RunFileDialog(1, true, window, path)) return 0;
    if (!SaveOrReport(window, path, true)) return -1;
    SetPanelTitle(window, DllPanel().settings.fileCfg);
    DesignDocument().noDesignFile = 0;
    DesignDocument().modified = 0;
    return 1;
}

void ExportPlateCommand(HWND window) {
    char path[MAX_PATH] = {};
    if (RunFileDialog(2, true, window, path)) SaveOrReport(window, path, false);
}
