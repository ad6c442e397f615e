/*
 * orppanel_host.h - the host side of the panel protocol, header-only C++17.
 *
 * A host application (the device's firmware, built for the PC) talks to the panel in framed
 * panel messages. This header does the protocol work, so that a host is a few lines:
 *
 *   orphost::DllTransport link(OPT_ENGLISH);     // Windows: the six DLL functions
 *   orphost::Panel panel(link);
 *   panel.onKeyDown = [](int id) { ... };
 *   panel.WaitForReset();                         // the panel announces itself with 'r'
 *   panel.SetMode(orphost::kModeSequence | orphost::kModeCrc);
 *   panel.Text("Hello");
 *   for (;;) panel.Poll();                        // key reports arrive here
 *
 * What Panel does for you:
 *  - frames every message for the protocol mode in force (sequence byte, checksum or CRC-16,
 *    ESC stuffing) and follows mode changes ('M' + 'A') and resets ('R', the panel's 'r');
 *  - cuts the panel's bytes into frames, removes the stuffing, checks them, drops duplicates,
 *    acknowledges the reset announcement and (when the mode asks for it) every key report;
 *  - keeps the key state from the 'k' reports and calls onKeyDown / onKeyUp per changed key;
 *  - waits for the answer of each call and, when the mode has sequence bytes, repeats a call
 *    whose answer was lost (the panel recognises the repeat and does not execute it twice),
 *    and drops an ACK or NAK whose number shows that it answers an earlier frame;
 *  - sets its mode up again when the panel's link notice says target hardware came up.
 *
 * What the calls return: the message calls an Answer (Ack, Nak, Reply or None = no answer
 * after every attempt; true for Ack and the expected reply); the queries the reply's values
 * or std::nullopt; SetMode, Reset and WaitForReset true when it worked.
 *
 * Defaults worth knowing:
 *  - Protocol mode 0 until SetMode: no sequence bytes, so nothing is repeated, and no
 *    spontaneous key reports, so onKeyDown / onKeyUp run only after RequestKeys(). Set a mode
 *    with kModeKeyReports to get them as the keys change.
 *  - Options: 3 attempts per call, 200 empty receives (about 0.2 s with the DLL) per attempt;
 *    with the headless panel, whose answers are queued before Send returns, Options{3, 1}.
 *  - The panel's backlight starts off (level 0): Backlight(255) lights it (NAK when the
 *    design's model has no backlight).
 *  - GoTo on lines 2 and 3 of a 4-line LCD needs the LCD's characters per line, which no
 *    panel message reports: Options::lcdColumns or SetLcdColumns (the headless transport
 *    knows it). Without it GoTo refuses those lines instead of guessing.
 *  - A call without an answer is reported: onFailure, or one line on stderr.
 *  - Target hardware connected by the panel (serial or UDP): pass OPT_LINK_SETUP_MSG to
 *    SetOptions, so that the panel sends its link notice when the link comes up; the kit then
 *    repeats its mode set-up with the target and calls onLink. Without the option the host
 *    must call SetMode again once the link is up: the target never saw the first one.
 *
 * The protocol part uses the standard library only. The transports at the end reach the panel:
 * DllTransport (Windows, orppanel.h), HeadlessTransport (liborppanel-headless.so,
 * orppanel_headless.h) and, on Linux, SocketTransport (a panel of orp-web in another process).
 * Any other byte pipe (a serial port to real hardware) is a Transport of a few lines.
 *
 * Not thread-safe: use one Panel from one thread.
 *
 * docs/messages.md lists every message with its bytes and the panel's answers;
 * docs/writing-a-host.md explains this kit.
 */
#ifndef ORPPANEL_HOST_H
#define ORPPANEL_HOST_H

