// The panel the benchmarks of one program run on.
#pragma once

#include "panel/panel.h"

inline stPanel& BenchPanel() {
    static stPanel panel;
    return panel;
}
