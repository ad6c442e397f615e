// One panel of orp-web. The pages get the picture as patches: after each change the panel is
// rendered whole (about 2 ms for a 640 x 400 panel) and compared with the picture the pages
// already have, band by band of 16 rows, so that a new LCD text or an LED sends only the
// pixels around it. The values a page shows as text (LCD lines, LEDs, keys, status line) go
// as one JSON message whenever one of them changed.
#include "web_panel.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <sstream>

namespace orpweb {
namespace {
using json = nlohmann::json;

constexpr int kBandRows = 16;
constexpr uint8_t kCr = 0x0D, kEsc = 0x1B;

std::string FileName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void PutU16(std::string& out, size_t at, int value) {
    out[at] = static_cast<char>(value & 0xFF);
    out[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

const char* HostName(HostKind host) {
    switch (host) {
    case HostKind::Socket: return "socket";
    case HostKind::InProcess: return "in-process";
    default: return "none";
    }
}
}  // namespace

WebPanel::WebPanel(int index, PanelConfig config) : index_(index), config_(std::move(config)) {}

WebPanel::~WebPanel() { orph_close(panel_); }

bool WebPanel::Open(std::string* error) {
    orph_panel* fresh = orph_open();
    if (!fresh) {
        if (error) *error = "out of memory";
        return false;
    }
    if (!config_.lcdLibrary.empty() && orph_load_lcd_library(fresh, config_.lcdLibrary.c_str()) < 0) {
        if (error) *error = "cannot read the LCD library folder " + config_.lcdLibrary;
        orph_close(fresh);
        return false;
    }
    if (!orph_load_design(fresh, config_.design.c_str())) {
        if (error) *error = "cannot open the design " + config_.design + " (missing, or not a design file)";
        orph_close(fresh);
        return false;
    }
    orph_close(panel_);
    panel_ = fresh;
    hostEscape_ = false;
    partialBytes_ = 0;
    beepsSeen_ = 0;
    clockMs_ = 0;
    dirty_ = true;
    ReadObjects();
    return true;
}

void WebPanel::ReadObjects() {
    objects_.clear();
    const int count = orph_object_count(panel_);
    for (int i = 0; i < count; ++i) {
        orph_object o{};
        char name[256], tooltip[1024];
        if (!orph_object_info(panel_, i, &o, name, sizeof name, tooltip, sizeof tooltip)) break;
        objects_.push_back({o.kind, o.id, o.left, o.top, o.right, o.bottom, name, tooltip});
    }
}

void WebPanel::FromHost(const uint8_t* bytes, size_t count) {
    size_t start = 0;
    for (size_t i = 0; i < count; ++i) {
        if (hostEscape_) {
            hostEscape_ = false;
        } else if (bytes[i] == kEsc) {
            hostEscape_ = true;
        } else if (bytes[i] == kCr) {
            orph_receive_from_app(panel_, bytes + start, static_cast<unsigned>(i + 1 - start));
            start = i + 1;
            partialBytes_ = 0;
        }
    }
    partialBytes_ += count - start;
    // The rest of a frame stays in the panel's frame assembler until its CR comes.
    if (start < count) orph_receive_from_app(panel_, bytes + start, static_cast<unsigned>(count - start));
    dirty_ = true;
}

bool WebPanel::ToHost(std::vector<uint8_t>& out) {
    bool any = false;
    uint8_t frame[1024];
    for (;;) {
        int n = orph_read_to_host(panel_, frame, sizeof frame);
        if (n < 0) {  // longer than any frame the panel builds, taken all the same
            std::vector<uint8_t> large(static_cast<size_t>(-n));
            n = orph_read_to_host(panel_, large.data(), -n);
            if (n <= 0) break;
            out.insert(out.end(), large.begin(), large.begin() + n);
        } else if (n == 0) {
            break;
        } else {
            out.insert(out.end(), frame, frame + n);
        }
        any = true;
    }
    return any;
}

void WebPanel::DiscardToHost() {
    std::vector<uint8_t> dropped;
    ToHost(dropped);
}

void WebPanel::Tick(uint64_t nowMs) {
    if (clockMs_ == 0) clockMs_ = nowMs;
    const uint64_t elapsed = nowMs - clockMs_;
    if (elapsed == 0) return;
    // The timers' periods are 500 ms and more: a look every 100 ms shows each in time.
    if (nowMs / 100 != clockMs_ / 100) dirty_ = true;
    orph_advance_ms(panel_, static_cast<unsigned>(std::min<uint64_t>(elapsed, 60000)));
    clockMs_ = nowMs;
}

std::string WebPanel::Mouse(const std::string& event, int x, int y, bool ctrl) {
    dirty_ = true;
    if (event == "down") {
        orph_mouse_down(panel_, x, y, ctrl ? 1 : 0);
    } else if (event == "up") {
        orph_mouse_up(panel_, x, y, ctrl ? 1 : 0);
    } else if (event == "move") {
        orph_mouse_move(panel_, x, y);
    } else {
        return "unknown mouse event \"" + event.substr(0, 40) + "\" (down, up or move)";
    }
    return {};
}

bool WebPanel::IsKey(int id) const {
    return std::any_of(objects_.begin(), objects_.end(),
                       [id](const Object& o) { return o.kind == ORPH_OBJECT_KEY && o.id == id; });
}

std::string WebPanel::Key(const std::string& action, int id) {
    if (!IsKey(id)) return "panel " + std::to_string(index_) + " has no key " + std::to_string(id);
    dirty_ = true;
    if (action == "press") {
        orph_press_key(panel_, id);
    } else if (action == "release") {
        orph_release_key(panel_, id);
    } else if (action == "latch") {
        orph_latch_key(panel_, id);
    } else if (action == "click") {
        orph_press_key(panel_, id);
        orph_release_key(panel_, id);
    } else {
        return "unknown key action \"" + action.substr(0, 40) + "\" (press, release, latch or click)";
    }
    return {};
}

std::string WebPanel::ReleaseAll() {
    dirty_ = true;
    orph_release_all_keys(panel_);
    return {};
}

std::string WebPanel::BuildState() {
    json lcd = json::array();
    for (int row = 0; row < orph_lcd_rows(panel_); ++row) {
        char text[4 * 80 + 1];
        lcd.push_back(orph_lcd_row_text(panel_, row, text, sizeof text) >= 0 ? text : "");
    }
    json leds = json::array(), keys = json::array();
    for (const Object& o : objects_)
        if (o.kind == ORPH_OBJECT_LED && orph_led_state(panel_, o.id) == 1) leds.push_back(o.id);
    for (int id = 0; id < 256; ++id)
        if (orph_key_state(panel_, id) == 1) keys.push_back(id);
    char status[1024];
    if (orph_status_text(panel_, status, sizeof status) < 0) status[0] = '\0';
    json state = {{"type", "state"},       {"panel", index_},
                  {"lcd", lcd},            {"leds", leds},
                  {"keys", keys},          {"status", status},
                  {"host", HostName(host_)}, {"backlight", orph_lcd_backlight(panel_)}};
    // Design texts are not always valid UTF-8 once cut; replace rather than fail.
    return state.dump(-1, ' ', false, json::error_handler_t::replace);
}

std::string WebPanel::Patch(int x, int y, int w, int h) const {
    std::string out(kPatchHeaderSize + static_cast<size_t>(w) * h * 3, '\0');
    out[0] = 1;
    out[1] = static_cast<char>(index_);
    PutU16(out, 2, x);
    PutU16(out, 4, y);
    PutU16(out, 6, w);
    PutU16(out, 8, h);
    size_t at = kPatchHeaderSize;
    for (int row = y; row < y + h; ++row)
        for (int col = x; col < x + w; ++col) {
            const uint32_t c = shown_[static_cast<size_t>(row) * width_ + col];  // 0x00BBGGRR
            out[at++] = static_cast<char>(c & 0xFF);
            out[at++] = static_cast<char>((c >> 8) & 0xFF);
            out[at++] = static_cast<char>((c >> 16) & 0xFF);
        }
    return out;
}

PanelChanges WebPanel::Changes() {
    PanelChanges changes;
    const int beeps = orph_beep_count(panel_);
    if (beeps > beepsSeen_) {
        unsigned hz = 0, ms = 0;
        orph_last_beep(panel_, &hz, &ms);
        changes.beeps.push_back(
            json{{"type", "beep"}, {"panel", index_}, {"hz", hz}, {"ms", ms}, {"count", beeps - beepsSeen_}}.dump());
    }
    beepsSeen_ = beeps;
    if (!dirty_) return changes;
    dirty_ = false;

    int w = 0, h = 0;
    if (!orph_render_panel(panel_, scratch_.data(), static_cast<int>(scratch_.size()), &w, &h) && w * h > 0) {
        scratch_.assign(static_cast<size_t>(w) * h, 0);
        orph_render_panel(panel_, scratch_.data(), static_cast<int>(scratch_.size()), &w, &h);
    }
    if (w != width_ || h != height_) {
        width_ = w;
        height_ = h;
        shown_.assign(scratch_.begin(), scratch_.begin() + static_cast<ptrdiff_t>(w) * h);
        changes.geometry = true;
        if (w * h > 0) changes.patches.push_back(Patch(0, 0, w, h));
    } else {
        for (int top = 0; top < h; top += kBandRows) {
            const int bottom = std::min(h, top + kBandRows);
            int left = w, right = -1;
            for (int y = top; y < bottom; ++y) {
                const uint32_t* now = &scratch_[static_cast<size_t>(y) * w];
                const uint32_t* was = &shown_[static_cast<size_t>(y) * w];
                for (int x = 0; x < w; ++x)
                    if (now[x] != was[x]) {
                        left = std::min(left, x);
                        right = std::max(right, x);
                    }
            }
            if (right < 0) continue;
            for (int y = top; y < bottom; ++y)
                std::copy_n(&scratch_[static_cast<size_t>(y) * w + left], right + 1 - left,
                            &shown_[static_cast<size_t>(y) * w + left]);
            changes.patches.push_back(Patch(left, top, right + 1 - left, bottom - top));
        }
    }
    std::string state = BuildState();
    if (state != lastState_) {
        lastState_ = state;
        changes.state = std::move(state);
    }
    return changes;
}

std::string WebPanel::DesignMessage() const {
    json objects = json::array();
    for (const Object& o : objects_)
        objects.push_back({{"kind", o.kind == ORPH_OBJECT_LED ? "led" : "key"},
                           {"id", o.id},
                           {"name", o.name},
                           {"tooltip", o.tooltip},
                           {"rect", {o.left, o.top, o.right, o.bottom}}});
    const std::string title = config_.title.empty() ? FileName(config_.design) : config_.title;
    return json{{"type", "panel"}, {"panel", index_}, {"title", title}, {"width", width_}, {"height", height_},
                {"objects", objects}}
        .dump(-1, ' ', false, json::error_handler_t::replace);
}

std::string WebPanel::FullPicture() const { return width_ * height_ > 0 ? Patch(0, 0, width_, height_) : std::string(); }

std::string WebPanel::Png() {
    const char* folder = std::getenv("TMPDIR");
    std::string name = std::string(folder && *folder ? folder : "/tmp") + "/orp-web-XXXXXX";
    std::vector<char> path(name.begin(), name.end());
    path.push_back('\0');
    const int fd = mkstemp(path.data());
    if (fd < 0) return {};
    close(fd);
    std::string bytes;
    if (orph_save_panel_png(panel_, path.data())) {
        std::ifstream in(path.data(), std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    unlink(path.data());
    return bytes;
}

}  // namespace orpweb