#include <algorithm>
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace orphost {

using Bytes = std::vector<uint8_t>;

// ---- protocol constants ---------------------------------------------------------------------
constexpr uint8_t kCr = 0x0D;
constexpr uint8_t kEsc = 0x1B;
constexpr uint8_t kAck = 0x06;
constexpr uint8_t kNak = 0x15;

// Protocol mode bits ('M').
constexpr uint8_t kModeKeyReports = 0x01;  // the panel reports every key change by itself
constexpr uint8_t kModeKeyAck = 0x02;      // key reports are repeated until acknowledged
constexpr uint8_t kModeChecksum = 0x04;    // one checksum byte (ignored with kModeCrc)
constexpr uint8_t kModeSequence = 0x08;    // sequence byte: repeats are recognised
constexpr uint8_t kModeCrc = 0x10;         // two CRC-16 bytes

// The longest message framed with every option on; longer LCD text is sent in pieces.
constexpr size_t kMaxMessage = 252;
// The longest frame (after unstuffing) the receiver keeps; a longer one is dropped whole.
constexpr size_t kMaxFrame = 512;

// ---- frame level ----------------------------------------------------------------------------
// CRC-16/XMODEM (polynomial 0x1021, initial 0, no reflection), one byte at a time.
inline uint16_t Crc16Update(uint16_t crc, uint8_t byte) {
    crc = static_cast<uint16_t>((crc >> 8) | (crc << 8));
    crc ^= byte;
    crc ^= static_cast<uint16_t>((crc & 0xFF) >> 4);
    crc ^= static_cast<uint16_t>(crc << 12);
    crc ^= static_cast<uint16_t>((crc & 0xFF) << 5);
    return crc;
}

inline uint16_t Crc16(const uint8_t* bytes, size_t count) {
    uint16_t crc = 0;
    for (size_t i = 0; i < count; ++i) crc = Crc16Update(crc, bytes[i]);
    return crc;
}

inline bool IsResetCommand(const uint8_t* message, size_t length) { return length > 0 && message[0] == 'R'; }

// Frames a message for `mode` into `out`: message, sequence byte (when the mode has one), check
// bytes, CR; then ESC stuffing. 'R' frames carry neither sequence nor checks. One pass, and no
// allocation once `out` has grown to the frames it holds.
inline void BuildFrameInto(Bytes& out, uint8_t mode, const uint8_t* message, size_t length, uint8_t sequence) {
    out.clear();
    out.reserve(2 * (length + 4) + 1);
    uint16_t crc = 0;
    uint8_t sum = 0;
    auto put = [&](uint8_t b) {
        crc = Crc16Update(crc, b);
        sum = static_cast<uint8_t>(sum + b);
        if (b == kEsc || b == kCr) out.push_back(kEsc);
        out.push_back(b);
    };
    for (size_t i = 0; i < length; ++i) put(message[i]);
    if (!IsResetCommand(message, length)) {
        if (mode & kModeSequence) put(sequence);
        if (mode & kModeCrc) {
            const uint16_t check = crc;
            put(static_cast<uint8_t>(check >> 8));
            put(static_cast<uint8_t>(check & 0xFF));
        } else if (mode & kModeChecksum) {
            put(static_cast<uint8_t>(~sum));
        }
    }
    out.push_back(kCr);
}

inline Bytes BuildFrame(uint8_t mode, const uint8_t* message, size_t length, uint8_t sequence) {
    Bytes out;
    BuildFrameInto(out, mode, message, length, sequence);
    return out;
}

// Cuts a byte stream into unescaped frames (CR included). A frame ends at a CR that no ESC
// precedes; ESC makes the next byte literal. A frame longer than kMaxFrame is dropped whole.
class FrameCutter {
public:
    enum Cut { More, Complete, Dropped };
    // Feeds one byte. Complete: it completed a frame, which Frame() holds until the next feed.
    // Dropped: it ended a frame that was too long.
    Cut Feed(uint8_t b) {
        if (complete_) {
            frame_.clear();
            complete_ = false;
        }
        if (escape_) {
            escape_ = false;
            Store(b);
            return More;
        }
        if (b == kEsc) {
            escape_ = true;
            return More;
        }
        if (b != kCr) {
            Store(b);
            return More;
        }
        if (overrun_) {
            overrun_ = false;
            frame_.clear();
            return Dropped;
        }
        frame_.push_back(kCr);
        complete_ = true;
        return Complete;
    }
    const Bytes& Frame() const { return frame_; }

private:
    void Store(uint8_t b) {
        if (overrun_) return;
        if (frame_.size() + 1 >= kMaxFrame) {
            overrun_ = true;
            frame_.clear();
            return;
        }
        frame_.push_back(b);
    }
    Bytes frame_;
    bool escape_ = false;
    bool overrun_ = false;
    bool complete_ = false;
};

enum class Check { Accepted, Bad, Duplicate };

// A checked frame from the panel.
struct PanelFrame {
    Check check = Check::Bad;
    uint8_t command = 0;
    Bytes params;          // between the command byte and the sequence / check bytes
    uint8_t sequence = 0;  // 0 when the mode has none
};

// Checks an unescaped frame (CR included) against `mode`. `lastAccepted` is the sequence byte of
// the last accepted frame of the panel's own numbering (0 = none); ACK and NAK carry the
// host's number instead, so they are never duplicates.
inline PanelFrame CheckPanelFrame(const Bytes& frame, uint8_t mode, uint8_t lastAccepted) {
    PanelFrame out;
    const size_t checkBytes = (mode & kModeCrc) ? 2 : (mode & kModeChecksum) ? 1 : 0;
    const size_t sequenceBytes = (mode & kModeSequence) ? 1 : 0;
    if (frame.size() < 2 + checkBytes + sequenceBytes || frame.back() != kCr) return out;
    size_t end = frame.size() - 1;  // index of the CR
    if (mode & kModeCrc) {
        if (Crc16(frame.data(), end) != 0) return out;
        end -= 2;
    } else if (mode & kModeChecksum) {
        uint8_t sum = 0;
        for (size_t i = 0; i + 1 < end; ++i) sum = static_cast<uint8_t>(sum + frame[i]);
        if (sum != static_cast<uint8_t>(~frame[end - 1])) return out;
        end -= 1;
    }
    out.command = frame[0];
    if (sequenceBytes) {
        out.sequence = frame[end - 1];
        end -= 1;
    }
    out.params.assign(frame.begin() + 1, frame.begin() + static_cast<std::ptrdiff_t>(end));
    const bool numberedByPanel = out.command != kAck && out.command != kNak;
    out.check = (numberedByPanel && out.sequence && out.sequence == lastAccepted) ? Check::Duplicate
                                                                                   : Check::Accepted;
    return out;
}

// ---- 256-bit bitmaps (keys, LEDs) ------------------------------------------------------------
// Id k is bit (k & 7) of byte (k >> 3).
using Bitmap = std::array<uint8_t, 32>;

inline bool BitOf(const Bitmap& bitmap, int id) {
    return id >= 0 && id < 256 && ((bitmap[static_cast<size_t>(id >> 3)] >> (id & 7)) & 1);
}

// Walks a group string ('k', 'L', 'I' parameters) and calls store(index, value) for each byte it
// sets, in order. A header byte (bit 7 set) names a start byte s = h & 0x1F and a count
// c = ((h >> 5) & 3) + 1 of bytes s, s-1, ...; a byte without bit 7 stands for bits 0-6 of byte
// 0 (store gets index -1 and must keep bit 7). Returns false at a malformed group; the groups
// before it have been stored.
template <class Store>
bool ForEachGroupByte(const uint8_t* params, size_t count, Store store) {
    size_t i = 0;
    while (i < count) {
        const uint8_t h = params[i++];
        if (!(h & 0x80)) {
            store(-1, h);
            continue;
        }
        const int start = h & 0x1F;
        const int n = ((h >> 5) & 3) + 1;
        if (start < n - 1 || count - i < static_cast<size_t>(n)) return false;
        for (int k = 0; k < n; ++k) store(start - k, params[i++]);
    }
    return true;
}

// Applies a group string to a bitmap.
inline bool DecodeGroups(const uint8_t* params, size_t count, Bitmap& bitmap) {
    return ForEachGroupByte(params, count, [&](int index, uint8_t value) {
        if (index < 0)
            bitmap[0] = static_cast<uint8_t>((bitmap[0] & 0x80) | (value & 0x7F));
        else
            bitmap[static_cast<size_t>(index)] = value;
    });
}

// Encodes a whole bitmap as groups: eight headers of four bytes each, byte 31 first.
inline Bytes EncodeGroups(const Bitmap& bitmap) {
    Bytes out;
    for (int start = 31; start >= 3; start -= 4) {
        out.push_back(static_cast<uint8_t>(0x80 | (3 << 5) | start));
        for (int k = 0; k < 4; ++k) out.push_back(bitmap[static_cast<size_t>(start - k)]);
    }
    return out;
}

// ---- transports -----------------------------------------------------------------------------
// How frames reach the panel and the panel's bytes come back.
class Transport {
public:
    virtual ~Transport() = default;
    // Hands the panel one whole frame (transmitted form, ending in CR).
    virtual void Send(const uint8_t* frame, size_t length) = 0;
    // Appends the bytes that wait from the panel (at least one, at most one message for the
    // panel's own queue) to `bytes`; returns false when nothing waits.
    virtual bool Receive(Bytes& bytes) = 0;
    // Called while an answer is awaited and nothing waits: give the panel time.
    virtual void Idle() {}
    // Characters per LCD line when the transport can tell (the headless panel can); 0 when it
    // cannot: no panel message reports the LCD's geometry.
    virtual int LcdColumns() { return 0; }
};

// ---- the panel as the host sees it ---------------------------------------------------------
struct Answer {
    enum Kind { None, Ack, Nak, Reply };
    Kind kind = None;  // None: no answer arrived (after every repeat)
    uint8_t code = 0;  // the reply's command byte: 'v', 't', 'g', 'c', 'm', 'k', 'r'
    Bytes params;      // the reply's parameters
    // True for ACK and for the expected reply.
    explicit operator bool() const { return kind == Ack || kind == Reply; }
};

struct Model {  // the 't' reply
    uint8_t model = 0, type = 0;
    uint16_t bufferSize = 0;
    uint8_t keyCount = 0, ledCount = 0;
    uint8_t capabilities = 0;  // low byte of the model's capability flags
};

struct Stats {
    unsigned framesReceived = 0;  // complete frames cut from the panel's bytes
    unsigned badFrames = 0;       // failed their check (dropped)
    unsigned duplicates = 0;      // repeats of frames already taken (dropped, re-acknowledged)
    unsigned repeats = 0;         // calls the host sent again because their answer was lost
    unsigned resets = 0;          // reset announcements answered
    unsigned staleAnswers = 0;    // ACK / NAK carrying the number of an earlier frame (dropped)
    unsigned linkNotices = 0;     // link notices: a link to target hardware came up
    unsigned failures = 0;        // calls that got no answer, or were refused before sending
};

// A call that got no answer after every attempt, or that the kit refused to send.
struct Failure {
    uint8_t command = 0;         // the message's command byte
    uint8_t mode = 0;            // the protocol mode it was framed in
    int attempts = 0;            // frames sent (0: refused before sending)
    unsigned badFrames = 0;      // frames that failed their check while the call waited
    unsigned staleAnswers = 0;   // answers to earlier frames dropped while the call waited
    unsigned framesTaken = 0;    // frames that arrived while the call waited
    std::string text;            // one line: what happened and where to look
};

class Panel {
public:
    struct Options {
        // Sends per call when the mode has sequence bytes (without them a call goes once).
        int attempts = 3;
        // Empty receives, each followed by Transport::Idle, before the call is sent again. With
        // the DLL Idle sleeps 1 ms, so 200 is about 0.2 s per attempt. The headless panel
        // queues its answers before Send returns: 1 is enough there (Options{3, 1}).
        int pollsPerAttempt = 200;
        // Characters per LCD line, for GoTo on lines 2 and 3. 0: ask the transport (the
        // headless panel knows it, the DLL and a serial line do not).
        int lcdColumns = 0;
        // Without onFailure, a call that got no answer is described in one line on stderr.
        bool reportFailures = true;
    };

    explicit Panel(Transport& transport) : Panel(transport, Options()) {}
    Panel(Transport& transport, Options options) : link_(transport), options_(options) {}

    // Called once per change of a key, in the order the report holds them. They run after the frame
    // that brought the change was taken (from Poll or at the end of a call), so they may call
    // the panel themselves.
    std::function<void(int id)> onKeyDown;
    std::function<void(int id)> onKeyUp;
    // Called after the panel announced a reset (the mode is 0 again).
    std::function<void()> onReset;
    // Called after the panel announced that a link to target hardware came up (its link
    // notice, sent with OPT_LINK_SETUP_MSG) and the kit repeated its mode set-up for the
    // target; Mode() tells the mode agreed. `network`: UDP, else serial.
    std::function<void(bool network)> onLink;
    // Called for a call that got no answer after every attempt (or was refused, as GoTo on a
    // line whose address needs the unknown LCD width). Without it, and with
    // Options::reportFailures, the failure's text goes to stderr.
    std::function<void(const Failure&)> onFailure;
    // Every frame as it goes to the panel (`toPanel`) or comes from it (transmitted form).
    std::function<void(bool toPanel, const Bytes& frame)> onTraffic;

    // ---- LCD
    Answer Text(std::string_view text) {  // 'W'; long text goes in several frames
        Answer last;
        last.kind = Answer::Ack;
        for (size_t at = 0; at < text.size() || at == 0; at += kMaxMessage - 1) {
            Bytes m{'W'};
            const std::string_view piece = text.substr(at, kMaxMessage - 1);
            m.insert(m.end(), piece.begin(), piece.end());
            last = Call(m, Expect::Ack);
            if (!last) break;
        }
        return last;
    }
    Answer Instruction(uint8_t instruction) { return Call({'D', instruction}, Expect::Ack); }  // 'D'
    Answer InstructionAndText(uint8_t instruction, std::string_view text) {                     // 'S'
        Bytes m{'S', instruction};
        m.insert(m.end(), text.begin(), text.end());
        return Call(m, Expect::Ack);
    }
    Answer Fill(uint8_t count, uint8_t code) { return Call({'P', count, code}, Expect::Ack); }  // 'P'
    Answer Clear() { return Instruction(0x01); }
    Answer SetAddress(uint8_t address) { return Instruction(static_cast<uint8_t>(0x80 | address)); }
    // Moves to a cell of a 1- to 4-line LCD. Lines 0 and 1 start at the controller's
    // addresses 0x00 and 0x40; lines 2 and 3 continue them one line width further, so they need
    // the LCD's characters per line: `columns`, else Options::lcdColumns / SetLcdColumns, else
    // the transport's (headless panel). No panel message reports the width (the model reply
    // 'T' has none), so over the DLL or a serial line a GoTo to line 2 or 3 without it is
    // refused: nothing is sent, the answer is None and onFailure says why.
    Answer GoTo(int line, int column, int columns = 0) {
        if (columns <= 0) columns = LcdColumns();
        const bool needsWidth = line == 2 || line == 3;
        if (line < 0 || line > 3 || column < 0 || column > 0x3F || (needsWidth && columns <= 0)) {
            char text[200];
            std::snprintf(text, sizeof text,
                          line < 0 || line > 3 || column < 0 || column > 0x3F
                              ? "orphost: GoTo(%d, %d) is outside a 4-line LCD; nothing sent"
                              : "orphost: GoTo(%d, %d) needs the LCD's characters per line, which no panel "
                                "message reports; set Panel::Options::lcdColumns or SetLcdColumns(), or pass it "
                                "as GoTo's third argument; nothing sent",
                          line, column);
            Failure failure;
            failure.command = 'D';
            failure.mode = activeMode_;
            failure.text = text;
            Report(failure);
            return {};
        }
        const int base = (line & 1) ? 0x40 : 0x00;
        return SetAddress(static_cast<uint8_t>(base + (needsWidth ? columns : 0) + column));
    }
    // The characters per LCD line GoTo uses for lines 2 and 3 (0: not known).
    void SetLcdColumns(int columns) { options_.lcdColumns = columns; }
    int LcdColumns() const { return options_.lcdColumns > 0 ? options_.lcdColumns : link_.LcdColumns(); }
    Answer Backlight(uint8_t level) { return Call({'B', level}, Expect::Ack); }  // 'B'
    Answer Contrast(uint8_t level) { return Call({'C', level}, Expect::Reply, 'c'); }  // 'C' -> 'c'
    std::optional<uint8_t> ReadAddress() { return ByteReply(Call({'G', 'A'}, Expect::Reply, 'g')); }
    std::optional<uint8_t> ReadData() { return ByteReply(Call({'G', 'D'}, Expect::Reply, 'g')); }

    // ---- LEDs, buzzer, keys
    Answer Leds(const Bitmap& states) {  // 'L' with the whole bitmap
        leds_ = states;
        Bytes m{'L'};
        const Bytes groups = EncodeGroups(states);
        m.insert(m.end(), groups.begin(), groups.end());
        return Call(m, Expect::Ack);
    }
    Answer Led(int id, bool on) {  // 'L' with the one byte that holds the LED
        if (id < 0 || id > 255) return {};
        const size_t index = static_cast<size_t>(id >> 3);
        const uint8_t bit = static_cast<uint8_t>(1u << (id & 7));
        leds_[index] = static_cast<uint8_t>(on ? (leds_[index] | bit) : (leds_[index] & ~bit));
        return Call({'L', static_cast<uint8_t>(0x80 | index), leds_[index]}, Expect::Ack);
    }
    Answer AllLeds(uint8_t value) {  // 'O': every byte of the LED bitmap
        leds_.fill(value);
        return Call({'O', value}, Expect::Ack);
    }
    const Bitmap& LedStates() const { return leds_; }
    Answer Beep(uint8_t duration50ms, uint8_t frequency100Hz) {  // 'Z'
        return Call({'Z', duration50ms, frequency100Hz}, Expect::Ack);
    }
    Answer ClickMode(uint8_t mode) { return Call({'E', mode}, Expect::Ack); }  // 'E'
    Answer ClickMask(const Bitmap& mask) {                                     // 'I'
        Bytes m{'I'};
        const Bytes groups = EncodeGroups(mask);
        m.insert(m.end(), groups.begin(), groups.end());
        return Call(m, Expect::Ack);
    }
    // 'K': the panel reports the keys that changed since its last report.
    Answer RequestKeys() { return Call({'K'}, Expect::Reply, 'k'); }
    bool KeyDown(int id) const { return BitOf(keys_, id); }
    const Bitmap& Keys() const { return keys_; }

    // ---- queries
    std::optional<std::array<uint8_t, 3>> Version() {  // 'V' -> 'v'
        const Answer a = Call({'V'}, Expect::Reply, 'v');
        if (a.kind != Answer::Reply || a.params.size() < 3) return std::nullopt;
        return std::array<uint8_t, 3>{a.params[0], a.params[1], a.params[2]};
    }
    std::optional<orphost::Model> QueryModel() {  // 'T' -> 't'
        const Answer a = Call({'T'}, Expect::Reply, 't');
        if (a.kind != Answer::Reply || a.params.size() < 7) return std::nullopt;
        const Bytes& p = a.params;
        return orphost::Model{p[0], p[1], static_cast<uint16_t>(p[2] << 8 | p[3]), p[4], p[5], p[6]};
    }

    // ---- protocol mode and reset
    // 'M' then 'A': the panel and the host switch to `mode` together. The kit remembers the
    // mode and sets it up again when a link notice says a target came up.
    bool SetMode(uint8_t mode) {
        desiredMode_ = mode;
        const Answer m = Call({'M', mode}, Expect::Reply, 'm');
        if (m.kind != Answer::Reply || m.params.empty() || m.params[0] != mode) return false;
        const uint8_t old = activeMode_;
        pendingMode_ = mode;
        previousMode_ = old;
        switching_ = true;
        const Answer a = Call({'A'}, Expect::Ack);
        switching_ = false;
        // A NAK means the panel kept its mode. Without any answer it most likely switched
        // (only a refused 'A' is answered in the old mode), so the host stays switched too.
        if (a.kind == Answer::Nak) activeMode_ = old;
        return a.kind == Answer::Ack;
    }
    uint8_t Mode() const { return activeMode_; }
    // 'R': resets the panel's LCD and numbering; the panel answers with its reset announcement,
    // which this call acknowledges (the mode is 0 afterwards).
    bool Reset() {
        desiredMode_ = 0;
        const Answer a = Call({'R', 'U', 0xAA, 0xCC, '3'}, Expect::Reply, 'r');
        return a.kind == Answer::Reply;
    }
    // Waits (up to attempts x pollsPerAttempt receives) for the reset announcement that the
    // panel sends when its window is up; true once it was answered.
    bool WaitForReset() {
        const unsigned before = stats_.resets;
        for (int i = 0; i < options_.attempts * options_.pollsPerAttempt; ++i) {
            if (!Drain(nullptr)) link_.Idle();
            if (stats_.resets != before) break;
        }
        FireEvents();
        return stats_.resets != before;
    }

    // Any message; `expect` says which answer ends the wait (a lower-case code for a reply).
    enum class Expect { Nothing, Ack, Reply };
    Answer Call(const Bytes& message, Expect expect, uint8_t replyCode = 0) {
        Answer answer = Exchange(message, expect, replyCode);
        FireEvents();
        return answer;
    }

    // Takes every frame that waits from the panel: key reports, reset announcements. Call it in
    // the host's main loop. Returns the number of frames taken.
    int Poll() {
        int frames = 0;
        while (int n = Drain(nullptr)) frames += n;
        FireEvents();
        return frames;
    }

    // Feeds bytes from the panel as if the transport had delivered them (the parser's entry).
    int Take(const uint8_t* bytes, size_t count) {
        const int frames = TakeBytes(bytes, count, nullptr);
        FireEvents();
        return frames;
    }

    const Stats& Statistics() const { return stats_; }

private:
    struct Waiting {
        Expect expect;
        uint8_t replyCode;
        uint8_t sequence;  // the number the awaited answer's ACK or NAK carries (0: none)
        Answer* answer;
    };
    struct Event {
        enum Kind { Down, Up, Reset, Link } kind;
        int id;  // the key; for Link 1 = network
    };

    Answer Exchange(const Bytes& message, Expect expect, uint8_t replyCode) {
        if (message.empty() || message.size() > kMaxMessage) return {};
        for (int round = 0;; ++round) {
            const Stats before = stats_;
            int sent = 0;
            const uint8_t mode = switching_ ? pendingMode_ : activeMode_;
            Answer answer = Attempts(message, expect, replyCode, mode, sent);
            if (answer.kind != Answer::None || expect == Expect::Nothing) return answer;
            // A target came up while the call waited: its frame went out in the mode agreed
            // with the panel. Once the mode is set up with the target the call goes again.
            if (round == 0 && SetupDue()) {
                RepeatModeSetup();
                continue;
            }
            ReportNoAnswer(message[0], mode, sent, before);
            return answer;
        }
    }

    Answer Attempts(const Bytes& message, Expect expect, uint8_t replyCode, uint8_t mode, int& sent) {
        // A lost ACK is harmless to repeat: the panel recognises the sequence byte and only
        // acknowledges. A lost reply to a query is asked for again with a new number instead.
        const bool query = expect == Expect::Reply && message[0] != 'R';
        uint8_t sequence = (mode & kModeSequence) ? NextSequence() : 0;
        for (int attempt = 0; attempt < options_.attempts; ++attempt) {
            if (attempt > 0) {
                ++stats_.repeats;
                if (query && sequence) sequence = NextSequence();
            }
            if (sequence) panelLastAccepted_ = sequence;
            BuildFrameInto(sending_, mode, message.data(), message.size(), sequence);
            SendFrame(sending_);
            ++sent;
            if (switching_) activeMode_ = pendingMode_;
            if (message[0] == 'R') ResetNumbering();
            if (expect == Expect::Nothing) return {};
            Answer answer;
            Waiting waiting{expect, replyCode, message[0] == 'R' ? uint8_t{0} : sequence, &answer};
            for (int poll = 0; poll < options_.pollsPerAttempt; ++poll) {
                if (!Drain(&waiting))
                    link_.Idle();
                else if (answer.kind != Answer::None)
                    return answer;
                else if (SetupDue())
                    return {};
            }
            // Without sequence bytes the panel cannot tell a repeat from a new message.
            if (!sequence && message[0] != 'R') break;
        }
        return {};
    }

    // A link notice asked for the mode set-up, and no set-up or mode switch is under way.
    bool SetupDue() const { return linkSetupDue_ && !settingUp_ && !switching_; }

    // After a link notice: the panel has set its modes for the new link and expects the
    // target in them. The host's mode is set up again, framed in that mode first and, when
    // the target refuses it there, in the host's mode (a target that kept it).
    void RepeatModeSetup() {
        linkSetupDue_ = false;
        settingUp_ = true;
        const uint8_t linkMode = activeMode_;
        const uint8_t wanted = desiredMode_;
        if (wanted != linkMode && !SetMode(wanted) && activeMode_ != wanted) {
            activeMode_ = pendingMode_ = previousMode_ = wanted;
            if (!SetMode(wanted) && activeMode_ != wanted) activeMode_ = pendingMode_ = previousMode_ = linkMode;
        }
        desiredMode_ = wanted;
        settingUp_ = false;
        events_.push_back({Event::Link, linkNetwork_ ? 1 : 0});
    }

    // Runs the callbacks of the key, reset and link events taken so far, oldest first, after
    // a mode set-up that a link notice asked for. A callback that calls the panel queues its
    // own events behind; they run in the same loop.
    void FireEvents() {
        if (firing_) return;
        struct Firing {
            bool& flag;
            explicit Firing(bool& f) : flag(f) { flag = true; }
            ~Firing() { flag = false; }
        } firing(firing_);
        for (;;) {
            if (SetupDue()) {
                RepeatModeSetup();
                continue;
            }
            if (events_.empty()) break;
            const Event e = events_.front();
            events_.pop_front();
            if (e.kind == Event::Down && onKeyDown) onKeyDown(e.id);
            if (e.kind == Event::Up && onKeyUp) onKeyUp(e.id);
            if (e.kind == Event::Reset && onReset) onReset();
            if (e.kind == Event::Link && onLink) onLink(e.id != 0);
        }
    }

    void Report(Failure& failure) {
        ++stats_.failures;
        if (onFailure)
            onFailure(failure);
        else if (options_.reportFailures)
            std::fprintf(stderr, "%s\n", failure.text.c_str());
    }

    // Describes a call that got no answer, with what the frames that did arrive suggest.
    void ReportNoAnswer(uint8_t command, uint8_t mode, int sent, const Stats& before) {
        Failure f;
        f.command = command;
        f.mode = mode;
        f.attempts = sent;
        f.badFrames = stats_.badFrames - before.badFrames;
        f.staleAnswers = stats_.staleAnswers - before.staleAnswers;
        f.framesTaken = stats_.framesReceived - before.framesReceived;
        char name[8];
        std::snprintf(name, sizeof name, command >= 0x21 && command < 0x7F ? "'%c'" : "0x%02X", command);
        char text[600];
        int n = std::snprintf(text, sizeof text, "orphost: no answer to %s after %d attempt%s in protocol mode 0x%02X",
                              name, sent, sent == 1 ? "" : "s", mode);
        auto add = [&](const char* part) {
            if (n >= 0 && static_cast<size_t>(n) < sizeof text) n += std::snprintf(text + n, sizeof text - n, "%s", part);
        };
        if (sent == 1 && !(mode & kModeSequence) && options_.attempts > 1)
            add(" (not repeated: without sequence bytes the panel would execute it twice)");
        if (f.badFrames) {
            char part[300];
            std::snprintf(part, sizeof part,
                          "; %u frame%s failed their check: the other side frames in another protocol mode "
                          "(with target hardware, pass OPT_LINK_SETUP_MSG so that the kit sets its mode up "
                          "again when the link comes up, or call SetMode once it is up)",
                          f.badFrames, f.badFrames == 1 ? "" : "s");
            add(part);
        }
        if (f.staleAnswers) {
            char part[120];
            std::snprintf(part, sizeof part, "; %u answer%s to earlier frames dropped", f.staleAnswers,
                          f.staleAnswers == 1 ? "" : "s");
            add(part);
        }
        if (!f.framesTaken) add("; nothing came back");
        f.text = text;
        Report(f);
    }

    static std::optional<uint8_t> ByteReply(const Answer& a) {
        if (a.kind != Answer::Reply || a.params.empty()) return std::nullopt;
        return a.params[0];
    }

    // The next number of a host frame: 'd' .. 'x' after a reset, then 'e' .. 'x' again. The
    // panel takes a frame as a repeat when its number equals the last number it accepted,
    // which may be the number of a key report the host acknowledged; that one is skipped.
    uint8_t NextSequence() {
        do {
            outgoing_ = static_cast<uint8_t>(outgoing_ + 1);
            if (outgoing_ >= 'y') outgoing_ = 'e';
        } while (outgoing_ == panelLastAccepted_);
        return outgoing_;
    }

    void ResetNumbering() {
        outgoing_ = 'c';
        panelLastAccepted_ = 0;
        lastAccepted_ = 0;
    }

    void SendFrame(const Bytes& frame) {
        if (onTraffic) onTraffic(true, frame);
        link_.Send(frame.data(), frame.size());
    }

    // ACK for the panel's last numbered frame (reset announcement, key report).
    void Acknowledge(uint8_t sequence) {
        if (activeMode_ & kModeSequence) panelLastAccepted_ = sequence;
        const uint8_t ack = kAck;
        SendFrame(BuildFrame(activeMode_, &ack, 1, sequence));
    }

    int Drain(Waiting* waiting) {
        received_.clear();
        if (!link_.Receive(received_)) return 0;
        const int frames = TakeBytes(received_.data(), received_.size(), waiting);
        return frames ? frames : 1;  // bytes arrived, even if no frame is complete yet
    }

    int TakeBytes(const uint8_t* bytes, size_t count, Waiting* waiting) {
        int frames = 0;
        for (size_t i = 0; i < count; ++i) {
            if (onTraffic && raw_.size() < 2 * kMaxFrame) raw_.push_back(bytes[i]);
            const FrameCutter::Cut cut = cutter_.Feed(bytes[i]);
            if (cut == FrameCutter::More) continue;
            if (cut == FrameCutter::Complete) {
                ++frames;
                ++stats_.framesReceived;
                if (onTraffic) onTraffic(false, raw_);
                HandleFrame(cutter_.Frame(), waiting);
            } else {
                ++stats_.badFrames;
            }
            raw_.clear();
        }
        return frames;
    }

    void HandleFrame(const Bytes& frame, Waiting* waiting) {
        // The announcement comes after the panel went back to mode 0, whatever the host's mode.
        if (frame.size() == 2 && frame[0] == 'r') {
            OnResetAnnouncement(waiting);
            return;
        }
        if (IsLinkNotice(frame)) {
            OnLinkNotice(frame[1] == kNetworkNotice[1]);
            return;
        }
        PanelFrame f = CheckPanelFrame(frame, activeMode_, lastAccepted_);
        // The answer to 'A' may still be framed in the old mode (a NAK when 'A' was refused).
        bool oldFraming = false;
        if (f.check == Check::Bad && previousMode_ != activeMode_) {
            f = CheckPanelFrame(frame, previousMode_, lastAccepted_);
            oldFraming = true;
        }
        if (f.check == Check::Bad) {
            ++stats_.badFrames;
            return;
        }
        if (f.check == Check::Duplicate) {
            ++stats_.duplicates;
            if (f.command == 'k') OnRepeatedKeyReport(f);
            return;
        }
        if (f.sequence && f.command != kAck && f.command != kNak) lastAccepted_ = f.sequence;
        previousMode_ = activeMode_;
        if (f.command == 'r') {
            OnResetAnnouncement(waiting);
            return;
        }
        if (f.command == 'k') OnKeyReport(f);
        if (!waiting || waiting->answer->kind != Answer::None) return;
        if (f.command == kAck || f.command == kNak) {
            if (waiting->expect == Expect::Nothing) return;
            // With sequence bytes an ACK or NAK carries the number of the frame it answers. Any
            // other number belongs to an earlier frame: one that the panel and a target both
            // answered while the link came up, or an answer that came too late.
            if (!oldFraming && (activeMode_ & kModeSequence) && waiting->sequence && f.sequence != waiting->sequence) {
                ++stats_.staleAnswers;
                return;
            }
            waiting->answer->kind = f.command == kAck ? Answer::Ack : Answer::Nak;
            // Without the expected reply ('C' refused, a repeated query) the call ends here.
            return;
        }
        if (waiting->expect == Expect::Reply && f.command == waiting->replyCode) {
            waiting->answer->kind = Answer::Reply;
            waiting->answer->code = f.command;
            waiting->answer->params = std::move(f.params);
        }
    }

    // The link notices the panel queues when a link to target hardware comes up (with
    // OPT_LINK_SETUP_MSG): five fixed bytes, then whatever the mode adds.
    static constexpr uint8_t kSerialNotice[5] = {'!', '#', 'q', ')', 0xDF};
    static constexpr uint8_t kNetworkNotice[5] = {'!', 'U', 0xAA, '7', 0xB1};
    static bool IsLinkNotice(const Bytes& frame) {
        if (frame.size() < 6) return false;
        return std::equal(kSerialNotice, kSerialNotice + 5, frame.begin()) ||
               std::equal(kNetworkNotice, kNetworkNotice + 5, frame.begin());
    }

    // The panel set its modes for the link before the notice: 0 for a serial link, sequence
    // byte and CRC-16 (the checksum bit cleared) added to the pending mode for the network.
    // The target numbers its frames afresh. The host's mode set-up follows (RepeatModeSetup).
    void OnLinkNotice(bool network) {
        ++stats_.linkNotices;
        const uint8_t mode = network ? static_cast<uint8_t>((pendingMode_ & ~kModeChecksum) | kModeCrc | kModeSequence) : 0;
        activeMode_ = pendingMode_ = previousMode_ = mode;
        lastAccepted_ = 0;
        linkNetwork_ = network;
        linkSetupDue_ = true;
    }

    void OnResetAnnouncement(Waiting* waiting) {
        activeMode_ = pendingMode_ = previousMode_ = 0;
        lastAccepted_ = 0;
        ++stats_.resets;
        Acknowledge(0);
        events_.push_back({Event::Reset, 0});
        if (waiting && waiting->answer->kind == Answer::None && waiting->expect == Expect::Reply &&
            waiting->replyCode == 'r') {
            waiting->answer->kind = Answer::Reply;
            waiting->answer->code = 'r';
        }
    }

    // Every stored byte counts: the panel merges reports that wait for an acknowledgement, so
    // one report may hold a press and the release of the same key.
    void OnKeyReport(const PanelFrame& f) {
        if (activeMode_ & kModeKeyAck) Acknowledge(f.sequence);
        lastKeyReport_ = f.params;
        ApplyKeyGroups(f.params.data(), f.params.size());
    }

    // The panel repeats an unacknowledged report under its old number, but with the reports
    // merged into it meanwhile appended: only that new tail is applied.
    void OnRepeatedKeyReport(const PanelFrame& f) {
        if (activeMode_ & kModeKeyAck) Acknowledge(f.sequence);
        const Bytes& last = lastKeyReport_;
        if (f.params.size() <= last.size() || !std::equal(last.begin(), last.end(), f.params.begin())) return;
        ApplyKeyGroups(f.params.data() + last.size(), f.params.size() - last.size());
        lastKeyReport_ = f.params;
    }

    void ApplyKeyGroups(const uint8_t* params, size_t count) {
        ForEachGroupByte(params, count, [&](int index, uint8_t value) {
            const size_t at = index < 0 ? 0 : static_cast<size_t>(index);
            const uint8_t before = keys_[at];
            keys_[at] = index < 0 ? static_cast<uint8_t>((before & 0x80) | (value & 0x7F)) : value;
            for (int bit = 0; bit < 8; ++bit) {
                const bool was = (before >> bit) & 1, now = (keys_[at] >> bit) & 1;
                if (now != was) events_.push_back({now ? Event::Down : Event::Up, static_cast<int>(at) * 8 + bit});
            }
        });
    }

    Transport& link_;
    Options options_;
    uint8_t activeMode_ = 0;
    uint8_t pendingMode_ = 0;
    uint8_t previousMode_ = 0;       // the mode before the last switch, for the answer to 'A'
    bool switching_ = false;         // 'A' is framed with the pending mode
    uint8_t outgoing_ = 'c';         // the host's sequence counter
    uint8_t panelLastAccepted_ = 0;  // the last number the panel accepted from the host
    uint8_t lastAccepted_ = 0;       // the last number of the panel's own the host accepted
    Bitmap keys_{};
    Bytes lastKeyReport_;  // parameters of the last key report taken
    Bitmap leds_{};
    FrameCutter cutter_;
    Bytes raw_;       // the transmitted form of the frame being cut, for onTraffic
    Bytes received_;  // reused receive buffer
    Bytes sending_;   // reused frame of the call being sent
    std::deque<Event> events_;
    bool firing_ = false;
    uint8_t desiredMode_ = 0;    // the mode last asked for with SetMode
    bool linkSetupDue_ = false;  // a link notice came: the mode set-up is to be repeated
    bool linkNetwork_ = false;   // the kind of link of the last notice
    bool settingUp_ = false;     // RepeatModeSetup runs
    Stats stats_;
};

}  // namespace orphost

