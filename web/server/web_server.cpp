// orp-web's server: HTTP and WebSocket by websocketpp on standalone asio, the hosts' local
// sockets on the same asio loop, all on one thread of the server's own. The panels are the
// only state the threads share (a host in this process calls in from its own thread), each
// behind its lock.
//
// Every 10 ms the loop moves each panel's clock on, passes what the panel queued to its host
// (or drops it while there is none), and, at most every 30 ms, sends the pages what changed.
// A page that does not keep up (its unsent data passes kBehindBytes) gets no patches until it
// has caught up and then the whole picture, so a slow browser costs the server bounded memory.
#define ASIO_STANDALONE
#include "web_server.h"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <deque>
#include <map>
#include <nlohmann/json.hpp>
#include <thread>
#include <websocketpp/config/asio_no_tls.hpp>
#include <websocketpp/server.hpp>

#include "page_assets.h"
#include "web_panel.h"

namespace orpweb {
namespace {
using json = nlohmann::json;
using WsServer = websocketpp::server<websocketpp::config::asio>;
using Handle = websocketpp::connection_hdl;
using LocalSocket = asio::local::stream_protocol::socket;
using LocalAcceptor = asio::local::stream_protocol::acceptor;

constexpr auto kTick = std::chrono::milliseconds(10);
constexpr uint64_t kRenderEveryMs = 30;
constexpr size_t kMaxPageMessage = 4096;      // the page's messages are a few dozen bytes
constexpr size_t kBehindBytes = 8u << 20;     // a page this far behind gets no more patches
constexpr size_t kCaughtUpBytes = 1u << 20;   // ... until it is down to this
constexpr size_t kMaxPages = 64;
constexpr int kMaxPanels = 64;

uint64_t NowMs() {
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// "http://host:port" -> "host:port".
std::string OriginHost(const std::string& origin) {
    const size_t scheme = origin.find("://");
    return Lower(scheme == std::string::npos ? origin : origin.substr(scheme + 3));
}

// Echoed input may be cut in the middle of a character or not be UTF-8 at all.
std::string ErrorMessage(const std::string& text) {
    return json{{"type", "error"}, {"message", text}}.dump(-1, ' ', false, json::error_handler_t::replace);
}

bool IsSocket(const std::string& path) {
    struct stat s {};
    return lstat(path.c_str(), &s) == 0 && S_ISSOCK(s.st_mode);
}
}  // namespace

// ---- a host on a panel's local socket ----------------------------------------------------------
class HostConnection : public std::enable_shared_from_this<HostConnection> {
public:
    HostConnection(LocalSocket socket, WebPanel& panel) : socket_(std::move(socket)), panel_(panel) {}

    void Start() {
        std::vector<uint8_t> out;
        {
            std::lock_guard<std::mutex> guard(panel_.Lock());
            panel_.ToHost(out);  // the reset announcement
        }
        Write(std::move(out));
        Read();
    }
    // Passes what the panel queued meanwhile (timers: repeats, the reset announcement).
    void Flush(std::vector<uint8_t> out) { Write(std::move(out)); }
    void Close() {
        asio::error_code ignored;
        socket_.close(ignored);
    }
    bool Open() const { return socket_.is_open(); }

private:
    void Read() {
        auto self = shared_from_this();
        socket_.async_read_some(asio::buffer(in_), [self](const asio::error_code& error, size_t count) {
            if (error) {
                self->Lost();
                return;
            }
            std::vector<uint8_t> out;
            {
                std::lock_guard<std::mutex> guard(self->panel_.Lock());
                self->panel_.FromHost(self->in_.data(), count);
                self->panel_.ToHost(out);
            }
            self->Write(std::move(out));
            self->Read();
        });
    }
    void Write(std::vector<uint8_t> bytes) {
        if (bytes.empty() || !socket_.is_open()) return;
        queue_.push_back(std::move(bytes));
        if (queue_.size() == 1) WriteNext();
    }
    void WriteNext() {
        auto self = shared_from_this();
        asio::async_write(socket_, asio::buffer(queue_.front()), [self](const asio::error_code& error, size_t) {
            if (error) {
                self->Lost();
                return;
            }
            self->queue_.pop_front();
            if (!self->queue_.empty()) self->WriteNext();
        });
    }
    void Lost() {
        if (lost_) return;
        lost_ = true;
        Close();
        queue_.clear();
        std::lock_guard<std::mutex> guard(panel_.Lock());
        if (panel_.Host() == HostKind::Socket) panel_.SetHost(HostKind::None);
        const size_t partial = panel_.PartialFrameBytes();
        if (partial)
            std::fprintf(stderr, "orp-web: panel %d: the host left in the middle of a frame (%zu bytes dropped)\n",
                         panel_.Index(), partial);
        else
            std::fprintf(stderr, "orp-web: panel %d: the host disconnected\n", panel_.Index());
    }

