// The panel's display of the key states the target reports ('k' from the serial reader thread
// or the network handler).
#pragma once

#include <cstdint>

// Applies the groups of a target's key report to the key state bitmap and repaints the keys
// whose state changed. Safe on the serial reader thread.
void ShowTargetKeyReport(const uint8_t* params, int count);
