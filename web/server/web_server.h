// orp-web's server as a C++ library: headless panels (one design each) shown live in web
// browsers, operated there with the mouse, and driven by hosts over local sockets or from the
// same process.
//
//   orpweb::Server server({"127.0.0.1", 8022});
//   std::string error;
//   int demo = server.AddPanel({"work/ORPDesigns/demo.orp", "work/LCD", "/tmp/demo.sock"}, &error);
//   server.Start(&error);                       // serves on a thread of its own
//   std::printf("open %s\n", server.Url().c_str());
//   auto link = server.Connect(demo);           // a host in this process: a host kit transport
//   orphost::Panel panel(*link);
//
// Every panel runs on the server's clock (real time); a host connecting to it, over its socket
// or through Connect, finds it as a freshly loaded DLL: empty LCD, protocol mode 0, its reset
// announcement on the way. One host per panel at a time. The page at Url() shows every panel;
// docs/web-panel.md describes the page and the messages between it and the server.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "orppanel_host.h"

namespace orpweb {

struct PanelConfig {
    std::string design;      // the design file (.orp)
    std::string lcdLibrary;  // folder of .lcd files, or empty
    std::string hostSocket;  // path of the local socket hosts connect to, or empty for none
    std::string title;       // the page's heading for the panel; empty: the design's file name
};

struct ServerOptions {
    std::string address = "127.0.0.1";  // where browsers connect; loopback unless asked otherwise
    unsigned short port = 8022;          // 0: any free port (Port() tells which)
};

class Server {
public:
    explicit Server(ServerOptions options = {});
    ~Server();  // stops the server and closes the panels
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // Opens a panel with its design (and its host socket, when configured). Returns its index,
    // or -1 with the reason in *error. Only before Start.
    int AddPanel(const PanelConfig& config, std::string* error);
    // Listens for browsers and starts serving on a thread of its own. False with the reason in
    // *error (no panel, address in use, ...).
    bool Start(std::string* error);
    // Stops serving, closes every connection and removes the host sockets. Idempotent.
    void Stop();

    unsigned short Port() const;
    std::string Url() const;  // http://ADDRESS:PORT/ (loopback when listening on every address)
    int PanelCount() const;
    const PanelConfig& Panel(int index) const;

    // A host in this process: the returned transport reaches panel `index` as its socket would
    // (the panel starts afresh now). Null when the index is bad or the panel has a host already.
    // The transport may be used from any one thread; it must go before the server.
    std::unique_ptr<orphost::Transport> Connect(int index);

    class Impl;

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace orpweb
