// Calls of the installed dispatcher hooks that do nothing when the member is unset. For the
// dispatcher and its companions only; not for use outside src/core/protocol.
#pragma once

void StartTimer(int id, unsigned intervalMs);
void StopTimer(int id);
void Beep(unsigned frequencyHz, unsigned durationMs);
