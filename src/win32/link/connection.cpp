// Connection management. The progress dialog drives an attempt: it opens the link, runs the
// setup step (for the network: hello and a 2-second wait, three times at most), and ends with 1
// when the target grants the connection, or with 2 when the user gives up. Private codes in
// wParam of PANEL_WM_SOCKET reach the dialog from the timer and from the main window's network
// status handling. A second progress dialog can run while the first one is still open (a
// target locked during an attempt), so each dialog keeps its own attempt record.
#include "link/connection.h"

#include <cstdio>
#include <string>

#include "common/options.h"
#include "design/object_model.h"
#include "link/comm_settings_dialog.h"
#include "link/serial_link.h"
#include "api/dll_panel.h"
#include "protocol/key_input.h"
#include "link/target_link.h"
#include "link/udp_link.h"
#include "link_ids.h"
#include "monitor/trace.h"
#include "protocol/frame.h"
#include "protocol/host_link.h"
#include "resource_ids.h"
#include "settings/settings.h"
#include "ui/main_messages.h"
#include "ui/window_layout.h"
#include "ui/window_registry.h"
#include "ui/dialog_box.h"

namespace {
stConnectionUi g_connectionUi{};

// Codes sent to the progress dialog.
enum : WPARAM {
    CODE_ESTABLISHED = 1,
    CODE_RETRY,
    CODE_CANCEL,
    CODE_UNREACHABLE,
    CODE_CANCEL_TAKEOVER,
    CODE_CLOSE,
};

// Initialisation values of the progress dialog after a takeover or a supervisor lock.
constexpr LPARAM INIT_TAKEN_OVER = 7;
constexpr LPARAM INIT_TAKEN_OVER_SUPERVISOR = 11;
constexpr LPARAM INIT_LOCKED_DURING_ATTEMPT = 13;

// One progress dialog's state, on the stack of the call that runs the dialog.
struct stAttempt {
    LPARAM init;   // the dialog's initialisation value
    int retries;   // handshake repetitions since the dialog started or the user retried
    bool waiting;  // timer 7 runs; a timer message still queued after it stopped is ignored
};

bool g_lockReported = false;  // the dialogs for a target locked during an attempt are up

stAttempt& AttemptOf(HWND dialog) { return *reinterpret_cast<stAttempt*>(GetWindowLongPtrA(dialog, DWLP_USER)); }

constexpr UINT kHandshakeWaitMs = 2000;
constexpr int kHandshakeRepeats = 3;

void StartHandshakeWait(HWND dialog) {
    AttemptOf(dialog).waiting = true;
    SetTimer(dialog, TIMER_HANDSHAKE, kHandshakeWaitMs, nullptr);
}

void StopHandshakeWait(HWND dialog) {
    KillTimer(dialog, TIMER_HANDSHAKE);
    AttemptOf(dialog).waiting = false;
}

bool Network() { return DllPanel().settings.ifaceType != 0; }
int& LinkKind() { return DllPanel().design.model.linkInterface; }
void SetPanelAnswers(int answers) { DllPanel().design.model.linkFlag = answers; }

std::string PortText() {
    char text[16];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(DllPanel().settings.netPort));
    return text;
}

// ---- texts of the progress dialog ------------------------------------------------------------
// German from the string table; English wordings of the same messages with OPT_ENGLISH.
const char* EnglishText(UINT id) {
    switch (id) {
    case IDS_CONNECTING: return "Connecting to %s with port number %d.";
    case IDS_NO_ANSWER: return "No answer from %s with port number %d.\nRepetition %d.";
    case IDS_RETRY: return "Would you like to try again?";
    case IDS_UNREACHABLE: return "The target cannot be reached.\nPlease check the IP address and the port number.";
    case IDS_TAKEN_OVER: return "The connection was taken over by another user. ";
    case IDS_TAKEN_OVER_SUPERVISOR:
        return "The connection was taken over by another user with supervisor rights.\n"
               "The next connection from here is possible only in a few minutes.";
    default: return "";
    }
}

// The German string table entry, whatever the system's language: the English table shares
// some string blocks with these ids but has no entries for them.
void LoadGermanString(UINT id, char* out, int size) {
    out[0] = '\0';
    HINSTANCE module = Windows().hInstance;
    HRSRC block = FindResourceExA(module, reinterpret_cast<LPCSTR>(RT_STRING),
                                  MAKEINTRESOURCEA(id / 16 + 1), MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN));
    HGLOBAL loaded = block ? LoadResource(module, block) : nullptr;
    const auto* entry = loaded ? static_cast<const WCHAR*>(LockResource(loaded)) : nullptr;
    if (!entry) return;
    const DWORD blockSize = SizeofResource(module, block) / sizeof(WCHAR);
    DWORD at = 0;
    // A block holds 16 counted UTF-16 strings; skip to the one for this id.
    for (UINT i = 0; i < id % 16 && at < blockSize; ++i) at += 1u + entry[at];
    if (at >= blockSize || entry[at] == 0 || at + 1u + entry[at] > blockSize) return;
    const int length = WideCharToMultiByte(1252, 0, entry + at + 1, entry[at], out, size - 1, nullptr, nullptr);
    out[length > 0 ? length : 0] = '\0';
}

