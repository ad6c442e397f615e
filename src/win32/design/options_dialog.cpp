// The options dialog (160 German, 129 English): the start-up windows, the log files and the
// scale. A click changes the settings record at once; OK lets the caller save and apply them,
// Cancel puts back the values the dialog opened with.
#include "common/options.h"
#include "design/editor_input.h"
#include "editor_ids.h"
#include "monitor/log_files.h"
#include "settings/settings.h"
#include "ui/window_registry.h"
#include "api/dll_panel.h"
#include "ui/dialog_box.h"

namespace {

struct stOptionValues {
    int32_t rxTx, rxTxLog, trace, traceLog, scale;
};
stOptionValues g_opened;

stOptionValues CurrentOptionValues() {
    const stSettings& s = DllPanel().settings;
    return stOptionValues{s.rxTx, s.rxTxLog, s.trace, s.traceLog, s.scale};
}

int32_t* BoxField(int id) {
    stSettings& s = DllPanel().settings;
    switch (id) {
    case IDC_OPT_RXTX: return &s.rxTx;
    case IDC_OPT_RXTX_LOG: return &s.rxTxLog;
    case IDC_OPT_TRACE: return &s.trace;
    case IDC_OPT_TRACE_LOG: return &s.traceLog;
    default: return nullptr;
    }
}

void OnInit(HWND dialog) {
    Windows().hwndOptionsDlg = dialog;
    g_opened = CurrentOptionValues();
    for (int id = IDC_OPT_RXTX; id <= IDC_OPT_TRACE_LOG; ++id)
        CheckDlgButton(dialog, id, *BoxField(id) ? BST_CHECKED : BST_UNCHECKED);
    int scale = DllPanel().settings.scale;
    if (scale < 1 || scale > 3) scale = 1;
    CheckRadioButton(dialog, IDC_OPT_SCALE_100, IDC_OPT_SCALE_75, 1247 + scale);
}

void End(HWND dialog, INT_PTR result) {
    Windows().hwndOptionsDlg = nullptr;
    EndDialog(dialog, result);
}

void OnCommand(HWND dialog, int id, int) {
    if (int32_t* field = BoxField(id)) {
        *field = IsDlgButtonChecked(dialog, id) == BST_CHECKED ? 1 : 0;
    } else if (id >= IDC_OPT_SCALE_100 && id <= IDC_OPT_SCALE_75) {
        DllPanel().settings.scale = id - 1247;
    } else if (id == IDOK) {
        End(dialog, IDOK);
    } else if (id == IDCANCEL) {
        stSettings& s = DllPanel().settings;
        s.rxTx = g_opened.rxTx;
        s.rxTxLog = g_opened.rxTxLog;
        s.trace = g_opened.trace;
        s.traceLog = g_opened.traceLog;
        s.scale = g_opened.scale;
        End(dialog, IDCANCEL);
    }
}

}  // namespace

bool OpenOptionsDialog(HWND window) {
    stWindowRegistry& windows = Windows();
    if (windows.hwndOptionsDlg) {
        SetFocus(windows.hwndOptionsDlg);
        return false;
    }
    const DLGPROC proc = CommandDialogProc<OnInit, OnCommand>;
    if (RunDialogInLanguage(window, IDD_OPTIONS_EN, IDD_OPTIONS_DE, proc) != IDOK) return false;
    DllPanel().platform->WriteStoredSettings(DllPanel().settings);
    ApplyPanelSettings(DllPanel());
    return true;
}