    LocalSocket socket_;
    WebPanel& panel_;
    std::array<uint8_t, 4096> in_{};
    std::deque<std::vector<uint8_t>> queue_;
    bool lost_ = false;
};

// ---- a host in this process --------------------------------------------------------------------
namespace {
class InProcessTransport : public orphost::Transport {
public:
    explicit InProcessTransport(WebPanel& panel) : panel_(panel) {}
    ~InProcessTransport() override {
        std::lock_guard<std::mutex> guard(panel_.Lock());
        panel_.SetHost(HostKind::None);
    }
    void Send(const uint8_t* frame, size_t length) override {
        std::lock_guard<std::mutex> guard(panel_.Lock());
        panel_.FromHost(frame, length);
    }
    bool Receive(orphost::Bytes& bytes) override {
        std::lock_guard<std::mutex> guard(panel_.Lock());
        return panel_.ToHost(bytes);
    }
    // The panel answers a frame before Send returns; what else comes (key reports, repeats)
    // comes from the server's thread: give it the time.
    void Idle() override { std::this_thread::sleep_for(std::chrono::milliseconds(1)); }

private:
    WebPanel& panel_;
};
}  // namespace

// ---- the server ------------------------------------------------------------------------------
class Server::Impl {
public:
    explicit Impl(ServerOptions options) : options_(std::move(options)) {
        ws_.clear_access_channels(websocketpp::log::alevel::all);
        ws_.clear_error_channels(websocketpp::log::elevel::all);
        ws_.init_asio();
        ws_.set_reuse_addr(true);
        ws_.set_max_message_size(kMaxPageMessage);
        ws_.set_http_handler([this](Handle h) { OnHttp(h); });
        ws_.set_validate_handler([this](Handle h) { return OnValidate(h); });
        ws_.set_open_handler([this](Handle h) { OnOpen(h); });
        ws_.set_close_handler([this](Handle h) { pages_.erase(h); });
        ws_.set_fail_handler([this](Handle h) { pages_.erase(h); });
        ws_.set_message_handler([this](Handle h, WsServer::message_ptr m) { OnMessage(h, m); });
    }
    ~Impl() { Stop(); }

    int AddPanel(const PanelConfig& config, std::string* error) {
        if (started_) return Fail(error, "panels are added before the server starts");
        if (static_cast<int>(panels_.size()) >= kMaxPanels)
            return Fail(error, "at most " + std::to_string(kMaxPanels) + " panels");
        auto panel = std::make_unique<WebPanel>(static_cast<int>(panels_.size()), config);
        if (!panel->Open(error)) return -1;
        Hosting hosting;
        if (!config.hostSocket.empty()) {
            asio::error_code ec;
            // A socket left behind by an earlier run is replaced; one that a running server
            // still answers on, or any other file, is not.
            if (IsSocket(config.hostSocket)) {
                LocalSocket probe(ws_.get_io_service());
                probe.connect(asio::local::stream_protocol::endpoint(config.hostSocket), ec);
                if (!ec) return Fail(error, "another server takes hosts on " + config.hostSocket);
                unlink(config.hostSocket.c_str());
            }
            hosting.acceptor = std::make_unique<LocalAcceptor>(ws_.get_io_service());
            hosting.acceptor->open(asio::local::stream_protocol(), ec);
            if (!ec) hosting.acceptor->bind(asio::local::stream_protocol::endpoint(config.hostSocket), ec);
            if (!ec) hosting.acceptor->listen(4, ec);
            if (ec) return Fail(error, "cannot listen on the host socket " + config.hostSocket + ": " + ec.message());
        }
        panels_.push_back(std::move(panel));
        hosts_.push_back(std::move(hosting));
        return static_cast<int>(panels_.size()) - 1;
    }

