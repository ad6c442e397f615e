// One panel: every piece of state that belongs to a panel lives in one stPanel, owned by its
// front end (the DLL's window, a headless panel, a test). The subsystems below keep their state
// in records of their own and take the record they work on; only this file knows them all.
//
// While the subsystems move in one at a time, the front ends reach the panel they drive through
// ProcessPanel(); once every core function takes its panel, that accessor leaves the core and
// the DLL keeps its one panel behind a single pointer of its own.
#pragma once

#include "lcd/controller.h"
#include "protocol/protocol.h"

struct stPanel {
    LcdController lcd;  // the emulated controller with its own CGRAM and character sets
    stProtocol protocol;  // protocol modes, sequence counters, key and LED state, host path
};

// The panel the front end of this process drives (transitional, see above).
stPanel& ProcessPanel();
