// The pieces of the host's path, each alone, for the Wine timing host: what the panel does on
// the host's thread around the hand-over.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

struct BenchPart {
    const char* name;
    std::function<void()> run;
};

// The parts in the order the host's path meets them. `otherThreadWindow` is a window of another
// thread that frees the text a posted message carries (the monitor's way of receiving a line).
std::vector<BenchPart> HostPathParts(HWND otherThreadWindow);

// The message that hands `otherThreadWindow` a heap text to free.
constexpr UINT kBenchPostedText = WM_APP + 2;