    bool Start(std::string* error) {
        if (started_) return Refuse(error, "the server runs already");
        if (panels_.empty()) return Refuse(error, "no panel to show");
        asio::error_code ec;
        const asio::ip::address address = asio::ip::make_address(options_.address, ec);
        if (ec) return Refuse(error, "not an IP address: " + options_.address);
        ws_.listen(asio::ip::tcp::endpoint(address, options_.port), ec);
        if (ec)
            return Refuse(error, "cannot listen on " + options_.address + " port " + std::to_string(options_.port) +
                                     ": " + ec.message());
        ws_.start_accept(ec);
        if (ec) return Refuse(error, "cannot accept connections: " + ec.message());
        port_ = ws_.get_local_endpoint(ec).port();
        for (auto& panel : panels_) {  // the first picture, so that a page gets a size at once
            std::lock_guard<std::mutex> guard(panel->Lock());
            panel->Tick(NowMs());
            panel->Changes();
        }
        for (size_t i = 0; i < hosts_.size(); ++i) Accept(static_cast<int>(i));
        tick_ = std::make_unique<asio::steady_timer>(ws_.get_io_service());
        ScheduleTick();
        started_ = true;
        thread_ = std::thread([this] { ws_.run(); });
        return true;
    }

    void Stop() {
        if (stopped_.exchange(true)) return;
        if (started_) StopLoop();
        for (const auto& panel : panels_)
            if (!panel->Config().hostSocket.empty() && IsSocket(panel->Config().hostSocket))
                unlink(panel->Config().hostSocket.c_str());
    }

    void StopLoop() {
        asio::post(ws_.get_io_service(), [this] {
            asio::error_code ignored;
            ws_.stop_listening(ignored);
            tick_->cancel();
            for (auto& hosting : hosts_) {
                if (hosting.acceptor) hosting.acceptor->close(ignored);
                if (hosting.connection) hosting.connection->Close();
            }
            for (const auto& page : pages_) ws_.close(page.first, websocketpp::close::status::going_away, "server stops",
                                                      ignored);
            ws_.stop();
        });
        if (thread_.joinable()) thread_.join();
    }

    std::unique_ptr<orphost::Transport> Connect(int index) {
        if (index < 0 || index >= static_cast<int>(panels_.size())) return nullptr;
        WebPanel& panel = *panels_[static_cast<size_t>(index)];
        std::lock_guard<std::mutex> guard(panel.Lock());
        std::string error;
        if (panel.Host() != HostKind::None || !panel.Open(&error)) return nullptr;
        panel.SetHost(HostKind::InProcess);
        return std::make_unique<InProcessTransport>(panel);
    }

    unsigned short Port() const { return port_; }
    // Listening on every address, this machine reaches the page over loopback.
    std::string Url() const {
        std::string host = options_.address == "0.0.0.0" ? "127.0.0.1" : options_.address == "::" ? "::1" : options_.address;
        if (host.find(':') != std::string::npos) host = "[" + host + "]";
        return "http://" + host + ":" + std::to_string(port_) + "/";
    }
    int PanelCount() const { return static_cast<int>(panels_.size()); }
    const PanelConfig& Panel(int index) const { return panels_.at(static_cast<size_t>(index))->Config(); }

private:
    struct Hosting {
        std::unique_ptr<LocalAcceptor> acceptor;
        std::shared_ptr<HostConnection> connection;
    };
    struct Page {
        bool behind = false;  // skipped patches: owes the whole picture
    };

    static int Fail(std::string* error, const std::string& text) {
        if (error) *error = text;
        return -1;
    }
    static bool Refuse(std::string* error, const std::string& text) {
        Fail(error, text);
        return false;
    }

