// One panel of orp-web: a headless panel with its design, guarded by a lock (the server's
// thread, the host's thread and the page's actions all reach it), and what the pages were last
// sent of it, so that each change goes out as the pixels and values that changed.
//
// Nothing here knows WebSocket or HTTP: the server turns the messages built here into frames.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "orppanel_headless.h"
#include "web_server.h"

namespace orpweb {

// Who plays the host of a panel.
enum class HostKind { None, Socket, InProcess };

// What changed since the last look, ready to send to every page.
struct PanelChanges {
    bool geometry = false;             // the picture's size changed: send DesignMessage() first
    std::vector<std::string> patches;  // binary messages (PatchHeader + RGB rows)
    std::string state;                 // a "state" message, empty when nothing changed
    std::vector<std::string> beeps;    // "beep" messages
};

class WebPanel {
public:
    WebPanel(int index, PanelConfig config);
    ~WebPanel();
    WebPanel(const WebPanel&) = delete;
    WebPanel& operator=(const WebPanel&) = delete;

    // Opens the headless panel with the design, or starts it afresh (a host connected). False
    // with the reason in *error.
    bool Open(std::string* error);

    int Index() const { return index_; }
    const PanelConfig& Config() const { return config_; }
    std::mutex& Lock() { return lock_; }

    // ---- with Lock() held
    HostKind Host() const { return host_; }
    void SetHost(HostKind host) { host_ = host; dirty_ = true; }
    // Bytes from the host's byte stream: cut into frames at each CR that no ESC precedes, each
    // frame handed to the panel as one call (a frame may arrive in pieces).
    void FromHost(const uint8_t* bytes, size_t count);
    // Bytes of a frame begun by the host and not ended yet.
    size_t PartialFrameBytes() const { return partialBytes_; }
    // Appends every frame queued for the host; true when there was one.
    bool ToHost(std::vector<uint8_t>& out);
    // Drops what waits for a host that is not there.
    void DiscardToHost();
    // Moves the panel's clock on by the real time since the last call.
    void Tick(uint64_t nowMs);

    // A page's action; the empty string on success, else what was wrong with it.
    std::string Mouse(const std::string& event, int x, int y, bool ctrl);
    std::string Key(const std::string& action, int id);
    std::string ReleaseAll();

    // Renders (when something may have changed) and compares with what the pages were sent
    // last; takes the tones sounded meanwhile.
    PanelChanges Changes();
    // For a page that just connected: its design message, the whole picture, the state.
    std::string DesignMessage() const;
    std::string FullPicture() const;
    std::string StateMessage() const { return lastState_; }
    // The headless panel's own PNG of the panel as it is now, or empty when there is nothing
    // to draw.
    std::string Png();

private:
    struct Object {
        int kind, id, left, top, right, bottom;
        std::string name, tooltip;
    };
    void ReadObjects();
    std::string BuildState();
    bool IsKey(int id) const;
    std::string Patch(int x, int y, int w, int h) const;

    const int index_;
    const PanelConfig config_;
    std::mutex lock_;
    orph_panel* panel_ = nullptr;
    HostKind host_ = HostKind::None;
    bool hostEscape_ = false;  // the host's last byte was an ESC outside a finished frame
    size_t partialBytes_ = 0;  // bytes of the host's frame since its last CR
    bool dirty_ = true;        // something may have changed since the last render
    uint64_t clockMs_ = 0;     // the real time of the last Tick, 0 before the first
    std::vector<Object> objects_;
    int width_ = 0, height_ = 0;
    std::vector<uint32_t> shown_;  // the picture the pages have
    std::vector<uint32_t> scratch_;
    std::string lastState_;
    int beepsSeen_ = 0;
};

// The binary patch message: kind 1, the panel's index, then x, y, width, height as
// little-endian u16, then width x height pixels of three bytes (red, green, blue), row by row.
constexpr size_t kPatchHeaderSize = 10;

}  // namespace orpweb
