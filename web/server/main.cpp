// orp-web: runs headless panels, one per design, and serves a page that shows them live and
// lets a person operate them with the mouse. Hosts (the firmware) connect to a panel's local
// socket with the host kit's SocketTransport.
//
//   orp-web [--listen ADDRESS] [--port N] [--lcd-library DIR] [--sockets DIR] DESIGN...
//
// Panel n (from 0, in the order of the designs) takes hosts on DIR/panel<n>.sock. The server
// listens on 127.0.0.1 unless --listen names another address (0.0.0.0: every network of this
// machine). It runs until SIGINT or SIGTERM.
#include <netdb.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "web_server.h"

namespace {
int Usage(const char* why) {
    if (why) std::fprintf(stderr, "orp-web: %s\n", why);
    std::fprintf(stderr,
                 "usage: orp-web [--listen ADDRESS] [--port N] [--lcd-library DIR] [--sockets DIR] DESIGN...\n"
                 "  --listen ADDRESS  where browsers connect (default 127.0.0.1; 0.0.0.0 for the network)\n"
                 "  --port N          the page's port (default 8022; 0 any free one)\n"
                 "  --lcd-library DIR the .lcd files the designs' LCD types come from\n"
                 "  --sockets DIR     panel n takes its host on DIR/panel<n>.sock\n");
    return 2;
}

bool IsLoopback(const std::string& address) {
    return address.rfind("127.", 0) == 0 || address == "::1" || address == "localhost";
}
}  // namespace

int main(int argc, char** argv) {
    orpweb::ServerOptions options;
    std::string lcdLibrary, sockets;
    std::vector<std::string> designs;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        const char* v = nullptr;
        if (arg == "--help" || arg == "-h") {
            Usage(nullptr);
            return 0;
        } else if (arg == "--listen") {
            if (!(v = value())) return Usage("--listen needs an address");
            options.address = v;
        } else if (arg == "--port") {
            char* end = nullptr;
            if (!(v = value())) return Usage("--port needs a number");
            const long port = std::strtol(v, &end, 10);
            if (*v == '\0' || *end != '\0' || port < 0 || port > 65535) return Usage("--port takes 0 to 65535");
            options.port = static_cast<unsigned short>(port);
        } else if (arg == "--lcd-library") {
            if (!(v = value())) return Usage("--lcd-library needs a folder");
            lcdLibrary = v;
        } else if (arg == "--sockets") {
            if (!(v = value())) return Usage("--sockets needs a folder");
            sockets = v;
        } else if (!arg.empty() && arg[0] == '-') {
            return Usage(("unknown option " + arg).c_str());
        } else {
            designs.push_back(arg);
        }
    }
    if (designs.empty()) return Usage("no design to show");
    if (options.address == "localhost") options.address = "127.0.0.1";

    // The signals are taken by sigwait below, on this thread, not by the server's thread.
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGINT);
    sigaddset(&stop, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);
    signal(SIGPIPE, SIG_IGN);

    orpweb::Server server(options);
    for (size_t i = 0; i < designs.size(); ++i) {
        orpweb::PanelConfig config;
        config.design = designs[i];
        config.lcdLibrary = lcdLibrary;
        if (!sockets.empty()) config.hostSocket = sockets + "/panel" + std::to_string(i) + ".sock";
        std::string error;
        if (server.AddPanel(config, &error) < 0) {
            std::fprintf(stderr, "orp-web: panel %zu: %s\n", i, error.c_str());
            return 1;
        }
        std::printf("orp-web: panel %zu: %s%s%s\n", i, config.design.c_str(),
                    config.hostSocket.empty() ? "" : ", host socket ", config.hostSocket.c_str());
    }
    std::string error;
    if (!server.Start(&error)) {
        std::fprintf(stderr, "orp-web: %s\n", error.c_str());
        return 1;
    }
    std::printf("orp-web: open %s in a browser\n", server.Url().c_str());
    if (!IsLoopback(options.address)) {
        char host[256] = "this-machine";
        gethostname(host, sizeof host - 1);
        std::printf("orp-web: listening beyond this machine: from another one open http://%s:%u/ "
                    "(anyone who reaches it can operate the panels)\n",
                    host, server.Port());
    }
    std::fflush(stdout);
    int signal = 0;
    sigwait(&stop, &signal);
    std::printf("orp-web: stopping\n");
    server.Stop();
    return 0;
}
