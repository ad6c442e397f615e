// Messages, parsers and state of the LCD control panel. See control_panel.h.
#include "lcd/control_panel.h"

#include <cstring>
#include <initializer_list>

#include "protocol/frame.h"
#include "protocol/host_link.h"

namespace {
stLcdPanelState g_state;

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

int Message(stPanelMessage* out, std::initializer_list<uint8_t> bytes) {
    out->length = 0;
    for (uint8_t b : bytes) out->bytes[out->length++] = b;
    return out->length;
}

// Command byte followed by `count` parsed bytes already in place at bytes + 1.
int WithCommand(stPanelMessage* out, uint8_t command, int count) {
    if (count <= 0) return out->length = 0;
    out->bytes[0] = command;
    return out->length = count + 1;
}
}  // namespace

stLcdPanelState& LcdPanelState() { return g_state; }

void ResetLcdPanelState() { g_state = stLcdPanelState{}; }

void ResetLcdPanelSliders() {
    const stLcdPanelState fresh;
    g_state.backlight = fresh.backlight;
    g_state.ledBrightness = fresh.ledBrightness;
    g_state.contrast = fresh.contrast;
}

int ParsePanelText(const char* text, int length, uint8_t* out, int capacity) {
    int n = 0;
    auto put = [&](uint8_t b) {
        if (n < capacity) out[n++] = b;
    };
    for (int i = 0; i < length && n < capacity; ++i) {
        const char c = text[i];
        if (c != '\\' || i + 1 >= length) {
            put(static_cast<uint8_t>(c));
            continue;
        }
        const char next = text[i + 1];
        if (next == 'x' || next == 'X') {
            const int high = i + 2 < length ? HexValue(text[i + 2]) : -1;
            const int low = i + 3 < length ? HexValue(text[i + 3]) : -1;
            if (high >= 0 && low >= 0) {
                put(static_cast<uint8_t>(high << 4 | low));
                i += 3;
            } else if (high >= 0) {
                put(static_cast<uint8_t>(high));
                i += 2;
            } else {
                // Not an escape after all: keep what was typed.
                put('\\');
                put(static_cast<uint8_t>(next));
                i += 1;
            }
            continue;
        }
        put('\\');
        i += 1;  // the character after the backslash is dropped
    }
    return n;
}

int ParseHexCommandList(const char* text, int length, uint8_t* out, int capacity) {
    int n = 0;
    int pending = -1;
    for (int i = 0; i < length && n < capacity; ++i) {
        const int digit = HexValue(text[i]);
        if (digit < 0) {
            if (pending >= 0) out[n++] = static_cast<uint8_t>(pending);
            pending = -1;
        } else if (pending < 0) {
            pending = digit;
        } else {
            out[n++] = static_cast<uint8_t>(pending << 4 | digit);
            pending = -1;
        }
    }
    if (pending >= 0 && n < capacity) out[n++] = static_cast<uint8_t>(pending);
    return n;
}

int ApplySliderCode(int code, int thumbPosition, uint8_t* value) {
    switch (code) {
    case kSliderLineUp:
        if (*value != 255) ++*value;
        return 1;
    case kSliderLineDown:
        if (*value != 0) --*value;
        return 1;
    case kSliderPageUp:
        if (*value < 240) *value = static_cast<uint8_t>(*value + 16);
        return 1;
    case kSliderPageDown:
        if (*value > 15) *value = static_cast<uint8_t>(*value - 16);
        return 1;
    case kSliderThumbPosition:
        if (thumbPosition < 0) thumbPosition = 0;
        if (thumbPosition > 255) thumbPosition = 255;
        *value = static_cast<uint8_t>(255 - thumbPosition);
        return 1;
    default:  // thumb tracking, top, bottom, end of scroll
        return 0;
    }
}

int DisplayControlMessage(bool displayOn, bool cursorOn, bool blinkOn, stPanelMessage* out) {
    return Message(out, {'D', static_cast<uint8_t>(0x08 | displayOn << 2 | cursorOn << 1 | blinkOn)});
}

int EntryModeMessage(bool increment, bool shiftOnWrite, stPanelMessage* out) {
    return Message(out, {'D', static_cast<uint8_t>(0x04 | increment << 1 | shiftOnWrite)});
}