// ---- transports over the two panels -----------------------------------------------------------
#if defined(_WIN32)
#include <windows.h>

#include <cstring>
#include <utility>

#include "orppanel.h"
#if defined(_MSC_VER)
#pragma comment(lib, "advapi32")
#endif

namespace orphost {
// The Windows DLL through its six functions (link the import library of the host's width).
// Constructing it shows the panel; destroying it closes the panel. One per process.
class DllTransport : public Transport {
public:
    explicit DllTransport(unsigned long optionFlags, unsigned long revision = 0) {
        stOrpOpts options = {revision, optionFlags};
        previousOptions_ = ::SetOptions(&options);
        ::SetRxTarget(&DllTransport::OnPanelByte, &RxByte());
    }
    ~DllTransport() override { ::Close(); }
    DllTransport(const DllTransport&) = delete;
    DllTransport& operator=(const DllTransport&) = delete;

    void Send(const uint8_t* frame, size_t length) override {
        ::ReceiveFromApp(const_cast<unsigned char*>(frame), static_cast<unsigned int>(length));
    }
    bool Receive(Bytes& bytes) override {
        Pending().clear();
        ::CheckRx();  // delivers at most one message, byte by byte, to OnPanelByte
        if (Pending().empty()) return false;
        bytes.insert(bytes.end(), Pending().begin(), Pending().end());
        return true;
    }
    void Idle() override { std::this_thread::sleep_for(std::chrono::milliseconds(1)); }
    unsigned long PreviousOptions() const { return previousOptions_; }

private:
    // The DLL's callback has no context argument: the one transport keeps its bytes here.
    static unsigned char& RxByte() {
        static unsigned char byte = 0;
        return byte;
    }
    static Bytes& Pending() {
        static Bytes bytes;
        return bytes;
    }
    static void OnPanelByte() { Pending().push_back(RxByte()); }
    unsigned long previousOptions_ = 0;
};

// The panel's settings in the registry (the key orp-settings shows), so that a host can point
// the panel at its work directory and design before DllTransport starts it:
//
//   orphost::WritePanelSettings({{"WrkDir", "C:\\Panel"}, {"FileCfg", "C:\\Panel\\ORPDesigns\\dev.orp"}});
//
// Values are written as the panel writes them (text, numbers as decimal text) under the
// current user's key. A key that does not exist yet is first given the values of the panel's
// own first start, so the panel takes it as complete. Names are the registry value names
// ("WrkDir", "FileCfg", "ContextHelpFile", "Scale", "RxTxLog", ...; docs/settings-and-logs.md).
// Paths should be absolute: the panel changes its current directory at start.
// Returns false (and writes nothing more) on the first value that could not be written.
inline const char* PanelSettingsKey() { return "Software\\Tavelle\\OrPpanel\\Settings"; }

inline bool WritePanelSettings(const std::vector<std::pair<std::string, std::string>>& values) {
    HKEY key = nullptr;
    DWORD created = 0;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, PanelSettingsKey(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                        &key, &created) != ERROR_SUCCESS)
        return false;
    auto write = [key](const std::string& name, const std::string& value) {
        return RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                              static_cast<DWORD>(value.size())) == ERROR_SUCCESS;
    };
    bool ok = true;
    if (created == REG_CREATED_NEW_KEY) {
        static const char* const firstStart[][2] = {
            {"RegistrySet", "1"}, {"CommPort", "1"}, {"CommBaud", "4800"}, {"CommDBits", "8"},
            {"CommSBits", "1"},   {"NetIp", "0.0.0.0"}, {"Scale", "0"},
        };
        for (const auto& pair : firstStart) ok = ok && write(pair[0], pair[1]);
        // The first start's work directory is the current one.
        char current[MAX_PATH] = {};
        const bool named = std::any_of(values.begin(), values.end(), [](const auto& v) { return v.first == "WrkDir"; });
        if (!named && GetCurrentDirectoryA(MAX_PATH, current)) ok = ok && write("WrkDir", current);
    }
    for (const auto& value : values) ok = ok && write(value.first, value.second);
    RegCloseKey(key);
    return ok;
}

