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
#include "bench_timing.h"

namespace {

// The panel window's hand-over message (a host's ReceiveFromApp sends it with the call's bytes).
constexpr UINT kIncomingMessage = WM_USER + 2;

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

// The kinds of call timed in turn; the first is the baseline of the ratios.
enum Kind { kBare, kEmptyHandOver, kReceiveOnly, kVersion, kLine, kKinds };
const char* const kKindNames[kKinds] = {"bare SendMessage (WM_NULL)", "hand-over with nothing to dispatch",
                                        "ReceiveFromApp('V') alone", "'V' round trip",
                                        "16-character 'W' round trip"};

struct Result {
    double median[kKinds];
    double linesInARow;  // mean of a 16-character 'W' round trip, lines back to back
};

bool TimeSetUp(const char* design, const TestSettings& parts, int perRound, int rounds, Result* result) {
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
    auto settle = [&] { SendMessageA(panelWindow, WM_NULL, 0, 0); };
    // Each call, timed alone; false when the panel did not answer.
    auto call = [&](int kind) {
        switch (kind) {
        case kBare: SendMessageA(panelWindow, WM_NULL, 0, 0); return true;
        case kEmptyHandOver: SendMessageA(panelWindow, kIncomingMessage, 0, 0); return true;
        case kReceiveOnly: panel.Send(version); return true;
        case kVersion: return RoundTrip(panel, version, 'v');
        default: return RoundTrip(panel, line, 0x06);
        }
    };
    std::vector<double> samples[kKinds], streams;
    // The first round warms up the panel's start-up (splash, first paint, design) and is not counted.
    for (int round = -1; round < rounds; ++round) {
        if (round == 0)
            for (auto& kind : samples) kind.clear();
        // One of each kind in turn, so that all of them meet the same load of the machine. Each
        // starts with the panel's thread idle: an untimed WM_NULL waits for whatever the previous
        // call left it to do.
        for (int i = 0; i < perRound; ++i) {
            for (int kind = 0; kind < kKinds; ++kind) {
                settle();
                const double start = Now();
                if (!call(kind)) return false;
                samples[kind].push_back(Now() - start);
                if (kind == kReceiveOnly && !RoundTrip(panel, "", 'v')) return false;  // its answer
            }
        }
        // Lines back to back: each call may also wait for drawing that the ones before left.
        settle();
        const double start = Now();
        for (int i = 0; i < perRound; ++i)
            if (!RoundTrip(panel, line, 0x06)) return false;
        settle();
        streams.push_back((Now() - start) / perRound);
    }
    for (int kind = 0; kind < kKinds; ++kind) result->median[kind] = Median(samples[kind]);
    result->linesInARow = Median(streams);
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

    std::printf("%d x %d calls of each kind, one of each in turn; medians in microseconds, and as ratios\n"
                "to the bare SendMessage of the same set-up\n",
                rounds, perRound);
    for (const SetUp& setUp : setUps) {
        Result r{};
        if (!TimeSetUp(argv[1], setUp.settings, perRound, rounds, &r)) return 1;
        std::printf("\n%s\n", setUp.name);
        for (int kind = 0; kind < kKinds; ++kind)
            std::printf("  %-44s%10.1f%8.3f\n", kKindNames[kind], r.median[kind], r.median[kind] / r.median[kBare]);
        std::printf("  %-44s%10.1f%8.3f\n", "16-character 'W' round trips in a row", r.linesInARow,
                    r.linesInARow / r.median[kBare]);
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
