// Messages per second through the headless panel, against the same messages through the core's
// host path and dispatcher alone (framed by the kit's frame builder, the answer delivered from
// the to-host queue and not looked at): once with the same frames through the library's C calls,
// once as a host drives it through the host kit (host kit -> panel -> answer cut and checked).
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

// The two messages of every iteration, framed in kMode with the host's running sequence byte.
class BenchFrames {
public:
    BenchFrames() {
        text_.insert(text_.end(), kText, kText + sizeof kText - 1);
    }
    const orphost::Bytes& Home() { return Frame(home_); }
    const orphost::Bytes& Text() { return Frame(text_); }

private:
    const orphost::Bytes& Frame(const orphost::Bytes& message) {
        orphost::BuildFrameInto(frame_, kMode, message.data(), message.size(), sequence_);
        sequence_ = sequence_ == 'x' ? 'e' : static_cast<uint8_t>(sequence_ + 1);
        return frame_;
    }
    uint8_t sequence_ = 'd';
    orphost::Bytes text_{'W'};
    const orphost::Bytes home_{'D', 0x80};
    orphost::Bytes frame_;
};

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
    BenchFrames frames;
    auto send = [&](const orphost::Bytes& frame) {
        HostLinkReceiveFromApp(BenchPanel().protocol, frame.data(), static_cast<unsigned int>(frame.size()));
        benchmark::DoNotOptimize(HostLinkCheckRx(BenchPanel().protocol));
    };
    for (auto _ : state) {
        send(frames.Home());
        send(frames.Text());
    }
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_CoreDispatcher);

// The headless panel's library alone: the same frames as the dispatcher's run, handed in with
// orph_receive_from_app and the answer taken with orph_read_to_host.
void BM_HeadlessPanel(benchmark::State& state) {
    orph_panel* device = orph_open();
    {
        // The kit acknowledges the reset announcement and sets the mode up.
        orphost::HeadlessTransport link(device);
        orphost::Panel panel(link, orphost::Panel::Options{3, 1});
        panel.WaitForReset();
        if (!panel.SetMode(kMode)) state.SkipWithError("the mode was not set");
    }
    uint8_t answer[64];
    BenchFrames frames;
    auto send = [&](const orphost::Bytes& frame) {
        orph_receive_from_app(device, frame.data(), static_cast<unsigned int>(frame.size()));
        // ACK, the sequence byte, two CRC bytes, CR: the frames were taken in the mode set.
        if (orph_read_to_host(device, answer, sizeof answer) != 5) state.SkipWithError("no ACK in the mode set");
    };
    send(frames.Home());
    if (orph_read_to_host(device, answer, sizeof answer) != 0) state.SkipWithError("the panel answered twice");
    for (auto _ : state) {
        send(frames.Home());
        send(frames.Text());
    }
    state.SetItemsProcessed(state.iterations() * 2);
    orph_close(device);
}
BENCHMARK(BM_HeadlessPanel);

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
    const double headless = reporter.perSecond["BM_HeadlessPanel"];
    const double kit = reporter.perSecond["BM_HeadlessPanelWithHostKit"];
    // 'W' + 18 characters + sequence + 2 CRC + CR, and the ACK (ACK, sequence, 2 CRC, CR).
    const double serial = 11520.0 / (23 + 5);
    if (core > 0 && headless > 0 && kit > 0) {
        std::printf("\nheadless panel: %.0f messages/s, %.2f x the core dispatcher alone (%.0f/s)\n", headless,
                    headless / core, core);
        std::printf("with the host kit (answers cut and checked): %.0f messages/s, %.2f x the core dispatcher, "
                    "%.0f x a 115200 baud serial line (%.0f/s)\n",
                    kit, kit / core, kit / serial, serial);
    }
    return 0;
}
