// The panel a fuzz target runs on: one per target process.
#pragma once

#include "panel/panel.h"

inline stPanel& FuzzPanel() {
    static stPanel panel;
    return panel;
}
