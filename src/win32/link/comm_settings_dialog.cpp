// The communication settings dialog. Radio buttons, lists and the check box write the settings
// record as they change (so Cancel keeps those changes in memory); the address fields and the
// baud rate are taken over only by OK.
#include "link/comm_settings_dialog.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/options.h"
#include "link/comm_settings.h"
#include "link/serial_link.h"
#include "link/udp_link.h"
#include "link_ids.h"
#include "monitor/trace.h"
#include "settings/settings.h"
#include "ui/window_registry.h"
#include "api/dll_panel.h"
#include "ui/dialog_box.h"

namespace {
constexpr int kComPortCount = 256;
const int kAddressFields[] = {IDC_IP1, IDC_IP2, IDC_IP3, IDC_IP4, IDC_IPPORT};

// First opening: the port's own state gives the defaults. False when COM1 cannot be opened.
bool DeriveFromFirstPort() {
    stSettings& s = DllPanel().settings;
    s.commBaud = 4800;
    s.commPort = 1;
    HANDLE port = SerialProbePort(1);
    if (port == INVALID_HANDLE_VALUE) return false;
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    GetCommState(port, &dcb);
    SerialClosePort(port);
    s.commParity = 0;
    s.commDBits = dcb.ByteSize;
    s.commSBits = dcb.StopBits;
    stPortFlowFlags flags{};
    flags.outxCtsFlow = dcb.fOutxCtsFlow != 0;
    flags.outxDsrFlow = dcb.fOutxDsrFlow != 0;
    flags.outX = dcb.fOutX != 0;
    flags.inX = dcb.fInX != 0;
    flags.dtrControl = static_cast<int>(dcb.fDtrControl);
    flags.rtsControl = static_cast<int>(dcb.fRtsControl);
    s.commFlow = DeriveFlowControl(flags);
    return true;
}

void EnableGroups(HWND dialog) {
    const bool network = DllPanel().settings.ifaceType != 0;
    for (int id = IDC_BAUD; id <= IDC_COMPORT; ++id) EnableWindow(GetDlgItem(dialog, id), !network);
    for (int id = IDC_IP1; id <= IDC_PROTOCOL; ++id) EnableWindow(GetDlgItem(dialog, id), network);
}

void AddItem(HWND dialog, int id, const char* text) {
    SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

void OnInit(HWND dialog) {
    stSettings& s = DllPanel().settings;
    if (!s.registrySet && !DeriveFromFirstPort()) {
        EndDialog(dialog, IDCANCEL);
        return;
    }
    CheckRadioButton(dialog, IDC_SERIAL, IDC_ETHERNET, s.ifaceType ? IDC_ETHERNET : IDC_SERIAL);
    EnableGroups(dialog);
    char text[32];
    for (int i = 0; i < kBaudListSize; ++i) {
        std::snprintf(text, sizeof text, "%d", static_cast<int>(BaudListEntry(i)));
        AddItem(dialog, IDC_BAUD, text);
    }
    SendDlgItemMessageA(dialog, IDC_BAUD, CB_SETCURSEL, static_cast<WPARAM>(BaudListIndexFor(s.commBaud)), 0);
    for (int i = 1; i <= kComPortCount; ++i) {
        std::snprintf(text, sizeof text, "COM%d", i);
        AddItem(dialog, IDC_COMPORT, text);
    }
    SendDlgItemMessageA(dialog, IDC_COMPORT, CB_SETCURSEL, static_cast<WPARAM>(s.commPort - 1), 0);
    CheckDlgButton(dialog, IDC_ACTIVE_ON_START, s.ifaceOpen ? BST_CHECKED : BST_UNCHECKED);
    if (s.commSBits == 1 || s.commSBits == 2) CheckDlgButton(dialog, 1053 + s.commSBits, BST_CHECKED);
    if (s.commParity >= 0 && s.commParity <= 2) CheckDlgButton(dialog, IDC_PARITY_NONE + s.commParity, BST_CHECKED);
    AddItem(dialog, IDC_PROTOCOL, "TCP/IP");
    AddItem(dialog, IDC_PROTOCOL, "UDP");
    for (int id : kAddressFields) SendDlgItemMessageA(dialog, id, EM_LIMITTEXT, id == IDC_IPPORT ? 5 : 3, 0);
    if (s.netPort != 0) {
        std::string parts[4];
        SplitIpText(s.netIp, parts);
        for (int i = 0; i < 4; ++i) SetDlgItemTextA(dialog, IDC_IP1 + i, parts[i].c_str());
        std::snprintf(text, sizeof text, "%d", static_cast<int>(s.netPort));
        SetDlgItemTextA(dialog, IDC_IPPORT, text);
    }
}

std::string ItemText(HWND dialog, int id, int limit) {
    char text[16] = {};
    GetDlgItemTextA(dialog, id, text, limit + 1);
    return text;
}

void OnOk(HWND dialog) {
    stSettings& s = DllPanel().settings;
    s.registrySet = 1;
    std::string parts[4];
    for (int i = 0; i < 4; ++i) parts[i] = ItemText(dialog, IDC_IP1 + i, 3);
    lstrcpynA(s.netIp, JoinIpText(parts).c_str(), sizeof s.netIp);
    const std::string portText = ItemText(dialog, IDC_IPPORT, 5);
    s.netPort = std::atoi(portText.c_str());
    LRESULT baud = SendDlgItemMessageA(dialog, IDC_BAUD, CB_GETCURSEL, 0, 0);
    if (baud != CB_ERR) s.commBaud = BaudListEntry(static_cast<int>(baud));
    SetNetworkTarget(s.netIp, portText.c_str());
    INT_PTR result = IDOK;
    if (s.ifaceType != 0 && !NetworkTargetConfigured()) {
        Trace(DllPanel().monitor, "Fehlende Ip Addresse und/oder PortNr\n");
        s.ifaceOpen = 0;
        result = IDCANCEL;
    }
    DllPanel().platform->WriteStoredSettings(DllPanel().settings);
    EndDialog(dialog, result);
}

void OnCommand(HWND dialog, int id, int notification) {
    stSettings& s = DllPanel().settings;
    switch (id) {
    case IDOK:
        OnOk(dialog);
        break;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        break;
    case IDC_SERIAL:
    case IDC_ETHERNET:
        s.ifaceType = IsDlgButtonChecked(dialog, IDC_ETHERNET) == BST_CHECKED ? 1 : 0;
        EnableGroups(dialog);
        break;
    case IDC_COMPORT:
        if (notification == CBN_SELCHANGE) {
            LRESULT index = SendDlgItemMessageA(dialog, IDC_COMPORT, CB_GETCURSEL, 0, 0);
            if (index != CB_ERR) s.commPort = static_cast<int32_t>(index) + 1;
        }
        break;
    case IDC_STOP1:
    case IDC_STOP2:
        s.commSBits = id - 1053;
        break;
    case IDC_PARITY_NONE:
    case IDC_PARITY_ODD:
    case IDC_PARITY_EVEN:
        s.commParity = id - IDC_PARITY_NONE;
        break;
    case IDC_ACTIVE_ON_START:
        s.ifaceOpen = IsDlgButtonChecked(dialog, IDC_ACTIVE_ON_START) == BST_CHECKED ? 1 : 0;
        break;
    case IDC_IP1:
    case IDC_IP2:
    case IDC_IP3:
    case IDC_IP4:
        // Three characters fill a part of the address: typing goes on in the next field.
        if (notification == EN_CHANGE && GetWindowTextLengthA(GetDlgItem(dialog, id)) >= 3 &&
            GetFocus() == GetDlgItem(dialog, id))
            SetFocus(GetDlgItem(dialog, id + 1));
        break;
    default:
        break;
    }
}
}  // namespace

INT_PTR RunCommSettingsDialog(HWND owner) {
    return RunDialogInLanguage(owner, IDD_COMM_SETTINGS_EN, IDD_COMM_SETTINGS_DE,
                               CommandDialogProc<OnInit, OnCommand>);
}
