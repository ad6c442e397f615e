// orp-target: a stand-in for front panel hardware, so the panel's serial and network links can
// be tried without a device.
//
//   orp-target --udp PORT [--peer IP] [options]     UDP on PORT (the panel binds the same port)
//   orp-target --serial DEVICE [options]            a tty or a pty end (for example from socat)
//
// It answers the panel's hello 'H' with a chosen handshake status, answers the host's messages
// the way a device does (ACK, 'v', 't', 'm', 'k', 'r' after a reset, NAK on a bad check), sends
// key reports and resets when a script line or a line on standard input says so, and logs every
// frame in the Rx/Tx monitor's notation. Every wait is bounded (--seconds).
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "target_device.h"

namespace {
const char kUsage[] =
    "usage: orp-target (--udp PORT [--peer IP] | --serial DEVICE) [options]\n"
    "\n"
    "  --handshake KIND  answer to 'H': granted (0x11), granted2 (0x12), inuse (0x01),\n"
    "                    locked (0x05), none (0x00), silent (no answer) or a hex byte; default granted\n"
    "  --mode HEX        protocol mode of the target's frames at start (default 0)\n"
    "  --script FILE     run the commands of FILE (one per line, # comments)\n"
    "  --stdin           also read commands from standard input (the default without --script)\n"
    "  --seconds N       end after N seconds (default 600)\n"
    "  --log FILE        write the frame log to FILE instead of standard output\n"
    "\n"
    "commands: key ID down|up, keys HEX.., reset, mode HEX, handshake KIND, send HEX..,\n"
    "          raw HEX.., flood COUNT SIZE, wait MS, quit\n";

long long NowMs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

struct Options {
    int udpPort = 0;
    std::string peer;
    std::string serial;
    std::string handshake = "granted";
    int mode = 0;
    std::string script;
    bool useStdin = false;
    int seconds = 600;
    std::string log;
};

bool ParseArgs(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto next = [&](std::string& out) {
            if (i + 1 >= argc) return false;
            out = argv[++i];
            return true;
        };
        std::string v;
        if (a == "--udp" && next(v)) o.udpPort = std::atoi(v.c_str());
        else if (a == "--peer" && next(v)) o.peer = v;
        else if (a == "--serial" && next(v)) o.serial = v;
        else if (a == "--handshake" && next(v)) o.handshake = v;
        else if (a == "--mode" && next(v)) o.mode = static_cast<int>(std::strtol(v.c_str(), nullptr, 16));
        else if (a == "--script" && next(v)) o.script = v;
        else if (a == "--stdin") o.useStdin = true;
        else if (a == "--seconds" && next(v)) o.seconds = std::atoi(v.c_str());
        else if (a == "--log" && next(v)) o.log = v;
        else return false;
    }
    if ((o.udpPort > 0) == !o.serial.empty()) return false;
    if (o.script.empty()) o.useStdin = true;
    return o.seconds > 0;
}

// ---- the line to the panel ------------------------------------------------------------------
struct Line {
    int fd = -1;
    bool udp = false;
    sockaddr_in peer{};
    bool peerKnown = false;
};

bool OpenUdp(Line& line, int port, const std::string& peer) {
    line.udp = true;
    line.fd = socket(AF_INET, SOCK_DGRAM, 0);
    if (line.fd < 0) return false;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(static_cast<uint16_t>(port));
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(line.fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) return false;
    if (!peer.empty()) {
        line.peer.sin_family = AF_INET;
        line.peer.sin_port = htons(static_cast<uint16_t>(port));
        line.peerKnown = inet_pton(AF_INET, peer.c_str(), &line.peer.sin_addr) == 1;
        if (!line.peerKnown) return false;
    }
    return true;
}

