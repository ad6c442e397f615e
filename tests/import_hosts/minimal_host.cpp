// The smallest host, linked against a shipped import library instead of loading the DLL by hand.
// Built twice: the way a Visual Studio user builds it (MSVC's ABI and name mangling from clang in
// MSVC mode, an MSVC-style linker, lib/orppanel.lib, no C runtime: its own entry point, kernel32
// only) and by MinGW against lib/liborppanel.dll.a. It starts the panel, asks for the version
// and exits with 0 once the answer 'v' arrived, else with 1.
#include "orppanel.h"

extern "C" {
__declspec(dllimport) void __stdcall ExitProcess(unsigned int code);
__declspec(dllimport) void* __stdcall GetStdHandle(unsigned long which);
__declspec(dllimport) int __stdcall WriteFile(void* file, const void* data, unsigned long size,
                                              unsigned long* written, void* overlapped);
__declspec(dllimport) void __stdcall Sleep(unsigned long ms);
}

namespace {
unsigned char g_byte;
volatile int g_gotVersion;

void OnPanelByte() {
    if (g_byte == 'v') g_gotVersion = 1;
}

void Say(const char* text) {
    unsigned long length = 0;
    while (text[length]) ++length;
    unsigned long written = 0;
    WriteFile(GetStdHandle(static_cast<unsigned long>(-11)), text, length, &written, nullptr);
}
}  // namespace

extern "C" void HostMain() {
    stOrpOpts options = {0, OPT_ENGLISH};
    SetOptions(&options);
    SetRxTarget(OnPanelByte, &g_byte);
    unsigned char version[] = {'V', '\r'};
    ReceiveFromApp(version, sizeof version);
    for (int i = 0; i < 1000 && !g_gotVersion; ++i) {  // up to 20 s
        CheckRx();
        Sleep(20);
    }
    Close();
    Say(g_gotVersion ? "host: the panel answered 'v'\r\n" : "host: no answer from the panel\r\n");
    ExitProcess(g_gotVersion ? 0 : 1);
}

#ifdef __MINGW32__
int main() { HostMain(); }
#endif
