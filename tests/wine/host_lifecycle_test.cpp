// How a host starts and ends the panel: calls right after SetOptions from a thread that owns a
// visible window, FreeLibrary without Close, and paths with umlauts.
#include <gtest/gtest.h>

#include <cstdio>

#include "harness/panel_session.h"
#include "lcd/lcd_library.h"

namespace {

// Longer than any normal start or end of the panel takes, shorter than the 10 s after which the
// panel's own waits give up: a call that only returns by that give-up counts as stalled.
constexpr DWORD kStallLimitMs = 8000;

LRESULT CALLBACK VisibleHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

unsigned char g_byte = 0;
volatile LONG g_answers = 0;
void CountAnswerByte() {
    if (g_byte == 'v') InterlockedIncrement(&g_answers);
}

// A host on a thread of its own: a visible, active top-level window, then the panel calls.
struct HostThread {
    enum Script { kSetOptionsThenClose, kSetOptionsThenReceive };
    Script script;
    volatile LONG step = 0;  // 1 SetOptions returned, 2 the next call returned, 3 unloaded
    std::string error;

    static DWORD WINAPI Run(LPVOID param) {
        auto* self = static_cast<HostThread*>(param);
        WNDCLASSA wc{};
        wc.lpfnWndProc = VisibleHostProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "OrpVisibleHost";
        RegisterClassA(&wc);
        HWND window = CreateWindowExA(0, "OrpVisibleHost", "Visible host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20,
                                      300, 200, nullptr, nullptr, wc.hInstance, nullptr);
        SetForegroundWindow(window);
        UpdateWindow(window);
        PanelDll dll;
        if (!dll.Load(&self->error)) return 1;
        dll.setRxTarget(CountAnswerByte, &g_byte);
        // Hiding and placing the host's window are calls the panel's thread makes on it.
        dll.Start(OPT_ENGLISH | OPT_HIDE_HOST);
        InterlockedExchange(&self->step, 1);
        if (self->script == kSetOptionsThenClose) {
            dll.close();
        } else {
            dll.Send("V\r");
            InterlockedExchange(&self->step, 2);
            // The answer 'v' must arrive: the message was applied, not dropped.
            WaitUntil([&] {
                dll.checkRx();
                return g_answers > 0;
            });
            dll.close();
        }
        InterlockedExchange(&self->step, 2);
        dll.Unload(false);
        DestroyWindow(window);
        InterlockedExchange(&self->step, 3);
        return 0;
    }
};

void RunHostScript(HostThread::Script script) {
    WriteTestSettings(MakeTempWorkDir("visible_host"), TestSettings{});
    g_answers = 0;
    HostThread host{script, 0, ""};
    HANDLE thread = CreateThread(nullptr, 0, HostThread::Run, &host, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    EXPECT_TRUE(WaitUntil([&] { return host.step >= 1; }, 20000)) << "SetOptions did not return";
    EXPECT_TRUE(WaitUntil([&] { return host.step >= 2; }, kStallLimitMs)) << "the call after SetOptions stalled";
    EXPECT_TRUE(WaitUntil([&] { return host.step >= 3; }, 20000)) << "Close and FreeLibrary did not finish";
    WaitForSingleObject(thread, 20000);
    CloseHandle(thread);
    EXPECT_EQ("", host.error);
    if (script == HostThread::kSetOptionsThenReceive) {
        EXPECT_GT(g_answers, 0) << "the host's 'V' got no answer";
    }
}

TEST(HostLifecycle, CallsRightAfterSetOptionsFromAThreadWithAVisibleWindowDoNotStall) {
    RunHostScript(HostThread::kSetOptionsThenClose);
    RunHostScript(HostThread::kSetOptionsThenReceive);
}

TEST(HostLifecycle, FreeLibraryWithoutCloseEndsThePanelAndALoadStartsANewOne) {
    int threadsBefore = ThreadCount();
    for (int round = 0; round < 3; ++round) {
        PanelSession panel(OPT_ENGLISH);
        ASSERT_TRUE(panel.ok()) << panel.error() << " (round " << round << ")";
        ASSERT_EQ("r\r", panel.NextFrame()) << "round " << round;
        panel.dll().Unload(false);  // FreeLibrary alone
        EXPECT_TRUE(WaitUntil([] { return FindPanelWindow() == nullptr; })) << "panel still shown, round " << round;
        EXPECT_TRUE(WaitUntil([] { return GetModuleHandleA("orppanel.dll") == nullptr; }))
            << "the DLL stayed loaded, round " << round;
    }
    EXPECT_TRUE(WaitUntil([&] { return ThreadCount() <= threadsBefore; })) << "a user-interface thread survived";

    // The library still works in this process afterwards.
    PanelSession again(OPT_ENGLISH);
    ASSERT_TRUE(again.ok()) << again.error();
    ASSERT_TRUE(again.AcknowledgeResetAnnouncement());
    again.Send("V\r");
    EXPECT_EQ('v', again.NextFrame()[0]);
}

void WriteUmlautLibrary(const std::string& workDir) {
    CreateDirectoryA((workDir + "\\ORPDesigns").c_str(), nullptr);
    CreateDirectoryA((workDir + "\\ORPDesigns\\LCDs").c_str(), nullptr);
    const std::string plain = "KAVO1[LCD TYPES]\nName=Gr\xFCn 16x2\nLines=2\nCharacters=16\n";
    const std::string encoded = EncodeLcdFile(plain.data(), plain.size());
    std::FILE* file = std::fopen((workDir + "\\ORPDesigns\\LCDs\\Anzeigen-Gr\xFCn.lcd").c_str(), "wb");
    ASSERT_NE(nullptr, file);
    std::fwrite(encoded.data(), 1, encoded.size(), file);
    std::fclose(file);
}

TEST(HostLifecycle, AWorkDirectoryAndLibraryFileWithUmlautsFindTheirLcdTypes) {
    TestSettings settings;
    settings.workDirTag = "Arbeitsverzeichnis_\xE4";
    PanelSession panel(OPT_ENGLISH | OPT_LCD_LIBRARY, settings, WriteUmlautLibrary);
    ASSERT_TRUE(panel.ok()) << panel.error();
    ASSERT_NE(std::string::npos, panel.workDir().find('\xE4'));
    HMENU lcds = GetSubMenu(GetMenu(panel.panel()), 4);
    ASSERT_NE(nullptr, lcds);
    ASSERT_TRUE(WaitUntil([&] { return GetSubMenu(lcds, 0) != nullptr; })) << "no LCD types were found";
    char text[128] = {};
    GetMenuStringA(lcds, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ("Anzeigen-Gr\xFCn", text);
    GetMenuStringA(GetSubMenu(lcds, 0), 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ("Gr\xFCn 16x2", text);
}

}  // namespace
