// Frames the panel sends on its own: the reset announcement, repeated until the host
// acknowledges it, and key reports with their pending key buffer. The main window's timer
// procedure hands the two timers below to DispatcherTimer.
#pragma once

#include <cstdint>

struct stProtocol;

// Timers of the main window served here.
constexpr int TIMER_RESET_ANNOUNCEMENT = 4;
constexpr unsigned kResetAnnouncementMs = 2000;
constexpr int TIMER_KEY_REPORT = 5;
constexpr unsigned kKeyReportRetryMs = 1000;
constexpr int kKeyReportMaxRetries = 7;

// Whether the panel answers the host itself (no target connected).
bool PanelAnswers(const stProtocol& p);

// Clears the announcement repetition count and the pending key buffer.
void ResetPanelReports(stProtocol& p);

// ---- reset announcement -------------------------------------------------------------------
// Sets both protocol modes to 0, queues 'r' and (re)starts the announcement timer. A first
// send restarts the repetition count; every fifth repetition injects 'W' '?'.
void SendResetAnnouncement(stProtocol& p, int repeat);
int ResetAnnouncementRepetitions(const stProtocol& p);

// ---- key reports --------------------------------------------------------------------------
// Encodes the difference between the key state and the reported key bitmap and sends it when
// it is due (directly, or through the pending key buffer when the mode asks for acks).
void SendKeyReport(stProtocol& p, int explicitRequest);

// Pending key buffer.
void SubmitKeyReport(stProtocol& p, const uint8_t* report, int length);
void AcknowledgeKeyReports(stProtocol& p, uint8_t sequence);
void RetransmitKeyReports(stProtocol& p);  // timer 5 expired

struct stPendingKeyState {
    int held;          // T: bytes held, the leading 'k' included
    int outstanding;   // O: bytes covered by the last transmission
    uint8_t sequence;  // Q: sequence byte of that transmission
    int retries;
};
stPendingKeyState PendingKeyState(const stProtocol& p);
const uint8_t* PendingKeyBytes(const stProtocol& p);

// Timer procedure share: handles the announcement and key report timers. Returns 1 when the
// id was one of them.
int DispatcherTimer(stProtocol& p, int id);
