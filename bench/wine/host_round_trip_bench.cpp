// Times the host's round trip through orppanel.dll against the least the synchronous hand-over
// to the panel's thread can cost: a bare SendMessage (WM_NULL) to the panel's window, which the
// panel's own thread answers at once. A round trip is one ReceiveFromApp and the CheckRx calls until its answer is whole:
// 'V' answered by the version reply, and a 16-character 'W' answered by ACK.
//
// The panel runs the given design in three set-ups, one part switched on at a time: as it
// starts (monitor closed, logs off), with the RXTX log written, and with the monitor shown.
// In each, the three kinds of round trip take turns, one of each at a time, so that all of
// them see the same load of the machine. Then the pieces of the host's path are timed alone in this process,
// over the same core the DLL is built from.
//
//   orp_host_round_trip_bench.exe <design file> [round trips per round] [rounds]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "bench_parts.h"
#include "common/alloc.h"
#include "harness/panel_session.h"

namespace {

double g_tickMicroseconds = 0;

double Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * g_tickMicroseconds;
}

double Median(std::vector<double> samples) {
    if (samples.empty()) return 0;
    std::nth_element(samples.begin(), samples.begin() + samples.size() / 2, samples.end());
    return samples[samples.size() / 2];
}

// A window on a thread of its own that frees the texts posted to it, as the monitor's would.
struct TextSink {
    HWND window = nullptr;
    HANDLE thread = nullptr;
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);

    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == kBenchPostedText) {
            OrpFree(reinterpret_cast<void*>(lParam));
            return 0;
        }
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    static DWORD WINAPI Run(void* self) {
        auto* sink = static_cast<TextSink*>(self);
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "OrpBenchPing";
        RegisterClassA(&wc);
        sink->window = CreateWindowExA(0, "OrpBenchPing", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                       wc.hInstance, nullptr);
        SetEvent(sink->ready);
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
        return 0;
    }
    TextSink() {
        thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
        WaitForSingleObject(ready, 10000);
    }
    ~TextSink() {
        if (window) PostMessageA(window, WM_QUIT, 0, 0);
        WaitForSingleObject(thread, 10000);
        CloseHandle(thread);
        CloseHandle(ready);
    }
};

// Round trips until the answer frame is whole; false when it did not come within 5 s.
bool RoundTrip(PanelSession& panel, const std::string& frame, char answer) {
    panel.Send(frame);
    const double deadline = Now() + 5e6;
    for (;;) {
        const std::string got = panel.PollFrame();
        if (!got.empty()) return got[0] == answer;
        if (Now() > deadline) return false;
    }
}

struct Result {
    double bare, version, line, stream;
};

bool TimeSetUp(const char* design, const TestSettings& parts, int perRound, int rounds,
               Result* result) {
    TestSettings settings = parts;
    settings.fileCfg = design;
    PanelSession panel(OPT_ENGLISH, settings,
                       [](const std::string& dir) { CreateDirectoryA((dir + "\\log").c_str(), nullptr); });
    if (!panel.ok() || !panel.AcknowledgeResetAnnouncement()) {
        std::fprintf(stderr, "the panel did not start: %s\n", panel.error().c_str());
        return false;
    }
    // The bare hand-over goes to the very thread and window the panel hands over to.
    HWND panelWindow = panel.panel();
    const std::string version = "V\r";
    const std::string line = "W0123456789abcdef\r";
    std::vector<double> bare, versions, lines, streams;
    // The first round warms up the panel's start-up (splash, first paint, design) and is not counted.
    for (int round = -1; round < rounds; ++round) {
        if (round == 0) bare.clear(), versions.clear(), lines.clear(), streams.clear();
        // One of each kind in turn, so that all three meet the same load of the machine. Each
        // starts with the panel's thread idle: an untimed WM_NULL waits for whatever the previous
        // message left it to do (the LCD is drawn after the host's call has returned).
        for (int i = 0; i < perRound; ++i) {
            SendMessageA(panelWindow, WM_NULL, 0, 0);
            double start = Now();
            SendMessageA(panelWindow, WM_NULL, 0, 0);
            bare.push_back(Now() - start);
            SendMessageA(panelWindow, WM_NULL, 0, 0);
            start = Now();
            if (!RoundTrip(panel, version, 'v')) return false;
            versions.push_back(Now() - start);
            SendMessageA(panelWindow, WM_NULL, 0, 0);
            start = Now();
            if (!RoundTrip(panel, line, 0x06)) return false;
            lines.push_back(Now() - start);
        }
        // Lines back to back: each call also waits for the drawing of the one before.
        SendMessageA(panelWindow, WM_NULL, 0, 0);
        const double start = Now();
        for (int i = 0; i < perRound; ++i)
            if (!RoundTrip(panel, line, 0x06)) return false;
        SendMessageA(panelWindow, WM_NULL, 0, 0);
        streams.push_back((Now() - start) / perRound);
    }
    *result = Result{Median(bare), Median(versions), Median(lines), Median(streams)};
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <design file> [round trips per round] [rounds]\n", argv[0]);
        return 2;
    }
    const int perRound = argc > 2 ? std::max(1, std::atoi(argv[2])) : 500;
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    g_tickMicroseconds = 1e6 / static_cast<double>(frequency.QuadPart);
    TextSink sink;
    if (!sink.window) {
        std::fprintf(stderr, "no ping window\n");
        return 1;
    }

    struct SetUp {
        const char* name;
        TestSettings settings;
    };
    TestSettings logged;
    logged.rxTxLog = true;
    TestSettings monitored;
    monitored.rxTx = true;
    const SetUp setUps[] = {{"as started", TestSettings{}}, {"RXTX log on", logged}, {"monitor shown", monitored}};

    std::printf("%d x %d round trips of each kind; medians in microseconds, ratios to the bare SendMessage\n",
                rounds, perRound);
    std::printf("%-16s%10s%10s%8s%12s%8s%14s%8s\n", "set-up", "bare us", "'V' us", "ratio", "16 chars us", "ratio",
                "in a row us", "ratio");
    for (const SetUp& setUp : setUps) {
        Result r{};
        if (!TimeSetUp(argv[1], setUp.settings, perRound, rounds, &r)) return 1;
        std::printf("%-16s%10.1f%10.1f%8.3f%12.1f%8.3f%14.1f%8.3f\n", setUp.name, r.bare, r.version,
                    r.version / r.bare, r.line, r.line / r.bare, r.stream, r.stream / r.bare);
        std::fflush(stdout);
    }

    std::printf("\nparts of the host's path alone, microseconds per call (median of %d blocks)\n", rounds);
    for (const BenchPart& part : HostPathParts(sink.window)) {
        std::vector<double> blocks;
        for (int round = 0; round < rounds; ++round) {
            const double start = Now();
            for (int i = 0; i < perRound; ++i) part.run();
            blocks.push_back((Now() - start) / perRound);
        }
        std::printf("  %-44s%10.2f\n", part.name, Median(blocks));
    }
    return 0;
}
