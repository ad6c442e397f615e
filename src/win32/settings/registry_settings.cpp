// The panel's settings backend: the registry store and the platform services of
// settings/registry_store.h, plus the placements of the panel's own windows.
//
// The key stays open from the first read until the library is unloaded, as every later write
// goes to the key that was found (or created) at start.
#include "settings/registry_settings.h"

#include <cstring>

#include "monitor/trace.h"
#include "api/dll_panel.h"
#include "settings/settings.h"
#include "monitor/output_windows.h"
#include "ui/window_registry.h"

namespace {

class PanelSettingsHost : public Win32SettingsHost {
public:
    bool GetPlacement(PlacementWindow window, stWindowPlacement* placement) override {
        const stOutputWindows& outputs = OutputWindows();
        const stWindowRegistry& windows = Windows();
        const HWND hwnd = window == PlacementWindow::kHost    ? windows.hwndHost
                          : window == PlacementWindow::kPanel ? windows.hwndMain
                          : window == PlacementWindow::kTrace ? outputs.hwndTrace
                                                              : outputs.hwndMonitor;
        if (!hwnd || !IsWindow(hwnd)) return false;
        WINDOWPLACEMENT wp{};
        wp.length = sizeof wp;
        if (!GetWindowPlacement(hwnd, &wp)) return false;
        static_assert(sizeof wp == sizeof *placement, "placement records match");
        std::memcpy(placement, &wp, sizeof wp);
        return true;
    }
    void ReportProblem(const char* text) override { Trace(DllPanel().monitor, "%s", text); }
};

RegistryStore g_store;
PanelSettingsHost g_host;

}  // namespace

int ReadRegistrySettings(stSettings& settings) { return LoadSettings(settings, SettingsBackend{&g_store, &g_host}); }

int WriteRegistrySettings(stSettings& settings) { return SaveSettings(settings, SettingsBackend{&g_store, &g_host}); }

void CloseRegistrySettings() { g_store.Close(); }
