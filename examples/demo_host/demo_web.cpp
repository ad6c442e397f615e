// The demo device on Linux: the same firmware as on Windows (demo_device.h), its panel in
// orp-web, where a browser shows it and a person operates it.
//
//   orp_demo_web --connect SOCKET      a panel of a running orp-web (orp-web --sockets DIR:
//                                      DIR/panel0.sock is its first panel's socket)
//   orp_demo_web --serve WORKDIR [--listen ADDRESS] [--port N]
//                                      serves the demo design of WORKDIR itself, the firmware
//                                      in the same process as the server
//
// It runs until SIGINT or SIGTERM, or until the panel closes the connection.
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "demo_device.h"
#include "orppanel_host.h"
#include "web_server.h"

namespace {
volatile sig_atomic_t g_stop = 0;

uint32_t ClockMs() {
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
}

int Usage() {
    std::fprintf(stderr,
                 "usage: orp_demo_web --connect SOCKET\n"
                 "       orp_demo_web --serve WORKDIR [--listen ADDRESS] [--port N]\n");
    return 2;
}

// The firmware's main loop until a stop signal or the end of the link.
int RunDevice(orphost::Transport& link, const orphost::SocketTransport* socket) {
    orphost::Panel panel(link);
    demo::Device device(panel, ClockMs);
    if (!device.Start()) {
        std::printf("the panel did not announce itself\n");
        return 1;
    }
    std::printf("demo device running in protocol mode 0x%02X\n", panel.Mode());
    while (!g_stop) {
        device.Step();
        if (socket && !socket->Connected()) {
            std::printf("panel gone: %s\n", socket->Error().c_str());
            return 1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    signal(SIGINT, [](int) { g_stop = 1; });
    signal(SIGTERM, [](int) { g_stop = 1; });
    signal(SIGPIPE, SIG_IGN);
    if (argc < 3) return Usage();
    const std::string mode = argv[1];

    if (mode == "--connect") {
        orphost::SocketTransport link(argv[2], 5000);  // orp-web may still be starting
        if (!link.Connected()) {
            std::fprintf(stderr, "orp_demo_web: %s\n", link.Error().c_str());
            return 1;
        }
        return RunDevice(link, &link);
    }
    if (mode != "--serve") return Usage();

    orpweb::ServerOptions options;
    for (int i = 3; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--listen") == 0)
            options.address = argv[i + 1];
        else if (std::strcmp(argv[i], "--port") == 0)
            options.port = static_cast<unsigned short>(std::atoi(argv[i + 1]));
        else
            return Usage();
    }
    const std::string workdir = argv[2];
    orpweb::Server server(options);
    std::string error;
    if (server.AddPanel({workdir + "/ORPDesigns/demo.orp", workdir + "/ORPDesigns/LCDs", "", "demo device"}, &error) < 0 ||
        !server.Start(&error)) {
        std::fprintf(stderr, "orp_demo_web: %s\n", error.c_str());
        return 1;
    }
    std::printf("orp-web: open %s in a browser\n", server.Url().c_str());
    std::unique_ptr<orphost::Transport> link = server.Connect(0);
    const int result = link ? RunDevice(*link, nullptr) : 1;
    link.reset();  // before the server
    server.Stop();
    return result;
}
