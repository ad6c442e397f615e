// The installed dispatcher hooks. See dispatcher_hooks.h.
#include "protocol/dispatcher_hooks.h"

#include "protocol/hook_calls.h"

namespace {
stDispatcherHooks g_hooks{};
}  // namespace

void SetDispatcherHooks(const stDispatcherHooks* hooks) { g_hooks = hooks ? *hooks : stDispatcherHooks{}; }
stDispatcherHooks DispatcherHooks() { return g_hooks; }
const stDispatcherHooks& InstalledDispatcherHooks() { return g_hooks; }

void StartTimer(int id, unsigned intervalMs) {
    if (g_hooks.startTimer) g_hooks.startTimer(id, intervalMs);
}
void StopTimer(int id) {
    if (g_hooks.stopTimer) g_hooks.stopTimer(id);
}
void Beep(unsigned frequencyHz, unsigned durationMs) {
    if (g_hooks.beep) g_hooks.beep(frequencyHz, durationMs);
}