void ShowText(HWND dialog, UINT id, int retry = 0) {
    char format[512] = {};
    if (EnglishUi(DllPanel().options))
        lstrcpynA(format, EnglishText(id), sizeof format);
    else
        LoadGermanString(id, format, sizeof format);
    char text[640];
    std::snprintf(text, sizeof text, format, DllPanel().settings.netIp, static_cast<int>(DllPanel().settings.netPort), retry);
    SetDlgItemTextA(dialog, IDC_CONNECT_TEXT, text);
}

// ---- open, set up and close -------------------------------------------------------------------
enum class OpenResult { kOpened, kFailed, kNotConfigured };

OpenResult OpenLink(HWND main) {
    if (Network()) {
        if (!NetworkTargetConfigured()) {
            DllPanel().settings.ifaceType = 1;
            SendMessageA(main, WM_COMMAND, CMD_COMM_SETTINGS, 0);
            return OpenResult::kNotConfigured;
        }
        if (UdpLinkState() != 0) {
            Trace(DllPanel().monitor, "Lan Schnittstelle bereits offen\r\n");
            return OpenResult::kFailed;
        }
        LinkKind() = 1;
        UdpCreateSocket(main);
        UdpBind();
        return OpenResult::kOpened;
    }
    if (SerialIsOpen()) {
        Trace(DllPanel().monitor, "Seriellen Schnittstelle bereits offen\r\n");
        return OpenResult::kFailed;
    }
    if (!SerialStart(DllPanel().settings.commPort, static_cast<DWORD>(DllPanel().settings.commBaud))) {
        Trace(DllPanel().monitor, "Fehler beim \xF6" "ffnen der seriellen Schnittstelle\r\n");
        return OpenResult::kFailed;
    }
    LinkKind() = 0;
    return OpenResult::kOpened;
}

void SetBothModes(uint8_t mode) {
    SetActiveProtocolMode(DllPanel().protocol, mode);
    SetPendingProtocolMode(DllPanel().protocol, mode);
}

void SetupStep(HWND dialog) {
    const bool notice = HasOption(DllPanel().options, OPT_LINK_SETUP_MSG);
    if (Network()) {
        if (notice) {
            SetBothModes(static_cast<uint8_t>((PendingProtocolMode(DllPanel().protocol) & ~MODE_CHECKSUM) | MODE_CRC | MODE_SEQUENCE));
            const uint8_t linkNotice[] = {'!', 'U', 0xAA, '7', 0xB1};
            SendToHost(DllPanel().protocol, linkNotice, sizeof linkNotice, 0);
        }
        const uint8_t hello[] = {'H'};
        InjectCommand(DllPanel().protocol, hello, sizeof hello);
        StartHandshakeWait(dialog);
        return;
    }
    if (notice) {
        SetBothModes(0);
        const uint8_t linkNotice[] = {'!', '#', 'q', ')', 0xDF};
        SendToHost(DllPanel().protocol, linkNotice, sizeof linkNotice, 0);
    }
}

void CloseLink() {
    if (Network()) {
        ConnectionUi().connIcon = 2;
        UdpClose();
        Trace(DllPanel().monitor, "Socket geschlossen\r\n");
    } else {
        ConnectionUi().connIcon = 0;
        SerialStop();
        Trace(DllPanel().monitor, "Seriellen Schnittstelle geschlossen\r\n");
    }
    SetPanelAnswers(1);
    LinkKind() = -1;
}

// ---- progress dialog ------------------------------------------------------------------------
void CancelAttempt(HWND dialog) {
    const bool unreachable = !IsWindowEnabled(GetDlgItem(dialog, IDOK)) && IsWindowEnabled(GetDlgItem(dialog, IDCANCEL));
    StopHandshakeWait(dialog);
    if (unreachable) PostMessageA(Windows().hwndMain, WM_COMMAND, CMD_COMM_SETTINGS, 0);
    CloseLink();
    SetPanelAnswers(1);
    if (ConnectionUi().hwndConnectDlg == dialog) ConnectionUi().hwndConnectDlg = nullptr;
    EndDialog(dialog, IDCANCEL);
}