    void Accept(int index) {
        Hosting& hosting = hosts_[static_cast<size_t>(index)];
        if (!hosting.acceptor) return;
        hosting.acceptor->async_accept([this, index](const asio::error_code& error, LocalSocket socket) {
            if (error) return;  // closed: the server stops
            WebPanel& panel = *panels_[static_cast<size_t>(index)];
            bool taken;
            std::string why;
            {
                std::lock_guard<std::mutex> guard(panel.Lock());
                taken = panel.Host() == HostKind::None && panel.Open(&why);
                if (taken) panel.SetHost(HostKind::Socket);
                else if (why.empty()) why = "it has a host already";
            }
            if (taken) {
                auto connection = std::make_shared<HostConnection>(std::move(socket), panel);
                hosts_[static_cast<size_t>(index)].connection = connection;
                std::fprintf(stderr, "orp-web: panel %d: a host connected\n", index);
                connection->Start();
            } else {
                std::fprintf(stderr, "orp-web: panel %d: refused a host: %s\n", index, why.c_str());
                asio::error_code ignored;
                socket.close(ignored);
            }
            Accept(index);
        });
    }

    void ScheduleTick() {
        tick_->expires_after(kTick);
        tick_->async_wait([this](const asio::error_code& error) {
            if (error) return;
            OnTick();
            ScheduleTick();
        });
    }

    void OnTick() {
        const uint64_t now = NowMs();
        const bool render = now - lastRender_ >= kRenderEveryMs;
        if (render) lastRender_ = now;
        for (size_t i = 0; i < panels_.size(); ++i) {
            WebPanel& panel = *panels_[i];
            std::vector<uint8_t> out;
            PanelChanges changes;
            {
                std::lock_guard<std::mutex> guard(panel.Lock());
                panel.Tick(now);
                if (panel.Host() == HostKind::Socket)
                    panel.ToHost(out);
                else if (panel.Host() == HostKind::None)
                    panel.DiscardToHost();
                if (render) changes = panel.Changes();
            }
            if (!out.empty() && hosts_[i].connection) hosts_[i].connection->Flush(std::move(out));
            if (render) Broadcast(panel, changes);
        }
    }

    void Send(const Handle& page, const std::string& message, websocketpp::frame::opcode::value opcode) {
        asio::error_code ignored;
        ws_.send(page, message, opcode, ignored);
    }

    void Broadcast(WebPanel& panel, const PanelChanges& changes) {
        using websocketpp::frame::opcode::binary;
        using websocketpp::frame::opcode::text;
        if (!changes.geometry && changes.patches.empty() && changes.state.empty() && changes.beeps.empty()) return;
        std::string design, full;
        for (auto& [handle, page] : pages_) {
            asio::error_code ec;
            WsServer::connection_ptr connection = ws_.get_con_from_hdl(handle, ec);
            if (ec) continue;
            const size_t buffered = connection->get_buffered_amount();
            if (changes.geometry) {
                if (design.empty()) {
                    std::lock_guard<std::mutex> guard(panel.Lock());
                    design = panel.DesignMessage();
                }
                Send(handle, design, text);
            }
            if (page.behind && buffered <= kCaughtUpBytes) {
                page.behind = false;
                if (full.empty()) {
                    std::lock_guard<std::mutex> guard(panel.Lock());
                    full = panel.FullPicture();
                }
                if (!full.empty()) Send(handle, full, binary);
            } else if (!page.behind && buffered > kBehindBytes && !changes.patches.empty()) {
                page.behind = true;
            } else if (!page.behind) {
                for (const std::string& patch : changes.patches) Send(handle, patch, binary);
            }
            if (!changes.state.empty()) Send(handle, changes.state, text);
            for (const std::string& beep : changes.beeps) Send(handle, beep, text);
        }
    }

    // ---- HTTP
    void OnHttp(Handle handle) {
        WsServer::connection_ptr c = ws_.get_con_from_hdl(handle);
        try {
            Serve(c);
        } catch (const std::exception& e) {
            c->set_status(websocketpp::http::status_code::internal_server_error);
            c->set_body(std::string("orp-web: ") + e.what() + "\n");
        }
    }

