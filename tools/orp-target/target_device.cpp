// The device behaviour of orp-target.
#include "target_device.h"

#include <cstdlib>
#include <sstream>

#include "monitor/monitor_line.h"

namespace {
constexpr int kFromPanel = MONITOR_HOST_TO_PANEL;
constexpr int kToPanel = MONITOR_PANEL_TO_HOST;
constexpr size_t kFloodMaxFrames = 100000;
constexpr size_t kFloodMaxSize = 4096;

std::vector<uint8_t> HexBytes(std::istringstream& in) {
    std::vector<uint8_t> out;
    std::string word;
    while (in >> word) out.push_back(static_cast<uint8_t>(std::strtoul(word.c_str(), nullptr, 16)));
    return out;
}
}  // namespace

TargetDevice::TargetDevice(int mode, Sender send, Logger log)
    : mode_(static_cast<uint8_t>(mode)), pendingMode_(static_cast<uint8_t>(mode)), send_(std::move(send)),
      log_(std::move(log)) {
    ResetFrameAssembler(&assembler_);
}

bool TargetDevice::SetHandshake(const std::string& kind) {
    if (kind == "granted") handshake_ = 0x11;
    else if (kind == "granted2") handshake_ = 0x12;
    else if (kind == "inuse") handshake_ = 0x01;
    else if (kind == "locked") handshake_ = 0x05;
    else if (kind == "none") handshake_ = 0x00;
    else if (kind == "silent") handshake_ = -1;
    else {
        char* end = nullptr;
        long value = std::strtol(kind.c_str(), &end, 16);
        if (kind.empty() || *end || value < 0 || value > 255) return false;
        handshake_ = static_cast<int>(value);
    }
    return true;
}

void TargetDevice::Log(int direction, const uint8_t* bytes, int count) {
    std::string line = FormatMonitorLine(direction, bytes, static_cast<size_t>(count), mode_, pendingMode_);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    log_((direction == kFromPanel ? "panel>  " : "target> ") + line);
}

void TargetDevice::SendRaw(const std::vector<uint8_t>& bytes) {
    Log(kToPanel, bytes.data(), static_cast<int>(bytes.size()));
    send_(bytes);
}

void TargetDevice::Answer(const std::vector<uint8_t>& message) {
    uint8_t frame[kFrameBuildSize];
    const int n = BuildFrameWithMode(sequences_, mode_, message.data(), static_cast<int>(message.size()), 0, frame);
    uint8_t stuffed[kFrameStuffSize];
    const int s = n ? StuffFrame(frame, n, stuffed, kFrameStuffSize) : 0;
    if (!s) {
        log_("# message too long to frame");
        return;
    }
    SendRaw(std::vector<uint8_t>(stuffed, stuffed + s));
}

void TargetDevice::SendKeyReport() {
    uint8_t report[kKeyReportMaxSize];
    const int n = EncodeKeyReport(keys_, reported_, 1, mode_, report, nullptr);
    Answer(std::vector<uint8_t>(report, report + n));
}

void TargetDevice::OnDatagram(const uint8_t* bytes, int count) {
    std::vector<uint8_t> frame(static_cast<size_t>(count));
    const int length = UnescapeFrame(bytes, count, frame.data());
    OnFrame(bytes, count, frame.data(), length);
}

void TargetDevice::OnSerialBytes(const uint8_t* bytes, int count) {
    while (count > 0) {
        stAssembledFrame frame;
        const int complete = FeedFrameAssembler(&assembler_, bytes, count, &frame);
        rawFrame_.insert(rawFrame_.end(), bytes, bytes + frame.consumed);
        if (rawFrame_.size() > kFrameAssemblySize) rawFrame_.erase(rawFrame_.begin(), rawFrame_.end() - kFrameAssemblySize);
        bytes += frame.consumed;
        count -= frame.consumed;
        if (complete) {
            std::vector<uint8_t> copy(frame.bytes, frame.bytes + frame.length);
            OnFrame(rawFrame_.data(), static_cast<int>(rawFrame_.size()), copy.data(), frame.length);
            rawFrame_.clear();
        }
        if (frame.consumed == 0) break;
    }
}