int WriteDirectionMessage(bool leftToRight, bool shiftOnWriteNow, stPanelMessage* out) {
    int16_t& fixed = leftToRight ? g_state.leftToRightByte : g_state.rightToLeftByte;
    if (fixed < 0) fixed = static_cast<int16_t>((leftToRight ? 0x06 : 0x04) | shiftOnWriteNow);
    return Message(out, {'D', static_cast<uint8_t>(fixed)});
}

int FunctionSetMessage(bool oneLine5x11, stPanelMessage* out) {
    return Message(out, {'D', static_cast<uint8_t>(oneLine5x11 ? 0x24 : 0x28)});
}

int ShiftMessage(bool right, ShiftTarget target, stPanelMessage* out) {
    return Message(out, {'D', static_cast<uint8_t>(0x10 | (target == ShiftTarget::kDisplay) << 3 | right << 2)});
}

int ClearDisplayMessage(stPanelMessage* out) { return Message(out, {'D', 0x01}); }

int DisplayTestMessage(stPanelMessage* out) { return Message(out, {'P', 0x50, 0xFF}); }

int ResetMessage(stPanelMessage* out) { return Message(out, {'R', 'U', 0xAA, 0xCC, '3'}); }

int TextMessage(const char* text, int length, stPanelMessage* out) {
    if (length > kPanelFieldMax) length = kPanelFieldMax;
    return WithCommand(out, 'W', ParsePanelText(text, length, out->bytes + 1, kPanelFieldMax));
}

int CommandListMessage(const char* text, int length, stPanelMessage* out) {
    if (length > kPanelFieldMax) length = kPanelFieldMax;
    return WithCommand(out, 'D', ParseHexCommandList(text, length, out->bytes + 1, kPanelFieldMax));
}

int CharacterListSize(bool pairs) { return pairs ? 4 : 8; }

void CharacterListEntry(int index, bool pairs, char text[4]) {
    if (pairs) {
        text[0] = static_cast<char>('0' + 2 * index);
        text[1] = '/';
        text[2] = static_cast<char>('0' + 2 * index + 1);
        text[3] = 0;
    } else {
        text[0] = static_cast<char>('0' + index);
        text[1] = 0;
    }
}

int CharacterSelectMessage(int index, bool pairs, stPanelMessage* out) {
    if (index < 0 || index >= CharacterListSize(pairs)) return out->length = 0;
    return Message(out, {'D', static_cast<uint8_t>(0x40 + (pairs ? 16 : 8) * index)});
}

int AssignMessage(uint8_t controllerFont, stPanelMessage* out) {
    const int rows = controllerFont == 1 ? 8 : kPatternRows;
    std::memcpy(out->bytes + 1, g_state.patternRows, static_cast<size_t>(rows));
    return WithCommand(out, 'W', rows);
}

int SetPatternDot(int row, int column, bool lit) {
    if (row < 0 || row >= kPatternRows || column < 0 || column > 4) return 0;
    const uint8_t bit = static_cast<uint8_t>(0x10 >> column);
    uint8_t& pattern = g_state.patternRows[row];
    pattern = static_cast<uint8_t>(lit ? pattern | bit : pattern & ~bit);
    return 1;
}

int BacklightMessage(uint8_t level, stPanelMessage* out) { return Message(out, {'B', level}); }

int LedBrightnessMessage(uint8_t level, stPanelMessage* out) { return Message(out, {'N', level}); }

int ContrastMessage(uint8_t level, bool save, stPanelMessage* out) {
    return save ? Message(out, {'C', level, 'U'}) : Message(out, {'C', level});
}

int ReadMessage(bool address, stPanelMessage* out) {
    return Message(out, {'G', static_cast<uint8_t>(address ? 'A' : 'R')});
}

int InjectPanelMessage(stProtocol& protocol, const stPanelMessage& message) {
    if (message.length <= 0) return 0;
    if (message.length <= kPanelMessageMax) return InjectCommand(protocol, message.bytes, message.length);
    // Only data writes continue where the previous one ended, so only they may go in pieces.
    if (message.bytes[0] != 'W') return 0;
    uint8_t piece[kPanelMessageMax];
    piece[0] = 'W';
    for (int at = 1; at < message.length;) {
        int count = message.length - at;
        if (count > kPanelMessageMax - 1) count = kPanelMessageMax - 1;
        std::memcpy(piece + 1, message.bytes + at, static_cast<size_t>(count));
        if (!InjectCommand(protocol, piece, count + 1)) return 0;
        at += count;
    }
    return 1;
}