// One value as the panel reads it (the current user's key, else the local machine's), or
// std::nullopt when there is none.
inline std::optional<std::string> ReadPanelSetting(const std::string& name) {
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(root, PanelSettingsKey(), 0, KEY_READ, &key) != ERROR_SUCCESS) continue;
        DWORD type = 0, size = 0;
        std::optional<std::string> result;
        if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
            std::string bytes(size, '\0');
            if (RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&bytes[0]), &size) ==
                ERROR_SUCCESS) {
                bytes.resize(size);
                if (type == REG_DWORD && size == 4) {
                    DWORD number = 0;
                    std::memcpy(&number, bytes.data(), 4);
                    bytes = std::to_string(number);
                } else {
                    while (!bytes.empty() && bytes.back() == '\0') bytes.pop_back();
                }
                result = bytes;
            }
        }
        RegCloseKey(key);
        return result;  // the panel reads only the first key it finds
    }
    return std::nullopt;
}
}  // namespace orphost
#elif __has_include("orppanel_headless.h")
#include "orppanel_headless.h"

namespace orphost {
// The headless panel (liborppanel-headless.so): the same protocol entry points as the DLL, in
// the same process, without a window. The transport talks to the panel it is given (it does not
// own it: close the panel after the transport's last use). Answers are queued before Send
// returns; timers run only when the test advances the panel's clock (orph_advance_ms), so Idle
// does nothing.
class HeadlessTransport : public Transport {
public:
    explicit HeadlessTransport(orph_panel* panel) : panel_(panel) {}
    orph_panel* Panel() const { return panel_; }