void TargetDevice::OnFrame(const uint8_t* raw, int rawCount, const uint8_t* frame, int length) {
    Log(kFromPanel, raw, rawCount);
    if (length < 1) return;
    const uint8_t command = frame[0];
    // The panel's own messages to the target are taken whatever their framing.
    if (command == 'H') {
        // A panel that announces the link to its host frames its hello with sequence byte and
        // CRC; the target then answers in that mode too.
        const uint8_t setupMode = MODE_SEQUENCE | MODE_CRC;
        if (mode_ != setupMode && length == 5 && CheckFrame(sequences_, frame, length, setupMode, 0, nullptr) != CHECK_BAD) {
            mode_ = pendingMode_ = setupMode;
            log_("# the hello came in mode 18: answering in it");
        }
        if (handshake_ >= 0) Answer({'h', 0x00, static_cast<uint8_t>(handshake_)});
        return;
    }
    if (command == 'F') {
        log_(length > 1 && frame[1] == 0x01 ? "# taken over as supervisor" : "# taken over");
        handshake_ = 0x11;
        return;
    }
    if (command == 'R') {
        if (length == 6 && frame[1] == 'U' && frame[2] == 0xAA && frame[3] == 0xCC && frame[4] == '3') {
            mode_ = pendingMode_ = 0;
            ResetOutgoingSequence(sequences_);
            Answer({'r'});
        }
        return;
    }
    const uint8_t checkMode = command == 'A' ? pendingMode_ : mode_;
    int params = 0;
    const int check = CheckFrame(sequences_, frame, length, checkMode, 1, &params);
    if (command == kAck || command == kNak) return;
    if (check == CHECK_BAD) {
        Answer({kNak});
        return;
    }
    if (check == CHECK_DUPLICATE) {
        Answer({kAck});
        return;
    }
    switch (command) {
    case 'V': Answer({'v', 0x01, 0x00, 0x00}); break;
    case 'T': Answer({'t', 0x01, 0x01, 0x00, 0x40, 0x10, 0x08, 0x3F}); break;
    case 'K': SendKeyReport(); break;
    case 'M':
        if (params >= 1) pendingMode_ = frame[1];
        Answer({'m', pendingMode_});
        break;
    case 'A':
        mode_ = pendingMode_;
        Answer({kAck});
        break;
    case 'G': Answer({'g', 0x00}); break;
    case 'C': Answer({'c', 0x80}); break;
    default: Answer({kAck}); break;
    }
}

int TargetDevice::RunCommand(const std::string& text) {
    std::istringstream in(text);
    std::string word;
    if (!(in >> word) || word[0] == '#') return 0;
    if (word == "quit") {
        quit_ = true;
    } else if (word == "wait") {
        int ms = 0;
        in >> ms;
        return ms > 0 ? ms : 0;
    } else if (word == "key") {
        int id = -1;
        std::string state;
        in >> id >> state;
        if (id < 0 || id > 255 || (state != "down" && state != "up")) {
            log_("# usage: key ID down|up");
            return 0;
        }
        const uint8_t bit = static_cast<uint8_t>(1u << (id & 7));
        if (state == "down") keys_[id >> 3] |= bit;
        else keys_[id >> 3] &= static_cast<uint8_t>(~bit);
        SendKeyReport();
    } else if (word == "keys") {
        std::vector<uint8_t> message = HexBytes(in);
        message.insert(message.begin(), 'k');
        Answer(message);
    } else if (word == "reset") {
        mode_ = pendingMode_ = 0;
        ResetOutgoingSequence(sequences_);
        Answer({'r'});
    } else if (word == "mode") {
        std::vector<uint8_t> mode = HexBytes(in);
        if (mode.empty()) return 0;
        Answer({'m', mode[0]});
        mode_ = pendingMode_ = mode[0];
    } else if (word == "handshake") {
        std::string kind;
        in >> kind;
        if (!SetHandshake(kind)) log_("# unknown handshake " + kind);
    } else if (word == "send") {
        std::vector<uint8_t> message = HexBytes(in);
        if (!message.empty()) Answer(message);
    } else if (word == "raw") {
        SendRaw(HexBytes(in));
    } else if (word == "flood") {
        // Malformed frames of SIZE bytes (no CR inside, bad checks), COUNT of them.
        size_t count = 0, size = 0;
        in >> count >> size;
        if (count > kFloodMaxFrames) count = kFloodMaxFrames;
        if (size < 1) size = 1;
        if (size > kFloodMaxSize) size = kFloodMaxSize;
        std::vector<uint8_t> junk(size);
        for (size_t i = 0; i < size; ++i) junk[i] = static_cast<uint8_t>(i % 251 == 12 ? 0x1B : 0x80 + i % 100);
        junk.back() = kCr;
        for (size_t i = 0; i < count; ++i) send_(junk);
        log_("# flooded " + std::to_string(count) + " frames of " + std::to_string(size) + " bytes");
    } else {
        log_("# unknown command: " + word);
    }
    return 0;
}