void OnConnectInit(HWND dialog, LPARAM init) {
    ConnectionUi().hwndConnectDlg = dialog;
    switch (OpenLink(Windows().hwndMain)) {
    case OpenResult::kOpened:
        // A serial target has no handshake: the link works from the moment the port is open,
        // so the attempt counts as established at once and the target answers the host from
        // now. The panel stops answering here, not when the posted code arrives: host frames
        // handled before it would be answered by both the panel and the target.
        if (!Network()) SetPanelAnswers(0);
        ShowText(dialog, IDS_CONNECTING);
        SetupStep(dialog);
        if (!Network()) PostMessageA(dialog, PANEL_WM_SOCKET, CODE_ESTABLISHED, 0);
        return;
    case OpenResult::kNotConfigured:
        // The settings dialog has run (and, on OK, a connection attempt of its own): this one
        // has no link to set up.
        if (ConnectionUi().hwndConnectDlg == dialog) ConnectionUi().hwndConnectDlg = nullptr;
        EndDialog(dialog, IDCANCEL);
        return;
    case OpenResult::kFailed:
        break;
    }
    if (init == INIT_TAKEN_OVER || init == INIT_LOCKED_DURING_ATTEMPT) {
        ShowText(dialog, IDS_TAKEN_OVER);
        EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE);
    } else if (init == INIT_TAKEN_OVER_SUPERVISOR) {
        ShowText(dialog, IDS_TAKEN_OVER_SUPERVISOR);
        EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE);
    } else {
        CancelAttempt(dialog);  // so Connect while the link is open closes it
    }
}

void OnConnectCode(HWND dialog, WPARAM code) {
    switch (code) {
    case CODE_ESTABLISHED:
        StopHandshakeWait(dialog);
        SetPanelAnswers(0);
        LinkKind() = -1;
        ConnectionUi().connIcon = Network() ? 3 : 1;
        if (ConnectionUi().hwndConnectDlg == dialog) ConnectionUi().hwndConnectDlg = nullptr;
        EndDialog(dialog, IDOK);
        break;
    case CODE_RETRY: {
        stAttempt& attempt = AttemptOf(dialog);
        if (attempt.retries++ == kHandshakeRepeats) {
            StopHandshakeWait(dialog);
            ShowText(dialog, IDS_RETRY);
        } else {
            ShowText(dialog, IDS_NO_ANSWER, attempt.retries);
            SetupStep(dialog);
        }
        break;
    }
    case CODE_UNREACHABLE:
        StopHandshakeWait(dialog);
        ShowText(dialog, IDS_UNREACHABLE);
        EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
        break;
    case CODE_CANCEL:
    case CODE_CANCEL_TAKEOVER:
        CancelAttempt(dialog);
        break;
    case CODE_CLOSE:
        StopHandshakeWait(dialog);
        EndDialog(dialog, IDCANCEL);
        break;
    default:
        break;
    }
}

INT_PTR CALLBACK ConnectDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        OnConnectInit(dialog, AttemptOf(dialog).init);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            if (IsWindowEnabled(GetDlgItem(dialog, IDOK)) && IsWindowEnabled(GetDlgItem(dialog, IDCANCEL))) {
                AttemptOf(dialog).retries = 0;
                ShowText(dialog, IDS_CONNECTING);
                SetupStep(dialog);
            } else {
                CancelAttempt(dialog);
            }
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            CancelAttempt(dialog);
            return TRUE;
        }
        return FALSE;
    case WM_TIMER:
        if (wParam == TIMER_HANDSHAKE) {
            const bool waiting = AttemptOf(dialog).waiting;
            StopHandshakeWait(dialog);
            if (waiting) SendMessageA(dialog, PANEL_WM_SOCKET, CODE_RETRY, 0);
        }
        return TRUE;
    case PANEL_WM_SOCKET:
        OnConnectCode(dialog, wParam);
        return TRUE;
    case WM_DESTROY:
        KillTimer(dialog, TIMER_HANDSHAKE);
        if (ConnectionUi().hwndConnectDlg == dialog) ConnectionUi().hwndConnectDlg = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}

INT_PTR RunConnectDialog(HWND main, LPARAM init) {
    stAttempt attempt{init, 0, false};
    INT_PTR result = RunDialogInLanguage(main, IDD_CONNECT_EN, IDD_CONNECT_DE, ConnectDialogProc,
                                     reinterpret_cast<LPARAM>(&attempt));
    InvalidateRect(main, &WindowLayout().iconRect, TRUE);
    return result;
}

