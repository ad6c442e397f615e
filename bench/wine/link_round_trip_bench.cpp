// Times the host's round trip over the panel's UDP link: host -> panel -> target device ->
// panel -> host, with orp-target answering 'V' by 'v' behind a network namespace. Measured in
// the same run for the comparison:
//   - a UDP round trip from this process to the target alone ('V' in a datagram, its 'v' back),
//     taking turns with the link's round trips;
//   - the host's round trip with the panel answering for itself (before the link is opened).
// The link's round trip is reported against the host's round trip plus two UDP round trips.
//
//   orp_link_round_trip_bench.exe <target address> <port> [round trips] [rounds]
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_timing.h"

namespace {

constexpr unsigned long kCommUi = 0x8;
constexpr WPARAM kConnectCommand = 32773;

// A UDP socket of this process that sends 'V' to the target and waits for its answer.
class UdpProbe {
public:
    UdpProbe(const char* address, int port) {
        socket_ = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
        target_.sin_family = AF_INET;
        target_.sin_port = htons(static_cast<u_short>(port));
        inet_pton(AF_INET, address, &target_.sin_addr);
        DWORD timeoutMs = 2000;
        setsockopt(socket_, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeoutMs), sizeof timeoutMs);
    }
    ~UdpProbe() {
        if (socket_ != INVALID_SOCKET) closesocket(socket_);
    }
    // One round trip in microseconds, or a negative number when no answer came.
    double RoundTrip() {
        const char request[] = "V\r";
        char answer[64];
        const double start = Now();
        sendto(socket_, request, 2, 0, reinterpret_cast<const sockaddr*>(&target_), sizeof target_);
        const int n = recv(socket_, answer, sizeof answer, 0);
        if (n <= 0 || answer[0] != 'v') return -1;
        return Now() - start;
    }

private:
    SOCKET socket_ = INVALID_SOCKET;
    sockaddr_in target_{};
};

bool TimeRoundTrips(PanelSession& panel, int count, std::vector<double>* samples) {
    for (int i = 0; i < count; ++i) {
        const double start = Now();
        if (!RoundTrip(panel, "V\r", 'v')) return false;
        samples->push_back(Now() - start);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <target address> <port> [round trips] [rounds]\n", argv[0]);
        return 2;
    }
    const char* address = argv[1];
    const int port = std::atoi(argv[2]);
    const int count = argc > 3 ? std::max(1, std::atoi(argv[3])) : 300;
    const int rounds = argc > 4 ? std::max(1, std::atoi(argv[4])) : 5;
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);

    // The target answers whoever sent to it last, so the probe and the panel can take turns.
    UdpProbe probe(address, port);
    for (int i = 0; i < 50; ++i)
        if (probe.RoundTrip() < 0) {
            std::fprintf(stderr, "the target at %s:%d does not answer\n", address, port);
            return 1;
        }
    TestSettings settings;
    settings.commSettings = true;
    settings.ifaceType = 1;
    settings.netIp = address;
    settings.netPort = port;
    PanelSession panel(kCommUi | OPT_ENGLISH, settings);
    if (!panel.ok() || !panel.AcknowledgeResetAnnouncement()) {
        std::fprintf(stderr, "the panel did not start: %s\n", panel.error().c_str());
        return 1;
    }
    std::vector<double> host, link;
    if (!TimeRoundTrips(panel, count * rounds, &host)) return 1;
    // Connect from the menu; the target's answer to the hello reaches the host as well.
    PostMessageA(panel.panel(), WM_COMMAND, kConnectCommand, 0);
    bool connected = false;
    for (int frames = 0; frames < 20 && !connected; ++frames) {
        const std::string frame = panel.NextFrame(15000);
        if (frame.empty()) break;
        connected = frame.size() >= 3 && frame[0] == 'h';
    }
    if (!connected) {
        std::fprintf(stderr, "the panel did not connect to the target\n");
        return 1;
    }
    std::vector<double> udp;
    for (int i = 0; i < count * rounds; ++i) {
        const double sample = probe.RoundTrip();
        if (sample < 0) {
            std::fprintf(stderr, "the target stopped answering the probe\n");
            return 1;
        }
        udp.push_back(sample);
        if (!TimeRoundTrips(panel, 1, &link)) {
            std::fprintf(stderr, "the target's answer did not come back through the panel\n");
            return 1;
        }
    }

    const double udpMedian = Median(udp), hostMedian = Median(host), linkMedian = Median(link);
    const double base = hostMedian + 2 * udpMedian;
    std::printf("%d round trips each; medians in microseconds\n", count * rounds);
    std::printf("  UDP round trip to the target alone          %10.1f\n", udpMedian);
    std::printf("  host round trip, panel answering            %10.1f\n", hostMedian);
    std::printf("  host round trip over the UDP link           %10.1f\n", linkMedian);
    std::printf("  ratio to host + 2 UDP round trips (%.1f)  %10.3f\n", base, linkMedian / base);
    WSACleanup();
    return 0;
}
