// The network link: one UDP socket bound to the target's own port, notifications to the main
// window through WSAAsyncSelect, one frame per datagram.
//
// Threads: create, bind, close, the notification handler and the sends (the host's frames are
// forwarded during the hand-over) run on the user-interface thread. A lock held across each send
// and across the close keeps a send from any other thread from using a socket that is closed or
// already re-issued.
#pragma once

#include <windows.h>

// Sets the target from the address text and the port text (atoi).
void SetNetworkTarget(const char* ipText, const char* portText);
// The target counts as configured when its address and port are both non-zero.
bool NetworkTargetConfigured();

// 0 closed, 2 bound.
int UdpLinkState();
// Starts Windows Sockets, creates the socket and arms the notifications to `window`.
void UdpCreateSocket(HWND window);
// Binds the socket to the target's port on every local address.
void UdpBind();
// Sends one datagram to the target. Returns the count sent or -1.
int UdpSend(const unsigned char* bytes, int count);
// Closes the socket (if any) and ends Windows Sockets.
void UdpClose();

// Evaluates a PANEL_WM_SOCKET notification (its lParam). Returns a LINK_STATUS_* value.
int UdpHandleNotification(LPARAM lParam);
