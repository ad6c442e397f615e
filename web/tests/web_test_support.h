// What the orp-web tests share: the demo work directory (written by the ctest fixture), and a
// WebSocket client of a few lines over a plain TCP socket, so that a test can also send what no
// well-behaved client sends: cut frames, oversized ones, a foreign origin.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>

namespace webtest {

inline std::string DemoDesign(const std::string& name = "demo.orp") {
    const char* folder = std::getenv("ORP_WEB_TEST_DEMO");
    return std::string(folder ? folder : "web-test-demo") + "/ORPDesigns/" + name;
}

class RawWebSocket {
public:
    ~RawWebSocket() { Close(); }

    // Connects to 127.0.0.1:port and sends the handshake for `resource`; returns the HTTP
    // status of the answer (101 when the WebSocket is open), 0 when nothing answered.
    int Open(unsigned short port, const std::string& origin = "", const std::string& resource = "/ws") {
        if (!Connect(port)) return 0;
        deadline_ = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        std::string request = "GET " + resource + " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) +
                              "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                              "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n";
        if (!origin.empty()) request += "Origin: " + origin + "\r\n";
        SendRaw(request + "\r\n");
        std::string head;
        char c;
        while (head.find("\r\n\r\n") == std::string::npos && ReadExact(&c, 1)) head += c;
        return head.size() > 12 ? std::atoi(head.c_str() + 9) : 0;
    }

    bool Connect(unsigned short port) {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        return fd_ >= 0 && connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }

    // A masked client frame; `keep` cuts it after that many bytes (a connection lost mid-frame).
    void Send(const std::string& payload, int opcode = 1, size_t keep = std::string::npos) {
        std::string frame(1, static_cast<char>(0x80 | opcode));
        const size_t n = payload.size();
        if (n < 126) {
            frame += static_cast<char>(0x80 | n);
        } else if (n < 65536) {
            frame += static_cast<char>(0x80 | 126);
            frame += static_cast<char>(n >> 8);
            frame += static_cast<char>(n & 0xFF);
        } else {
            frame += static_cast<char>(0x80 | 127);
            for (int shift = 56; shift >= 0; shift -= 8) frame += static_cast<char>((n >> shift) & 0xFF);
        }
        const char mask[4] = {0x12, 0x34, 0x56, 0x78};
        frame.append(mask, 4);
        for (size_t i = 0; i < n; ++i) frame += static_cast<char>(payload[i] ^ mask[i % 4]);
        SendRaw(keep == std::string::npos ? frame : frame.substr(0, keep));
    }
    void SendRaw(const std::string& bytes) {
        if (fd_ >= 0) (void)!send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    }

    // The next frame from the server within `ms`: its opcode (1 text, 2 binary, 8 close) and
    // payload. False when none came or the connection ended.
    bool Read(int* opcode, std::string* payload, int ms = 5000) {
        deadline_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        unsigned char head[2];
        if (!ReadExact(head, 2)) return false;
        uint64_t n = head[1] & 0x7F;
        if (n >= 126) {
            unsigned char extended[8];
            const int bytes = n == 126 ? 2 : 8;
            if (!ReadExact(extended, bytes)) return false;
            n = 0;
            for (int i = 0; i < bytes; ++i) n = n << 8 | extended[i];
        }
        payload->assign(n, '\0');
        *opcode = head[0] & 0x0F;
        return n == 0 || ReadExact(&(*payload)[0], n);
    }

    // Text frames until one satisfies `wanted`; empty when none did within `ms`.
    std::string NextText(const std::function<bool(const std::string&)>& wanted, int ms = 5000) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        int opcode;
        std::string payload;
        while (std::chrono::steady_clock::now() < end) {
            const int left = static_cast<int>(
                std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count());
            if (!Read(&opcode, &payload, left > 0 ? left : 1)) break;
            if (opcode == 1 && wanted(payload)) return payload;
        }
        return {};
    }

    void Close() {
        if (fd_ >= 0) close(fd_);
        fd_ = -1;
    }

private:
    bool ReadExact(void* out, size_t count) {
        auto* p = static_cast<char*>(out);
        while (count > 0) {
            const int left = static_cast<int>(
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - std::chrono::steady_clock::now()).count());
            pollfd waiting{fd_, POLLIN, 0};
            if (left <= 0 || poll(&waiting, 1, left) <= 0) return false;
            const ssize_t n = recv(fd_, p, count, 0);
            if (n <= 0) return false;
            p += n;
            count -= static_cast<size_t>(n);
        }
        return true;
    }

    int fd_ = -1;
    std::chrono::steady_clock::time_point deadline_ = std::chrono::steady_clock::now() + std::chrono::seconds(5);
};

}  // namespace webtest