// ---- takeover and blocked dialogs -----------------------------------------------------------
INT_PTR CALLBACK TakeOverDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        ConnectionUi().hwndTakeOverDlg = dialog;
        return TRUE;
    case WM_COMMAND: {
        const uint8_t supervisor = LOWORD(wParam) == IDC_SUPERVISOR ? 0x01 : 0x00;
        if (LOWORD(wParam) == IDC_TAKEOVER || LOWORD(wParam) == IDC_SUPERVISOR) {
            const uint8_t takeOver[] = {'F', supervisor};
            InjectCommand(DllPanel().protocol, takeOver, sizeof takeOver);
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    }
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK BlockedDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

void OnTargetInUse(HWND main) {
    stConnectionUi& connection = ConnectionUi();
    if (LinkKind() == -1) {
        RunConnectDialog(main, INIT_TAKEN_OVER);
        return;
    }
    if (connection.hwndTakeOverDlg) return;
    HWND attempt = connection.hwndConnectDlg;
    if (attempt) SendMessageA(attempt, PANEL_WM_SOCKET, CODE_CLOSE, 0);
    INT_PTR answer = RunDialogInLanguage(main, IDD_TAKEOVER_EN, IDD_TAKEOVER_DE, TakeOverDialogProc);
    // The attempt's dialog has been told to end but still exists until its loop returns.
    if (attempt && IsWindow(attempt))
        SendMessageA(attempt, PANEL_WM_SOCKET, answer == IDCANCEL ? CODE_CANCEL_TAKEOVER : CODE_ESTABLISHED, 0);
    connection.hwndTakeOverDlg = nullptr;
}

void OnTargetLocked(HWND main) {
    if (LinkKind() == -1) {
        RunConnectDialog(main, INIT_TAKEN_OVER_SUPERVISOR);
        return;
    }
    // Answers to hellos sent before the attempt stopped waiting may still come in: the lock is
    // reported once.
    if (g_lockReported) return;
    g_lockReported = true;
    // The attempt waits no longer: its timer would send the hello again while the dialogs below
    // run, and each answer would open one more dialog.
    HWND attempt = ConnectionUi().hwndConnectDlg;
    if (attempt) StopHandshakeWait(attempt);
    RunConnectDialog(main, INIT_LOCKED_DURING_ATTEMPT);
    RunDialogInLanguage(main, IDD_BLOCKED_EN, IDD_BLOCKED_DE, BlockedDialogProc);
    g_lockReported = false;
    // The link of the attempt is closed: its dialog has nothing left to wait for.
    if (attempt && IsWindow(attempt)) SendMessageA(attempt, PANEL_WM_SOCKET, CODE_CANCEL, 0);
}
}  // namespace

stConnectionUi& ConnectionUi() { return g_connectionUi; }

void ConnectCommand(HWND window) { RunConnectDialog(window, reinterpret_cast<LPARAM>(window)); }

void OpenCommSettings(HWND window) {
    if (RunCommSettingsDialog(window) == IDOK) SendMessageA(window, WM_COMMAND, CMD_CONNECT, 0);
}

bool LinkIsOpen() { return Network() ? UdpLinkState() != 0 : SerialIsOpen(); }

void OnSocketNotification(HWND window, LPARAM lParam) {
    switch (UdpHandleNotification(lParam)) {
    case LINK_STATUS_GRANTED:
    case LINK_STATUS_GRANTED_ALT:
        if (ConnectionUi().hwndConnectDlg) SendMessageA(ConnectionUi().hwndConnectDlg, PANEL_WM_SOCKET, CODE_ESTABLISHED, 0);
        break;
    case LINK_STATUS_IN_USE:
        OnTargetInUse(window);
        break;
    case LINK_STATUS_LOCKED:
        OnTargetLocked(window);
        break;
    case LINK_STATUS_RECEIVE_ERROR:
        if (ConnectionUi().hwndConnectDlg) SendMessageA(ConnectionUi().hwndConnectDlg, PANEL_WM_SOCKET, CODE_UNREACHABLE, 0);
        break;
    default:
        break;
    }
}

void ApplyNetworkSettings() { SetNetworkTarget(DllPanel().settings.netIp, PortText().c_str()); }

void CloseLinkAtShutdown(bool unloading) {
    if (UdpLinkState() != 0) UdpClose();
    SerialStop(unloading);
}

void ForwardToTargetLink(const unsigned char* bytes, unsigned int length) {
    if (SerialIsOpen())
        SerialWrite(bytes, length);
    else if (UdpLinkState() != 0)
        UdpSend(bytes, static_cast<int>(length));
}

// Serial reader thread: the target's key reports press and release the panel's keys with their
// looks and clicks.
void ApplyTargetKeys(const uint8_t* params, int count) { ApplyReportedKeyState(DllPanel().protocol, params, count); }
