// Calls of the installed dispatcher hooks that do nothing when the member is unset. For the
// dispatcher and its companions only; not for use outside src/core/protocol.
#pragma once

struct stDispatcherHooks;

// The installed record itself, without a copy (the host path calls it for every message).
const stDispatcherHooks& InstalledDispatcherHooks();

void StartTimer(int id, unsigned intervalMs);
void StopTimer(int id);
void Beep(unsigned frequencyHz, unsigned durationMs);
