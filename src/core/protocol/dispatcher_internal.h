// Shared between the dispatcher and its companions (reset announcement, pending key buffer);
// not for use outside src/core/protocol.
#pragma once

void StartTimer(int id, unsigned intervalMs);
void StopTimer(int id);
// Clears the announcement repetition count and the pending key buffer.
void ResetPanelReports();
