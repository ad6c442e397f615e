// Cost of the panel's per-message work on the host path, against copying the same bytes.
//
// Read the results as ratios to BM_CopyFrame of the same run (scripts/bench.sh prints them):
// the absolute times depend on the machine and its load.
#include <benchmark/benchmark.h>

#include <cstring>

#include "design/object_model.h"
#include "lcd/controller.h"
#include "monitor/monitor_line.h"
#include "panel/panel.h"
#include "protocol/dispatcher.h"
#include "protocol/frame.h"
#include "protocol/protocol.h"
#include "bench_panel.h"

namespace {

const uint8_t kFrame[] = "WHello, panel! 0123\r";
constexpr int kFrameLength = sizeof kFrame - 1;

void SetUpPanel() {
    if (!BenchPanel().design.keys) CreatePanelLists(BenchPanel());
    BenchPanel().design.model.linkFlag = 0;  // no answers queued: measure the work, not the to-host queue
    LcdReset(BenchPanel().lcd);
    LcdSendInitSequence(BenchPanel().lcd);
}

// Baseline: copying the frame, the least any handling of it costs.
void BM_CopyFrame(benchmark::State& state) {
    uint8_t copy[64];
    for (auto _ : state) {
        std::memcpy(copy, kFrame, kFrameLength);
        benchmark::DoNotOptimize(copy);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CopyFrame);

// Assembling, unescaping and checking one frame.
void BM_AssembleAndCheck(benchmark::State& state) {
    stFrameAssembler assembler;
    ResetFrameAssembler(&assembler);
    stAssembledFrame frame;
    stProtocol protocol;
    uint8_t raw[kFrameLength + 1];
    for (auto _ : state) {
        FeedFrameAssembler(&assembler, kFrame, kFrameLength, &frame);
        int length = UnescapeFrame(kFrame, kFrameLength, raw);
        benchmark::DoNotOptimize(CheckFrame(protocol, raw, length, 0, 0, nullptr));
    }
}
BENCHMARK(BM_AssembleAndCheck);

// Dispatching an LCD data message: 18 characters into display memory.
void BM_DispatchLcdText(benchmark::State& state) {
    SetUpPanel();
    stProtocol protocol;
    protocol.design = &BenchPanel().design;  // the panel's model: it queues no answers
    for (auto _ : state) {
        LcdExecute(BenchPanel().lcd, kLcdInstruction, 0x80);  // back to the start of the line
        DispatchPanelMessage(stDispatchContext{protocol, BenchPanel().lcd, BenchPanel().lcdDraw}, kFrame, kFrameLength);
    }
}
BENCHMARK(BM_DispatchLcdText);

// Rendering the frame as a Rx/Tx monitor line.
void BM_MonitorLine(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(FormatMonitorLine(1, kFrame, kFrameLength, 0, 0));
}
BENCHMARK(BM_MonitorLine);

}  // namespace
