// One panel: every piece of state that belongs to a panel lives in one stPanel, owned by its
// front end (the DLL's window, a headless panel, a test). The subsystems below keep their state
// in records of their own and take the record they work on; only this file knows them all.
//
// A front end makes as many panels as it needs and hands each core function the one it works
// on: the DLL keeps exactly one (DllPanel, src/win32/api), the headless library one per
// orph_open, a test one per test.
#pragma once

#include "common/alloc.h"
#include "common/options.h"
#include "common/platform.h"
#include "design/design_file.h"
#include "design/design_state.h"
#include "lcd/control_panel.h"
#include "lcd/controller.h"
#include "lcd/lcd_draw.h"
#include "lcd/lcd_library.h"
#include "monitor/monitor_output.h"
#include "protocol/dispatcher.h"
#include "protocol/protocol.h"
#include "settings/settings.h"

struct stPanel {
    PanelPlatform* platform = &NoPlatform();  // what the front end does for the panel; never null
    PanelOptions options;             // the host's options word (SetOptions)
    stHeap heap;                      // the allocator of the panel's records; failures go to its trace
    LcdController lcd;                // the emulated controller with its own CGRAM and character sets
    stLcdDrawState lcdDraw;           // the LCD drawing's hook and the design's current LCD type
    stLcdPanelState lcdPanel;         // the LCD control panel's working state
    stLcdLibrary lcdLibrary;          // the LCD type library's files and types
    stSettings settings{};            // the stored settings, the log directory, the last bitmap
    MonitorOutput monitor{settings};  // trace, status and Rx/Tx sinks, log clock and log files
    stProtocol protocol;              // protocol modes, sequence counters, key and LED state, host path
    stDesign design;                  // keys, LEDs, help lines, tips, model, front plate, design LCD

    // Points the design's paths at the settings record, the records that allocate at the heap
    // and the heap's failure report at the trace.
    stPanel();
    // Releases what the panel still owns (ReleasePanelData).
    ~stPanel();
    stPanel(const stPanel&) = delete;
    stPanel& operator=(const stPanel&) = delete;
};

// Makes `platform` the one the panel and its subsystems reach (nullptr: NoPlatform()). The
// front end's platform must outlive the panel's use of it.
void InstallPlatform(stPanel& panel, PanelPlatform* platform);

// What the dispatcher of this panel works on.
inline stDispatchContext PanelDispatch(stPanel& panel) { return {panel.protocol, panel.lcd, panel.lcdDraw}; }

// Points the design's paths at the settings record's design and bitmap fields.
void UseSettingsPaths(stPanel& panel);

// The LCD records a design load sets.
inline stDesignLcd DesignLcdOf(stPanel& panel) { return {panel.lcd, panel.lcdDraw}; }

// Attach-time set-up of the design's lists. Returns 1 when every list was created.
int CreatePanelLists(stPanel& panel);
// Detach-time release of the design's lists and the message queues.
void FreePanelLists(stPanel& panel);

// Releases the design's lists, front plate image and LCD texts, the LCD type library and the
// messages still queued. Safe to call again; the panel can load a design afterwards.
void ReleasePanelData(stPanel& panel);

// Back to the start values of the view scale (1.0, plate scale 1.0, 96 dots per inch) and an
// empty LCD layout.
void ResetGeometry(stPanel& panel);

// Applies the settings the options dialog changes: opens or closes the logs and sets the
// display scale.
void ApplyPanelSettings(stPanel& panel);