    void Serve(const WsServer::connection_ptr& c) {
        c->append_header("Cache-Control", "no-store");
        if (c->get_request().get_method() != "GET") {
            c->set_status(websocketpp::http::status_code::method_not_allowed);
            c->set_body("only GET is served here\n");
            return;
        }
        std::string path = c->get_resource();
        path = path.substr(0, path.find('?'));
        if (path == "/") path = "/index.html";
        for (size_t i = 0; i < kPageAssetCount; ++i)
            if (path == kPageAssets[i].path) {
                c->set_status(websocketpp::http::status_code::ok);
                c->append_header("Content-Type", kPageAssets[i].type);
                c->set_body(std::string(reinterpret_cast<const char*>(kPageAssets[i].data), kPageAssets[i].size));
                return;
            }
        if (path == "/api/panels") {
            json list = json::array();
            for (const auto& panel : panels_) {
                std::lock_guard<std::mutex> guard(panel->Lock());
                list.push_back(json::parse(panel->DesignMessage()));
            }
            c->set_status(websocketpp::http::status_code::ok);
            c->append_header("Content-Type", "application/json");
            c->set_body(list.dump());
            return;
        }
        int index = -1;
        char tail = 0;
        if (std::sscanf(path.c_str(), "/panel/%d.pn%c", &index, &tail) == 2 && tail == 'g' &&
            path == "/panel/" + std::to_string(index) + ".png" && index >= 0 && index < PanelCount()) {
            std::string png;
            {
                WebPanel& panel = *panels_[static_cast<size_t>(index)];
                std::lock_guard<std::mutex> guard(panel.Lock());
                png = panel.Png();
            }
            if (!png.empty()) {
                c->set_status(websocketpp::http::status_code::ok);
                c->append_header("Content-Type", "image/png");
                c->set_body(png);
                return;
            }
        }
        c->set_status(websocketpp::http::status_code::not_found);
        c->append_header("Content-Type", "text/plain; charset=utf-8");
        c->set_body("not found: " + path + "\n");
    }

    // ---- WebSocket
    // Only /ws, and from a page of this server: a browser sends the page's origin, and a page
    // from elsewhere must not operate the panels.
    bool OnValidate(Handle handle) {
        WsServer::connection_ptr c = ws_.get_con_from_hdl(handle);
        if (c->get_resource() != "/ws") {
            c->set_status(websocketpp::http::status_code::not_found);
            return false;
        }
        const std::string origin = c->get_request_header("Origin");
        if (!origin.empty() && OriginHost(origin) != Lower(c->get_request_header("Host"))) {
            std::fprintf(stderr, "orp-web: refused a WebSocket from the page of another site (%s)\n", origin.c_str());
            c->set_status(websocketpp::http::status_code::forbidden);
            return false;
        }
        if (pages_.size() >= kMaxPages) {
            c->set_status(websocketpp::http::status_code::service_unavailable);
            return false;
        }
        return true;
    }

    void OnOpen(Handle handle) {
        pages_[handle] = Page{};
        using websocketpp::frame::opcode::binary;
        using websocketpp::frame::opcode::text;
        for (const auto& panel : panels_) {
            std::string design, picture, state;
            {
                std::lock_guard<std::mutex> guard(panel->Lock());
                design = panel->DesignMessage();
                picture = panel->FullPicture();
                state = panel->StateMessage();
            }
            Send(handle, design, text);
            if (!picture.empty()) Send(handle, picture, binary);
            if (!state.empty()) Send(handle, state, text);
        }
    }

    void OnMessage(Handle handle, WsServer::message_ptr message) {
        std::string error;
        try {
            error = message->get_opcode() == websocketpp::frame::opcode::text
                        ? Apply(message->get_payload())
                        : "binary messages are not understood: send JSON text";
        } catch (const std::exception& e) {  // out of memory; nothing a page can cause otherwise
            error = std::string("the server could not take this message: ") + e.what();
        }
        if (!error.empty()) Send(handle, ErrorMessage(error), websocketpp::frame::opcode::text);
    }

