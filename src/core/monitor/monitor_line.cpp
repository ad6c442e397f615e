// Monitor line rendering. See monitor_line.h for what a line looks like.
#include "monitor/monitor_line.h"

#include "monitor/log_files.h"
#include "common/wire.h"  // the frame's bytes and mode bits

namespace {

void AppendHex(std::string& out, uint8_t byte) {
    static const char kDigits[] = "0123456789abcdef";
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0x0F];
}

enum class Mark { kNone, kSingle, kCrcFirst, kCrcSecond };

// Which trailer byte, if any, sits at index i of an n-byte frame (the CR is the last byte).
Mark TrailerMarkAt(int mode, long i, long n) {
    const bool sequence = (mode & MODE_SEQUENCE) != 0;
    if (mode & MODE_CRC) {
        if (sequence && i == n - 4) return Mark::kSingle;
        if (i == n - 3) return Mark::kCrcFirst;
        if (i == n - 2) return Mark::kCrcSecond;
    } else if (mode & MODE_CHECKSUM) {
        if ((sequence && i == n - 3) || i == n - 2) return Mark::kSingle;
    } else if (sequence && i == n - 2) {
        return Mark::kSingle;
    }
    return Mark::kNone;
}

}  // namespace

std::string FormatMonitorLine(int direction, const uint8_t* bytes, std::size_t count,
                              int activeMode, int pendingMode) {
    std::string out;
    if (count == 0 || !bytes) return "\r\n";
    // At most five characters per byte ("[(1b)" or "[{xx}"), plus the head and the end.
    out.reserve(count * 5 + 16);

    const uint8_t command = bytes[0];
    int mode = activeMode;
    if (direction == MONITOR_HOST_TO_PANEL && command == 'A') mode = pendingMode;
    if (direction == MONITOR_HOST_TO_PANEL && command == 'R') mode = 0;
    bool textMode = command == 'W' || command == 'S';

    if (command == kAck) {
        out += "ACK ";
    } else if (command == kNak) {
        out += "NAK ";
    } else if (command < 0x20) {
        // A control byte (a NUL above all) would cut or break the line: show it in hex.
        out += '(';
        AppendHex(out, command);
        out += ") ";
    } else {
        out += static_cast<char>(command);
        out += ' ';
    }

    const long n = static_cast<long>(count);
    int escape = 0;              // 0, or the position within an ESC pair (1 the ESC, 2 its byte)
    bool endsInSpace = false;    // the line ends in a separating space
    for (long i = 1; i < n; ++i) {
        const uint8_t b = bytes[i];
        if (escape > 0) ++escape;
        bool frameEnd = false;
        if (b == kEsc && escape == 0) {
            out += '[';
            escape = 1;
        } else if (escape == 0 && b == kCr) {
            if (!endsInSpace) out += ' ';
            out += "END";
            frameEnd = true;
        }
        if (!frameEnd) {
            const Mark mark = TrailerMarkAt(mode, i, n);
            if (mark != Mark::kNone) {
                // A trailer byte in braces; the two CRC bytes share one pair, a space between them.
                if (mark != Mark::kCrcSecond) out += '{';
                AppendHex(out, b);
                endsInSpace = mark == Mark::kCrcFirst;
                out += endsInSpace ? ' ' : '}';
                textMode = false;
            } else if (textMode) {
                if (b >= 0x20 && b <= 0x7D && b != '\\') {
                    out += static_cast<char>(b);
                } else {
                    out += '(';
                    AppendHex(out, b);
                    out += ')';
                }
                endsInSpace = false;
            } else {
                AppendHex(out, b);
                out += ' ';
                endsInSpace = true;
            }
        }
        if (escape == 2) {
            // The closing bracket takes the place of the separator after the escaped byte.
            if (!out.empty() && (out.back() == ' ' || out.back() == ')')) out.pop_back();
            out += ']';
            escape = 0;
            endsInSpace = false;
        }
    }
    out += "\r\n";
    return out;
}

void Monitor(MonitorOutput& monitor, int direction, const uint8_t* bytes, unsigned int count,
             int activeMode, int pendingMode) {
    if (count == 0 || !bytes) return;
    PanelPlatform* platform = monitor.platform.load();
    const int kind = direction == MONITOR_PANEL_TO_HOST ? kLogTx : kLogRx;
    const bool shown = platform->ShowsMonitorLines();
    if (!shown && !LogIsWritten(monitor, kind)) return;
    const std::string line = FormatMonitorLine(direction, bytes, count, activeMode, pendingMode);
    WriteLog(monitor, kind, line.c_str());
    if (shown) platform->MonitorText(direction, line.c_str());
}
