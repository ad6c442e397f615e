// The network link over Windows Sockets.
//
// The host's thread sends while the user-interface thread may close the socket, and a closed
// socket's number can be handed out again at once. The socket lock is held across every use of
// the socket number on the sending side and across its creation and close, so a send either
// completes on the open socket or finds none. Sends never block (WSAAsyncSelect makes the
// socket non-blocking), and nothing that waits for the user-interface thread runs under it.
// Windows Sockets 2 before anything that includes <windows.h>.
#include <winsock2.h>

#include "link/udp_link.h"

#include <cstdlib>
#include <cstring>
#include <mutex>

#include "common/options.h"
#include "link/target_link.h"
#include "monitor/trace.h"
#include "api/dll_panel.h"
#include "ui/main_messages.h"

namespace {
std::mutex g_socketLock;
SOCKET g_socket = INVALID_SOCKET;  // written under g_socketLock, on the user-interface thread
volatile int g_linkState = 0;      // read by the host's thread before it sends
bool g_started = false;            // WSAStartup succeeded and waits for its WSACleanup
sockaddr_in g_target{};

void CloseSocketOnly() {
    std::lock_guard<std::mutex> guard(g_socketLock);
    if (g_socket != INVALID_SOCKET) closesocket(g_socket);
    g_socket = INVALID_SOCKET;
}
}  // namespace

void SetNetworkTarget(const char* ipText, const char* portText) {
    std::memset(&g_target, 0, sizeof g_target);
    g_target.sin_family = AF_INET;
    g_target.sin_addr.s_addr = inet_addr(ipText ? ipText : "");
    g_target.sin_port = htons(static_cast<u_short>(std::atoi(portText ? portText : "")));
}

bool NetworkTargetConfigured() { return g_target.sin_port != 0 && g_target.sin_addr.s_addr != 0; }

int UdpLinkState() { return g_linkState; }

void UdpCreateSocket(HWND window) {
    WSADATA data;
    int started = WSAStartup(MAKEWORD(2, 0), &data);
    if (started != 0) {
        Trace(DllPanel().monitor, "Error: Socket startup Failed %i\r\n", started);
        return;
    }
    g_started = true;
    {
        std::lock_guard<std::mutex> guard(g_socketLock);
        g_socket = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    }
    if (g_socket == INVALID_SOCKET) {
        Trace(DllPanel().monitor, "Error: Failed to create socket %i\r\n", WSAGetLastError());
        return;
    }
    if (WSAAsyncSelect(g_socket, window, PANEL_WM_SOCKET, FD_READ | FD_CONNECT) != 0) {
        Trace(DllPanel().monitor, "Error WSAAsyncSelect = %d \r\n", WSAGetLastError());
        UdpClose();
        return;
    }
    Trace(DllPanel().monitor, "Socket 0x%04X f\xFCr %02d Protokol erzeugt\r\n", static_cast<unsigned>(g_socket),
          static_cast<int>(IPPROTO_UDP));
}

void UdpBind() {
    if (g_socket == INVALID_SOCKET) {
        Trace(DllPanel().monitor, "Error: Ivalid Socket called\r\n");
        return;
    }
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = g_target.sin_port;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(g_socket, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        Trace(DllPanel().monitor, "Error bind = %d ", WSAGetLastError());
        UdpClose();
        return;
    }
    g_linkState = 2;
}

int UdpSend(const unsigned char* bytes, int count) {
    sockaddr_in to = g_target;
    to.sin_family = AF_INET;
    int sent = SOCKET_ERROR;
    int error = 0;
    {
        std::lock_guard<std::mutex> guard(g_socketLock);
        if (g_socket == INVALID_SOCKET) return -1;
        sent = sendto(g_socket, reinterpret_cast<const char*>(bytes), count, 0, reinterpret_cast<const sockaddr*>(&to),
                      sizeof to);
        if (sent == SOCKET_ERROR) error = WSAGetLastError();
    }
    // The trace reaches the trace window; traced after the lock, which closing waits for.
    if (sent == SOCKET_ERROR) {
        Trace(DllPanel().monitor, "Error sendto = %d \r\n", error);
        return -1;
    }
    return sent;
}

void UdpClose() {
    g_linkState = 0;
    CloseSocketOnly();
    if (g_started) WSACleanup();
    g_started = false;
}

int UdpHandleNotification(LPARAM lParam) {
    const int event = WSAGETSELECTEVENT(lParam);
    const int error = WSAGETSELECTERROR(lParam);
    if (event != FD_READ) return LINK_STATUS_NONE;
    if (error) {
        Trace(DllPanel().monitor, "FD_READ Fehler #%i.\r\n", error);
        return LINK_STATUS_NONE;
    }
    // A notification can still arrive for a socket closed in the meantime.
    if (g_socket == INVALID_SOCKET) return LINK_STATUS_NONE;
    char buffer[kDatagramBufferSize] = {};
    sockaddr_in source{};
    int sourceLength = sizeof source;
    int received = recvfrom(g_socket, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&source), &sourceLength);
    if (received == SOCKET_ERROR) {
        // Nothing waiting after all (the datagram was taken by an earlier notification).
        if (WSAGetLastError() == WSAEWOULDBLOCK) return LINK_STATUS_NONE;
        received = -1;
    }
    // A failed receive may leave the source unset; the socket talks to the target only.
    const bool sourceUnset = received < 0 && source.sin_addr.s_addr == 0 && source.sin_port == 0;
    const bool fromTarget = sourceUnset || (source.sin_addr.s_addr == g_target.sin_addr.s_addr &&
                                            source.sin_port == g_target.sin_port);
    return HandleTargetDatagram(DllPanel().protocol, DllPanel().monitor, reinterpret_cast<const uint8_t*>(buffer), received,
                                fromTarget, HasOption(DllPanel().options, OPT_IGNORE_HANDSHAKE));
}
