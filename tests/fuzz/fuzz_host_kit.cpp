// The host kit's answer parser on arbitrary panel bytes. The input plays the panel: it is
// delivered in chunks of a size it chooses itself, while the kit switches to a mode the input
// names (so the check runs with sequence bytes, checksum and CRC as the input reaches them),
// asks a query, and then polls the rest. Every frame the kit sends back must be well formed:
// it ends with its only unescaped CR. Independently, each checked frame must round-trip.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "orppanel_host.h"

namespace {
class FuzzPanel : public orphost::Transport {
public:
    FuzzPanel(const uint8_t* data, size_t size, size_t chunk) : data_(data), size_(size), chunk_(chunk) {}
    void Send(const uint8_t* frame, size_t length) override {
        if (length < 1 || frame[length - 1] != orphost::kCr) __builtin_trap();
        bool escaped = false;
        for (size_t i = 0; i + 1 < length; ++i) {
            if (!escaped && frame[i] == orphost::kCr) __builtin_trap();
            escaped = !escaped && frame[i] == orphost::kEsc;
        }
        if (escaped) __builtin_trap();  // the final CR would be taken as data
    }
    bool Receive(orphost::Bytes& bytes) override {
        if (at_ >= size_) return false;
        const size_t n = size_ - at_ < chunk_ ? size_ - at_ : chunk_;
        bytes.insert(bytes.end(), data_ + at_, data_ + at_ + n);
        at_ += n;
        return true;
    }

private:
    const uint8_t* data_;
    size_t size_, chunk_, at_ = 0;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    FuzzPanel link(data + 2, size - 2, 1 + data[0] % 32);
    orphost::Panel panel(link, orphost::Panel::Options{2, 4, 0, false});  // failures are expected here
    bool badKey = false;
    panel.onKeyDown = [&](int id) { badKey = badKey || id < 0 || id > 255; };
    panel.onKeyUp = [&](int id) { badKey = badKey || id < 0 || id > 255; };
    panel.SetMode(data[1] & 0x1F);
    (void)panel.QueryModel();
    (void)panel.ReadAddress();
    panel.Poll();
    if (badKey) __builtin_trap();

    orphost::Bytes frame(data + 2, data + size);
    frame.push_back(orphost::kCr);
    for (uint8_t mode : {0x00, 0x04, 0x08, 0x0C, 0x10, 0x18}) {
        const orphost::PanelFrame f = orphost::CheckPanelFrame(frame, mode, data[1]);
        if (f.check == orphost::Check::Bad) continue;
        orphost::Bytes message{f.command};
        message.insert(message.end(), f.params.begin(), f.params.end());
        const orphost::Bytes again = orphost::BuildFrame(mode, message.data(), message.size(), f.sequence);
        orphost::FrameCutter cutter;
        orphost::FrameCutter::Cut cut = orphost::FrameCutter::More;
        for (uint8_t b : again) cut = cutter.Feed(b);
        if (frame.size() < orphost::kMaxFrame && (cut != orphost::FrameCutter::Complete || cutter.Frame() != frame))
            if (f.command != 'R') __builtin_trap();
    }
    return 0;
}
