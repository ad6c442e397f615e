// Frames the panel sends on its own: the reset announcement, repeated until the host
// acknowledges it, and key reports, which wait in the pending key buffer for their
// acknowledgement when the protocol mode asks for it.
//
// The pending key buffer merges reports that arrive while one is outstanding under a single
// 'k'. It never holds more than one frame can carry (kKeyReportMergeLimit), and a
// retransmission carries the sequence byte of the transmission it repeats, so that the host's
// acknowledgement of either matches.
#include <cstring>

#include "protocol/dispatcher.h"
#include "protocol/dispatcher_internal.h"
#include "protocol/frame.h"
#include "protocol/host_link.h"

namespace {
// The largest message the frame builder frames with every option on.
constexpr int kKeyReportMergeLimit = kFrameBuildSize - 4;

int g_repetitions = 0;

uint8_t g_pending[kPendingKeyBufferSize];
int g_held = 0;          // T
int g_outstanding = 0;   // O
uint8_t g_sequence = 0;  // Q
int g_retries = 0;

void ClearPending() {
    g_held = 0;
    g_outstanding = 0;
    g_sequence = 0;
    g_retries = 0;
}

// Builds the held reports and queues them. A repeat keeps the sequence byte of the previous
// transmission even when other frames were numbered since.
void TransmitPending(int repeat) {
    uint8_t frame[kFrameBuildSize];
    uint8_t used = 0;
    int framed;
    if (repeat && (ActiveProtocolMode() & MODE_SEQUENCE)) {
        std::memcpy(g_pending + g_held, &g_sequence, 1);
        framed = BuildFrameWithMode(static_cast<uint8_t>(ActiveProtocolMode() & ~MODE_SEQUENCE), g_pending,
                                    g_held + 1, 0, frame);
        used = g_sequence;
    } else {
        framed = BuildFrame(g_pending, g_held, repeat, frame, &used);
    }
    if (!framed) return;
    g_sequence = used;
    uint8_t stuffed[kFrameStuffSize];
    const int n = StuffFrame(frame, framed, stuffed, kFrameStuffSize);
    if (n) QueueForHost(stuffed, static_cast<uint32_t>(n));
}
}  // namespace

void ResetPanelReports() {
    g_repetitions = 0;
    ClearPending();
}

void SendResetAnnouncement(int repeat) {
    SetActiveProtocolMode(0);
    SetPendingProtocolMode(0);
    const uint8_t announcement = 'r';
    SendToHost(&announcement, 1, 0);
    StartTimer(TIMER_RESET_ANNOUNCEMENT, kResetAnnouncementMs);
    if (!repeat) {
        g_repetitions = 0;
        return;
    }
    if (++g_repetitions == 5) {
        const uint8_t question[] = {'W', '?'};
        InjectCommand(question, 2);
        g_repetitions = 0;
    }
}

int ResetAnnouncementRepetitions() { return g_repetitions; }

void SendKeyReport(int explicitRequest) {
    const uint8_t mode = ActiveProtocolMode();
    uint8_t report[kKeyReportMaxSize];
    int changed = 0;
    const int n = EncodeKeyReport(KeyStateBitmap(), ReportedKeyBitmap(), explicitRequest, mode, report, &changed);
    if (!KeyReportDue(explicitRequest, PanelAnswers(), changed, mode)) return;
    if (mode & MODE_KEY_ACK)
        SubmitKeyReport(report, n);
    else
        SendToHost(report, n, 0);
}

void SubmitKeyReport(const uint8_t* report, int length) {
    if (!report || length < 1 || length > kKeyReportMergeLimit) return;
    if (g_held == 0) {
        std::memcpy(g_pending, report, static_cast<size_t>(length));
        g_held = g_outstanding = length;
        g_retries = 0;
        TransmitPending(0);
        StartTimer(TIMER_KEY_REPORT, kKeyReportRetryMs);
        return;
    }
    if (g_held + length - 1 <= kKeyReportMergeLimit) {
        std::memcpy(g_pending + g_held, report + 1, static_cast<size_t>(length - 1));
        g_held += length - 1;
        return;
    }
    ClearPending();
}

void AcknowledgeKeyReports(uint8_t sequence) {
    if (g_outstanding == 0 || g_held == 0) return;
    if ((ActiveProtocolMode() & MODE_SEQUENCE) && sequence != g_sequence) return;
    g_held -= g_outstanding;
    StopTimer(TIMER_KEY_REPORT);
    if (g_held <= 0) {
        ClearPending();
        return;
    }
    std::memmove(g_pending + 1, g_pending + g_outstanding, static_cast<size_t>(g_held));
    g_held += 1;
    g_outstanding = g_held;
    g_retries = 0;
    TransmitPending(0);
    StartTimer(TIMER_KEY_REPORT, kKeyReportRetryMs);
}

void RetransmitKeyReports() {
    StopTimer(TIMER_KEY_REPORT);
    if (g_held == 0) return;
    if (++g_retries > kKeyReportMaxRetries) {
        ClearPending();
        return;
    }
    g_outstanding = g_held;
    TransmitPending(1);
    StartTimer(TIMER_KEY_REPORT, kKeyReportRetryMs);
}

stPendingKeyState PendingKeyState() { return {g_held, g_outstanding, g_sequence, g_retries}; }
const uint8_t* PendingKeyBytes() { return g_pending; }

int DispatcherTimer(int id) {
    if (id == TIMER_RESET_ANNOUNCEMENT) {
        SendResetAnnouncement(1);
        return 1;
    }
    if (id == TIMER_KEY_REPORT) {
        RetransmitKeyReports();
        return 1;
    }
    return 0;
}