    void Send(const uint8_t* frame, size_t length) override {
        orph_receive_from_app(panel_, frame, static_cast<unsigned int>(length));
    }
    bool Receive(Bytes& bytes) override {
        uint8_t message[1024];
        int n = orph_read_to_host(panel_, message, sizeof message);
        if (n < 0) {  // longer than any frame the panel builds, but taken all the same
            Bytes large(static_cast<size_t>(-n));
            n = orph_read_to_host(panel_, large.data(), -n);
            if (n <= 0) return false;
            bytes.insert(bytes.end(), large.begin(), large.begin() + n);
            return true;
        }
        if (n == 0) return false;
        bytes.insert(bytes.end(), message, message + n);
        return true;
    }
    // The design's LCD, so that GoTo reaches lines 2 and 3 without being told the width.
    int LcdColumns() override { return orph_lcd_columns(panel_); }

private:
    orph_panel* panel_;
};
}  // namespace orphost
#endif


#if !defined(_WIN32) && __has_include(<sys/un.h>)
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace orphost {
// A panel in another process that listens on a local (Unix domain) socket, as each panel of
// orp-web can: the kit's frames go out as they are, the panel's bytes come back as they arrive.
// Connecting is the DLL's load: the panel starts afresh and announces its reset, so
// WaitForReset comes first as with the DLL. No panel message tells the LCD's width, so GoTo on
// lines 2 and 3 needs Panel::Options::lcdColumns. Not thread-safe, like Panel.
class SocketTransport : public Transport {
public:
    // Connects to the socket at `path`, trying again for up to `waitMs` while nobody listens
    // there yet (a server still starting). Connected() tells whether it worked, Error() why not.
    explicit SocketTransport(const std::string& path, int waitMs = 0) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (path.empty() || path.size() >= sizeof address.sun_path) {
            error_ = "socket path is empty or too long: " + path;
            return;
        }
        std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
        for (;;) {
            fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            if (fd_ < 0) {
                error_ = std::string("socket: ") + std::strerror(errno);
                return;
            }
            if (::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) return;
            const int failure = errno;
            Disconnect();
            const bool retry = failure == ENOENT || failure == ECONNREFUSED;
            if (!retry || std::chrono::steady_clock::now() >= end) {
                error_ = "cannot connect to " + path + ": " + std::strerror(failure);
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    ~SocketTransport() override { Disconnect(); }
    SocketTransport(const SocketTransport&) = delete;
    SocketTransport& operator=(const SocketTransport&) = delete;

    // False once the connection failed or the panel closed it; Error() then says why.
    bool Connected() const { return fd_ >= 0; }
    const std::string& Error() const { return error_; }

    void Send(const uint8_t* frame, size_t length) override {
        while (fd_ >= 0 && length > 0) {
            const ssize_t n = ::send(fd_, frame, length, MSG_NOSIGNAL);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                Lost(std::string("sending to the panel failed: ") + std::strerror(errno));
                return;
            }
            frame += n;
            length -= static_cast<size_t>(n);
        }
    }
    bool Receive(Bytes& bytes) override {
        if (fd_ < 0) return false;
        uint8_t buffer[4096];
        const ssize_t n = ::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n > 0) {
            bytes.insert(bytes.end(), buffer, buffer + n);
            return true;
        }
        if (n == 0)
            Lost("the panel closed the connection");
        else if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
            Lost(std::string("receiving from the panel failed: ") + std::strerror(errno));
        return false;
    }
    // Waits up to 1 ms for the panel's bytes.
    void Idle() override {
        if (fd_ < 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            return;
        }
        pollfd waiting{fd_, POLLIN, 0};
        ::poll(&waiting, 1, 1);
    }

private:
    void Disconnect() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }
    void Lost(const std::string& why) {
        Disconnect();
        error_ = why;
    }
    int fd_ = -1;
    std::string error_;
};
}  // namespace orphost
#endif

#endif /* ORPPANEL_HOST_H */
