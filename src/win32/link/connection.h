// Connection management: opening and closing the link to target hardware over the active
// interface, the connection progress, takeover and blocked dialogs, the network status
// handling of the main window, and the communication settings command.
//
// Everything here runs on the user-interface thread, ForwardToTargetLink included (the host
// path hands a call's bytes over with PANEL_WM_INCOMING, see protocol/host_link_hooks.h).
#pragma once

#include <windows.h>

#include <cstdint>

// The open connection dialogs and which connection icon the main window shows (0 serial
// closed, 1 serial open, 2 network closed, 3 network open).
struct stConnectionUi {
    HWND hwndConnectDlg;
    HWND hwndTakeOverDlg;
    int connIcon;
};

stConnectionUi& ConnectionUi();

// Menu command 32773: connect, or disconnect while a link is open.
void ConnectCommand(HWND window);
// Menu command 32840: the communication settings dialog; on OK the Connect command follows.
void OpenCommSettings(HWND window);

// Whether the active interface is open (network: socket bound; serial: port open).
bool LinkIsOpen();
// PANEL_WM_SOCKET on the main window: a network notification.
void OnSocketNotification(HWND window, LPARAM lParam);
// Hands the settings' address and port to the network link (at load and after the dialog).
void ApplyNetworkSettings();
// Closes whichever link is open, when the main window is destroyed. `unloading`: the library
// is being unloaded without Close (another thread holds the loader lock).
void CloseLinkAtShutdown(bool unloading);
// The host path's forwarding: the bytes of a host call to the open port or as one datagram.
void ForwardToTargetLink(const unsigned char* bytes, unsigned int length);
// A key report of the target (the parameters of its 'k' message) applied to the panel's keys;
// the DLL platform's ShowTargetKeys, called on the serial reader or user-interface thread.
void ApplyTargetKeys(const uint8_t* params, int count);