bool OpenSerial(Line& line, const std::string& path) {
    line.fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (line.fd < 0) return false;
    termios tio;
    if (tcgetattr(line.fd, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(line.fd, TCSANOW, &tio);
    }
    return true;
}

std::FILE* g_log = stdout;

void LogText(const std::string& text) {
    std::fprintf(g_log, "%s\n", text.c_str());
    std::fflush(g_log);
}

void SendBytes(Line& line, const std::vector<uint8_t>& bytes) {
    if (bytes.empty()) return;
    if (line.udp) {
        if (!line.peerKnown) {
            LogText("# not sent: no panel has sent anything yet (or use --peer)");
            return;
        }
        sendto(line.fd, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&line.peer), sizeof line.peer);
        return;
    }
    size_t done = 0;
    const long long until = NowMs() + 2000;
    while (done < bytes.size() && NowMs() < until) {
        ssize_t n = write(line.fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            break;
        } else {
            poll(nullptr, 0, 5);
        }
    }
}
}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseArgs(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (!options.log.empty()) {
        g_log = std::fopen(options.log.c_str(), "w");
        if (!g_log) {
            std::fprintf(stderr, "orp-target: cannot write %s: %s\n", options.log.c_str(), std::strerror(errno));
            return 1;
        }
    }
    Line line;
    const bool opened = options.udpPort ? OpenUdp(line, options.udpPort, options.peer) : OpenSerial(line, options.serial);
    if (!opened) {
        std::fprintf(stderr, "orp-target: cannot open %s: %s\n",
                     options.udpPort ? "the UDP port" : options.serial.c_str(), std::strerror(errno));
        return 1;
    }
    TargetDevice device(options.mode, [&](const std::vector<uint8_t>& bytes) { SendBytes(line, bytes); }, LogText);
    if (!device.SetHandshake(options.handshake)) {
        std::fprintf(stderr, "orp-target: unknown handshake %s\n", options.handshake.c_str());
        return 2;
    }
    std::vector<std::string> script;
    if (!options.script.empty()) {
        std::FILE* file = std::fopen(options.script.c_str(), "r");
        if (!file) {
            std::fprintf(stderr, "orp-target: cannot read %s: %s\n", options.script.c_str(), std::strerror(errno));
            return 1;
        }
        char text[1024];
        while (std::fgets(text, sizeof text, file)) script.emplace_back(text);
        std::fclose(file);
    }
    LogText(options.udpPort ? "# orp-target on UDP port " + std::to_string(options.udpPort)
                            : "# orp-target on " + options.serial);

    const long long end = NowMs() + static_cast<long long>(options.seconds) * 1000;
    long long scriptResume = 0;
    size_t scriptLine = 0;
    bool stdinOpen = options.useStdin;
    std::string stdinText;
    while (!device.Quit() && NowMs() < end) {
        // Script lines run until one asks to wait.
        while (scriptLine < script.size() && NowMs() >= scriptResume && !device.Quit()) {
            int waitMs = device.RunCommand(script[scriptLine++]);
            if (waitMs > 0) scriptResume = NowMs() + waitMs;
        }
        pollfd fds[2] = {{line.fd, POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
        const int count = stdinOpen ? 2 : 1;
        if (poll(fds, static_cast<nfds_t>(count), 20) < 0 && errno != EINTR) break;
        if (fds[0].revents & POLLIN) {
            uint8_t buffer[2048];
            if (line.udp) {
                sockaddr_in from{};
                socklen_t fromLength = sizeof from;
                ssize_t n = recvfrom(line.fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
                if (n > 0) {
                    line.peer = from;
                    line.peerKnown = true;
                    device.OnDatagram(buffer, static_cast<int>(n));
                }
            } else {
                ssize_t n = read(line.fd, buffer, sizeof buffer);
                if (n > 0) device.OnSerialBytes(buffer, static_cast<int>(n));
            }
        } else if (fds[0].revents & (POLLHUP | POLLERR)) {
            // The panel's end of the pty is closed: wait for it to come back, without spinning.
            poll(nullptr, 0, 50);
        }
        if (stdinOpen && (fds[1].revents & (POLLIN | POLLHUP))) {
            char chunk[512];
            ssize_t n = read(STDIN_FILENO, chunk, sizeof chunk);
            if (n <= 0) {
                stdinOpen = false;
            } else {
                stdinText.append(chunk, static_cast<size_t>(n));
                size_t eol;
                while ((eol = stdinText.find('\n')) != std::string::npos) {
                    // A wait typed on the terminal has no script to hold up.
                    device.RunCommand(stdinText.substr(0, eol));
                    stdinText.erase(0, eol + 1);
                }
            }
        }
    }
    LogText("# orp-target ends");
    close(line.fd);
    if (g_log != stdout) std::fclose(g_log);
    return 0;
}
