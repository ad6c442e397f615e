// What the Wine timing hosts share: the clock, the median, and a host's round trip through the
// panel.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "harness/panel_session.h"

// Microseconds on the performance counter.
inline double Now() {
    static const double tickMicroseconds = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return 1e6 / static_cast<double>(frequency.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * tickMicroseconds;
}

inline double Median(std::vector<double> samples) {
    if (samples.empty()) return 0;
    std::nth_element(samples.begin(), samples.begin() + samples.size() / 2, samples.end());
    return samples[samples.size() / 2];
}

// Sends the frame (if any) and polls until the answer frame is whole; false when it did not
// come within 5 s or began with another byte than `answer`.
inline bool RoundTrip(PanelSession& panel, const std::string& frame, char answer) {
    if (!frame.empty()) panel.Send(frame);
    const double deadline = Now() + 5e6;
    for (;;) {
        const std::string got = panel.PollFrame();
        if (!got.empty()) return got[0] == answer;
        if (Now() > deadline) return false;
    }
}
