// Messages per second through the headless panel as a host drives it (host kit -> panel ->
// answer), against the same messages through the core's host path and dispatcher alone (framed
// by the kit's frame builder, the answer delivered from the to-host queue and not looked at).
//
// The program prints the ratio of the two after the runs, and how far both are above what a
// serial line at 115200 baud carries (10 bits a byte, the frame and its ACK).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include "design/object_model.h"
#include "lcd/controller.h"
#include "orppanel_headless.h"
#include "orppanel_host.h"
#include "panel/panel.h"
#include "protocol/dispatcher.h"
#include "protocol/frame.h"
#include "protocol/host_link.h"
#include "bench_panel.h"

namespace {

constexpr uint8_t kMode = 0x18;  // sequence byte and CRC-16: the kit's full work
const char kText[] = "Hello, panel! 0123";

unsigned char g_byte;
void OnByte() {}

// The hand-over runs the dispatcher at once, as the panel window does.
class BenchPlatform : public PanelPlatform {
public:
    bool HandOver() override {
        DispatchAllMessages(PanelDispatch(BenchPanel()));
        return true;
    }
} g_platform;

void BM_CoreDispatcher(benchmark::State& state) {
    if (!BenchPanel().design.keys) CreatePanelLists(BenchPanel());
    BenchPanel().design.model.linkFlag = 1;
    ResetProtocolState(BenchPanel().protocol);
    ResetDispatcherState(BenchPanel().protocol);
    InstallPlatform(BenchPanel(), &g_platform);
    HostLinkSetRxTarget(BenchPanel().protocol, OnByte, &g_byte);
    LcdReset(BenchPanel().lcd);
    LcdSendInitSequence(BenchPanel().lcd);
    SetActiveProtocolMode(BenchPanel().protocol, kMode);
    SetPendingProtocolMode(BenchPanel().protocol, kMode);
    uint8_t sequence = 'd';
    orphost::Bytes text{'W'};
    text.insert(text.end(), kText, kText + sizeof kText - 1);
    const orphost::Bytes home{'D', 0x80};
    auto send = [&](const orphost::Bytes& message) {
        const orphost::Bytes frame = orphost::BuildFrame(kMode, message.data(), message.size(), sequence);
        sequence = sequence == 'x' ? 'e' : static_cast<uint8_t>(sequence + 1);
        HostLinkReceiveFromApp(BenchPanel().protocol, frame.data(), static_cast<unsigned int>(frame.size()));
        benchmark::DoNotOptimize(HostLinkCheckRx(BenchPanel().protocol));
    };
    for (auto _ : state) {
        send(home);
        send(text);
    }
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_CoreDispatcher);

void BM_HeadlessPanelWithHostKit(benchmark::State& state) {
    orph_panel* device = orph_open();
    orphost::HeadlessTransport link(device);
    orphost::Panel panel(link, orphost::Panel::Options{3, 1});
    panel.WaitForReset();
    panel.SetMode(kMode);
    for (auto _ : state) {
        panel.SetAddress(0);
        benchmark::DoNotOptimize(panel.Text(kText));
    }
    state.SetItemsProcessed(state.iterations() * 2);
    orph_close(device);
}
BENCHMARK(BM_HeadlessPanelWithHostKit);

// Console output, plus the messages per second of each run for the summary.
class Reporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> perSecond;
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            auto it = run.counters.find("items_per_second");
            if (it != run.counters.end()) perSecond[run.benchmark_name()] = it->second;
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    Reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double core = reporter.perSecond["BM_CoreDispatcher"];
    const double kit = reporter.perSecond["BM_HeadlessPanelWithHostKit"];
    // 'W' + 18 characters + sequence + 2 CRC + CR, and the ACK (ACK, sequence, 2 CRC, CR).
    const double serial = 11520.0 / (23 + 5);
    if (core > 0 && kit > 0)
        std::printf("\nheadless panel with host kit: %.0f messages/s, %.2f x the core dispatcher alone "
                    "(%.0f/s), %.0f x a 115200 baud serial line (%.0f/s)\n",
                    kit, kit / core, core, kit / serial, serial);
    return 0;
}