    // One action of a page: {"op": "mouse", "panel": 0, "event": "down", "x": 10, "y": 20,
    // "ctrl": false}, {"op": "key", "panel": 0, "action": "press", "id": 6} or
    // {"op": "release-all", "panel": 0}. Returns what was wrong with it, or "".
    std::string Apply(const std::string& text) {
        json request = json::parse(text, nullptr, false);
        if (request.is_discarded()) return "not JSON: " + text.substr(0, 80);
        if (!request.is_object()) return "a message is a JSON object";
        auto integer = [&](const char* name, int low, int high, int* out) -> std::string {
            const auto it = request.find(name);
            if (it == request.end() || !it->is_number_integer()) return std::string("\"") + name + "\" must be an integer";
            const bool huge = it->is_number_unsigned() && it->get<unsigned long long>() > 0x7FFFFFFFull;
            const long long value = huge ? high + 1LL : it->get<long long>();
            if (value < low || value > high)
                return std::string("\"") + name + "\" is out of range (" + std::to_string(low) + " to " +
                       std::to_string(high) + ")";
            *out = static_cast<int>(value);
            return {};
        };
        auto string = [&](const char* name, std::string* out) -> std::string {
            const auto it = request.find(name);
            if (it == request.end() || !it->is_string()) return std::string("\"") + name + "\" must be a string";
            *out = it->get<std::string>();
            return {};
        };
        std::string op, error;
        int index = 0;
        if (!(error = string("op", &op)).empty()) return error;
        if (!(error = integer("panel", 0, PanelCount() - 1, &index)).empty()) return error;
        WebPanel& panel = *panels_[static_cast<size_t>(index)];
        if (op == "mouse") {
            std::string event;
            int x = 0, y = 0;
            if (!(error = string("event", &event)).empty()) return error;
            if (!(error = integer("x", -32768, 32767, &x)).empty()) return error;
            if (!(error = integer("y", -32768, 32767, &y)).empty()) return error;
            const auto ctrl = request.find("ctrl");
            if (ctrl != request.end() && !ctrl->is_boolean()) return "\"ctrl\" must be true or false";
            std::lock_guard<std::mutex> guard(panel.Lock());
            return panel.Mouse(event, x, y, ctrl != request.end() && ctrl->get<bool>());
        }
        if (op == "key") {
            std::string action;
            int id = 0;
            if (!(error = string("action", &action)).empty()) return error;
            if (!(error = integer("id", 0, 255, &id)).empty())
                return error + "; panel " + std::to_string(index) + " has no such key";
            std::lock_guard<std::mutex> guard(panel.Lock());
            return panel.Key(action, id);
        }
        if (op == "release-all") {
            std::lock_guard<std::mutex> guard(panel.Lock());
            return panel.ReleaseAll();
        }
        return "unknown op \"" + op.substr(0, 40) + "\" (mouse, key or release-all)";
    }

    ServerOptions options_;
    WsServer ws_;
    std::vector<std::unique_ptr<WebPanel>> panels_;
    std::vector<Hosting> hosts_;
    std::map<Handle, Page, std::owner_less<Handle>> pages_;
    std::unique_ptr<asio::steady_timer> tick_;
    std::thread thread_;
    unsigned short port_ = 0;
    bool started_ = false;
    std::atomic<bool> stopped_{false};
    uint64_t lastRender_ = 0;
};

Server::Server(ServerOptions options) : impl_(std::make_unique<Impl>(std::move(options))) {}
Server::~Server() = default;
int Server::AddPanel(const PanelConfig& config, std::string* error) { return impl_->AddPanel(config, error); }
bool Server::Start(std::string* error) { return impl_->Start(error); }
void Server::Stop() { impl_->Stop(); }
unsigned short Server::Port() const { return impl_->Port(); }
std::string Server::Url() const { return impl_->Url(); }
int Server::PanelCount() const { return impl_->PanelCount(); }
const PanelConfig& Server::Panel(int index) const { return impl_->Panel(index); }
std::unique_ptr<orphost::Transport> Server::Connect(int index) { return impl_->Connect(index); }

}  // namespace orpweb
