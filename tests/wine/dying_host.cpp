// A host for the log test: starts the panel on the settings the test wrote, makes one round
// trip ('V' answered by 'v') and ends its process at once, without Close and without unloading
// the DLL, as a crashing firmware would. Exit code 7 after the round trip, 2 or 3 before it.
#include "harness/panel_session.h"

int main() {
    TestSettings settings;
    settings.keepKey = true;
    PanelSession session(OPT_ENGLISH, settings);
    if (!session.ok() || !session.AcknowledgeResetAnnouncement()) return 2;
    session.Send("V\r");
    const std::string answer = session.NextFrame();
    if (answer.empty() || answer[0] != 'v') return 3;
    TerminateProcess(GetCurrentProcess(), 7);
    return 0;
}
