// Frames the panel sends on its own: the reset announcement, repeated until the host
// acknowledges it, and key reports, which wait in the pending key buffer for their
// acknowledgement when the protocol mode asks for it.
//
// The pending key buffer merges reports that arrive while one is outstanding under a single
// 'k'. It never holds more than one frame can carry (kKeyReportMergeLimit), and a
// retransmission carries the sequence byte of the transmission it repeats, so that the host's
// acknowledgement of either matches.
#include "protocol/panel_reports.h"

#include <cstring>

#include "design/object_model.h"
#include "design/design_state.h"
#include "protocol/frame.h"
#include "protocol/host_link.h"
#include "protocol/protocol.h"

namespace {
// The largest message the frame builder frames with every option on.
constexpr int kKeyReportMergeLimit = kFrameBuildSize - 4;

void ClearPending(stPendingKeys& k) {
    k.held = 0;
    k.outstanding = 0;
    k.sequence = 0;
    k.retries = 0;
}

// Builds the held reports and queues them. A repeat keeps the sequence byte of the previous
// transmission even when other frames were numbered since.
void TransmitPending(stProtocol& p, int repeat) {
    stPendingKeys& k = p.pendingKeys;
    uint8_t frame[kFrameBuildSize];
    uint8_t used = 0;
    int framed;
    if (repeat && (ActiveProtocolMode(p) & MODE_SEQUENCE)) {
        std::memcpy(k.bytes + k.held, &k.sequence, 1);
        framed = BuildFrameWithMode(p, static_cast<uint8_t>(ActiveProtocolMode(p) & ~MODE_SEQUENCE), k.bytes,
                                    k.held + 1, 0, frame);
        used = k.sequence;
    } else {
        framed = BuildFrame(p, k.bytes, k.held, repeat, frame, &used);
    }
    if (!framed) return;
    k.sequence = used;
    uint8_t stuffed[kFrameStuffSize];
    const int n = StuffFrame(frame, framed, stuffed, kFrameStuffSize);
    if (n) QueueForHost(p, stuffed, static_cast<uint32_t>(n));
}
}  // namespace

bool PanelAnswers(const stProtocol& p) { return !p.design || p.design->model.linkFlag != 0; }

void ResetPanelReports(stProtocol& p) {
    p.announcementRepetitions = 0;
    ClearPending(p.pendingKeys);
}

void SendResetAnnouncement(stProtocol& p, int repeat) {
    SetActiveProtocolMode(p, 0);
    SetPendingProtocolMode(p, 0);
    const uint8_t announcement = 'r';
    SendToHost(p, &announcement, 1, 0);
    p.platform->StartTimer(TIMER_RESET_ANNOUNCEMENT, kResetAnnouncementMs);
    if (!repeat) {
        p.announcementRepetitions = 0;
        return;
    }
    if (++p.announcementRepetitions == 5) {
        const uint8_t question[] = {'W', '?'};
        InjectCommand(p, question, 2);
        p.announcementRepetitions = 0;
    }
}

int ResetAnnouncementRepetitions(const stProtocol& p) { return p.announcementRepetitions; }

void SendKeyReport(stProtocol& p, int explicitRequest) {
    const uint8_t mode = ActiveProtocolMode(p);
    uint8_t report[kKeyReportMaxSize];
    int changed = 0;
    const int n = EncodeKeyReport(p.keyState, p.reportedKeys, explicitRequest, mode, report, &changed);
    if (!KeyReportDue(explicitRequest, PanelAnswers(p), changed, mode)) return;
    if (mode & MODE_KEY_ACK)
        SubmitKeyReport(p, report, n);
    else
        SendToHost(p, report, n, 0);
}

void SubmitKeyReport(stProtocol& p, const uint8_t* report, int length) {
    stPendingKeys& k = p.pendingKeys;
    if (!report || length < 1 || length > kKeyReportMergeLimit) return;
    if (k.held == 0) {
        std::memcpy(k.bytes, report, static_cast<size_t>(length));
        k.held = k.outstanding = length;
        k.retries = 0;
        TransmitPending(p, 0);
        p.platform->StartTimer(TIMER_KEY_REPORT, kKeyReportRetryMs);
        return;
    }
    if (k.held + length - 1 <= kKeyReportMergeLimit) {
        std::memcpy(k.bytes + k.held, report + 1, static_cast<size_t>(length - 1));
        k.held += length - 1;
        return;
    }
    ClearPending(k);
}

void AcknowledgeKeyReports(stProtocol& p, uint8_t sequence) {
    stPendingKeys& k = p.pendingKeys;
    if (k.outstanding == 0 || k.held == 0) return;
    if ((ActiveProtocolMode(p) & MODE_SEQUENCE) && sequence != k.sequence) return;
    k.held -= k.outstanding;
    p.platform->StopTimer(TIMER_KEY_REPORT);
    if (k.held <= 0) {
        ClearPending(k);
        return;
    }
    std::memmove(k.bytes + 1, k.bytes + k.outstanding, static_cast<size_t>(k.held));
    k.held += 1;
    k.outstanding = k.held;
    k.retries = 0;
    TransmitPending(p, 0);
    p.platform->StartTimer(TIMER_KEY_REPORT, kKeyReportRetryMs);
}

void RetransmitKeyReports(stProtocol& p) {
    stPendingKeys& k = p.pendingKeys;
    p.platform->StopTimer(TIMER_KEY_REPORT);
    if (k.held == 0) return;
    if (++k.retries > kKeyReportMaxRetries) {
        ClearPending(k);
        return;
    }
    k.outstanding = k.held;
    TransmitPending(p, 1);
    p.platform->StartTimer(TIMER_KEY_REPORT, kKeyReportRetryMs);
}

stPendingKeyState PendingKeyState(const stProtocol& p) {
    const stPendingKeys& k = p.pendingKeys;
    return {k.held, k.outstanding, k.sequence, k.retries};
}
const uint8_t* PendingKeyBytes(const stProtocol& p) { return p.pendingKeys.bytes; }

int DispatcherTimer(stProtocol& p, int id) {
    if (id == TIMER_RESET_ANNOUNCEMENT) {
        SendResetAnnouncement(p, 1);
        return 1;
    }
    if (id == TIMER_KEY_REPORT) {
        RetransmitKeyReports(p);
        return 1;
    }
    return 0;
}
