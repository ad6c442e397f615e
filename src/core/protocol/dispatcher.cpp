// The dispatcher: checks each incoming frame against the protocol mode, executes its command on
// the emulated panel and, while the panel answers for itself, answers with ACK, NAK or a reply.
//
// A command reads its parameters from the frame as they come; a parameter the frame is too
// short for reads as 0 instead of reaching past the frame. LCD data longer than the
// controller's 8-bit count is written in pieces, so nothing is cut off.
#include "protocol/dispatcher.h"

#include <cstring>

#include "design/design_state.h"
#include "lcd/controller.h"
#include "lcd/lcd_draw.h"
#include "protocol/frame.h"
#include "protocol/host_link.h"
#include "protocol/protocol.h"

namespace {
constexpr int FLAG_ACK = 1;
constexpr int FLAG_NAK = 2;
constexpr int FLAG_REPAINT = 4;

void RepaintLcd(const stDispatchContext& d) {
    if (!d.protocol.platform->RepaintLcd()) LcdDrawCells(d.lcdDraw, d.lcd, LcdDrawHook(d.lcdDraw));
}

bool HasCapability(const stProtocol& p, uint32_t bit) { return p.design && (p.design->model.options & bit) != 0; }

bool BitOf(const uint8_t* bitmap, int32_t id) {
    if (id < 0 || id > 255) return false;
    return (bitmap[id >> 3] >> (id & 7)) & 1;
}

void Reply(stProtocol& p, const uint8_t* message, int length) {
    if (PanelAnswers(p)) SendToHost(p, message, length, 0);
}

// The controller lock keeps a drawing pass on another thread from seeing half a change.
void WriteInstruction(LcdController& lcd, uint8_t instruction) {
    LcdLockGuard guard(lcd.lock);
    LcdWriteNibble(lcd, static_cast<uint8_t>(instruction >> 4));
    LcdWriteNibble(lcd, static_cast<uint8_t>(instruction & 0x0F));
}

void WriteData(LcdController& lcd, const uint8_t* bytes, int count) {
    LcdLockGuard guard(lcd.lock);
    while (count > 0) {
        const int piece = count > 255 ? 255 : count;
        LcdWriteData(lcd, bytes, static_cast<uint8_t>(piece));
        bytes += piece;
        count -= piece;
    }
}

void StoreLedState(void* context, int target, uint8_t value) {
    auto& p = *static_cast<stProtocol*>(context);
    StoreBitmapByte(p.ledState, target, value);
    UpdateLeds(p);
}

// 'P': the fill buffer holds kFillBufferSize bytes; larger counts go out in several pieces.
int FillLcd(LcdController& lcd, int count, uint8_t value) {
    if (count < 2) return FLAG_NAK;
    uint8_t fill[kFillBufferSize];
    std::memset(fill, value, sizeof fill);
    while (count > 0) {
        const int piece = count > kFillBufferSize ? kFillBufferSize : count;
        WriteData(lcd, fill, piece);
        count -= piece;
    }
    return FLAG_ACK | FLAG_REPAINT;
}

// Executes one checked command. `params` are the frame's parameter bytes, `available` the
// bytes that follow the command byte in the frame (parameters, sequence and check bytes).
int Execute(const stDispatchContext& d, uint8_t command, const uint8_t* params, int paramCount, int available) {
    stProtocol& p = d.protocol;
    auto param = [&](int i) -> uint8_t { return i < available ? params[i] : 0; };
    switch (command) {
    case 'A':
        SetActiveProtocolMode(p, PendingProtocolMode(p));
        return FLAG_ACK;
    case 'B': {
        if (!HasCapability(d.protocol, MODEL_BACKLIGHT_SWITCH)) return FLAG_NAK;
        uint8_t level = param(0);
        if (!HasCapability(d.protocol, MODEL_BACKLIGHT_LEVEL) && level) level = 255;
        if (!p.platform->SetLcdBacklight(level))
            LcdSetBacklight(d.lcdDraw, level);
        return FLAG_ACK | FLAG_REPAINT;
    }
    case 'C': {
        if (!HasCapability(d.protocol, MODEL_CONTRAST)) return FLAG_NAK;
        const uint8_t reply[] = {'c', 0x80};
        Reply(p, reply, 2);
        if (!p.platform->SetLcdContrast(param(0)))
            LcdSetContrast(d.lcdDraw, param(0));
        return FLAG_REPAINT;
    }
    case 'D':
        WriteInstruction(d.lcd, param(0));
        return FLAG_ACK | FLAG_REPAINT;
    case 'E':
        if (!HasCapability(d.protocol, MODEL_BUZZER)) return FLAG_NAK;
        p.clickMode = param(0);
        return FLAG_ACK;
    case 'G': {
        uint8_t reply[] = {'g', 0};
        {
            const LcdController& lcd = d.lcd;
            LcdLockGuard guard(d.lcd.lock);
            reply[1] = param(0) == 'A' ? LcdReadAddress(lcd) : LcdReadData(lcd);
        }
        Reply(p, reply, 2);
        return 0;
    }
    case 'H':
    case 'R':
    case kAck:
        return 0;
    case 'I':
        if (!HasCapability(d.protocol, MODEL_BUZZER)) return FLAG_NAK;
        DecodeBitmapGroups(params, paramCount, StoreBitmapByte, p.clickMask);
        return FLAG_ACK;
    case 'K':
        SendKeyReport(p, 1);
        return 0;
    case 'L':
        DecodeBitmapGroups(params, paramCount, StoreLedState, &p);
        return FLAG_ACK;
    case 'M': {
        SetPendingProtocolMode(p, param(0));
        const uint8_t reply[] = {'m', param(0)};
        Reply(p, reply, 2);
        return 0;
    }
    case 'N':
        if (!HasCapability(d.protocol, MODEL_LED_INTENSITY)) return FLAG_NAK;
        return FLAG_ACK | FLAG_REPAINT;
    case 'O':
        StoreLedState(&p, GROUP_ALL_BYTES, param(0));
        return FLAG_ACK;
    case 'P':
        return FillLcd(d.lcd, param(0), param(1));
    case 'S':
        WriteInstruction(d.lcd, param(0));
        if (paramCount > 1) WriteData(d.lcd, params + 1, paramCount - 1);
        return FLAG_ACK | FLAG_REPAINT;
    case 'T': {
        const stPanelModel model = d.protocol.design ? d.protocol.design->model : stPanelModel{};
        const uint8_t reply[] = {'t',
                                 model.model,
                                 model.type,
                                 static_cast<uint8_t>(model.bufferSize >> 8),
                                 static_cast<uint8_t>(model.bufferSize & 0xFF),
                                 model.keyCount,
                                 model.ledCount,
                                 static_cast<uint8_t>(model.options & 0xFF)};
        Reply(p, reply, sizeof reply);
        return 0;
    }
    case 'V': {
        const uint8_t reply[] = {'v', 0x01, 0x00, 0x00};
        Reply(p, reply, sizeof reply);
        return 0;
    }
    case 'W':
        WriteData(d.lcd, params, paramCount);
        return FLAG_ACK | FLAG_REPAINT;
    case 'Z': {
        if (!HasCapability(d.protocol, MODEL_BUZZER)) return FLAG_NAK;
        const uint8_t duration = param(0);
        const uint8_t frequency = HasCapability(d.protocol, MODEL_BUZZER_FREQUENCY) ? param(1) : 30;
        if (duration) p.platform->Beep(frequency * 100u, duration * 50u);
        return FLAG_ACK;
    }
    case '?':
        return FLAG_ACK;
    default:
        return FLAG_NAK;
    }
}

bool IsResetCommand(const uint8_t* frame, int length) {
    return length == 6 && frame[0] == 'R' && frame[1] == 'U' && frame[2] == 0xAA && frame[3] == 0xCC &&
           frame[4] == '3';
}

void OnReset(const stDispatchContext& d) {
    stProtocol& p = d.protocol;
    p.platform->Sleep(100);
    {
        LcdLockGuard guard(d.lcd.lock);
        LcdSendInitSequence(d.lcd);
    }
    if (PanelAnswers(p)) SendResetAnnouncement(p, 0);
    ResetOutgoingSequence(p);
    SetLastAcceptedSequence(p, 0);
    RepaintLcd(d);
}

void OnAcknowledgement(stProtocol& p, const uint8_t* frame, int length) {
    const uint8_t mode = ActiveProtocolMode(p);
    if (CheckFrame(p, frame, length, mode, 1, nullptr) == CHECK_BAD) return;
    p.platform->StopTimer(TIMER_RESET_ANNOUNCEMENT);
    if ((mode & MODE_KEY_ACK) && (mode & MODE_SEQUENCE)) {
        const int last = length - 2;
        const int index = (mode & MODE_CRC) ? last - 2 : (mode & MODE_CHECKSUM) ? last - 1 : last;
        AcknowledgeKeyReports(p, frame[index]);
    }
}
}  // namespace

void ResetDispatcherState(stProtocol& p) {
    std::memset(p.ledState, 0, sizeof p.ledState);
    std::memset(p.keyState, 0, sizeof p.keyState);
    std::memset(p.reportedKeys, 0, sizeof p.reportedKeys);
    std::memset(p.clickMask, 0, sizeof p.clickMask);
    p.clickMode = 0;
    ResetPanelReports(p);
}

void DispatchPanelMessage(const stDispatchContext& panel, const uint8_t* frame, int length) {
    stProtocol& p = panel.protocol;
    if (!frame || length < 1) return;
    const uint8_t command = frame[0];
    if (command == kAck) {
        OnAcknowledgement(p, frame, length);
        return;
    }
    if (IsResetCommand(frame, length)) {
        OnReset(panel);
        return;
    }
    const uint8_t mode = command == 'A' ? PendingProtocolMode(p) : ActiveProtocolMode(p);
    int paramCount = 0;
    const int check = CheckFrame(p, frame, length, mode, 1, &paramCount);
    int flags;
    if (check == CHECK_BAD)
        flags = FLAG_NAK;
    else if (check == CHECK_DUPLICATE)
        flags = FLAG_ACK;
    else
        flags = Execute(panel, command, frame + 1, paramCount, length - 1);

    if (PanelAnswers(p)) {
        if (flags & FLAG_ACK) {
            const uint8_t ack = kAck;
            SendToHost(p, &ack, 1, 0);
        } else if (flags & FLAG_NAK) {
            const uint8_t nak = kNak;
            SendToHost(p, &nak, 1, 0);
        }
    }
    if (flags & FLAG_REPAINT) RepaintLcd(panel);
}

void DispatchAllMessages(const stDispatchContext& panel) {
    stProtocol& p = panel.protocol;
    // An injection from inside a command would hand the queue over again; the outer loop
    // already takes every message, so the nested call leaves the queue to it.
    if (p.dispatching) return;
    p.dispatching = true;
    while (const stQueuedMessage* message = p.incoming.Front()) {
        DispatchPanelMessage(panel, message->bytes, static_cast<int>(message->length));
        p.incoming.Remove(message);
    }
    p.dispatching = false;
}

namespace {
// The selection holds copies of the design's LEDs: the colour computed on the n-th copy is also
// stored in the n-th LED of that identifier in the design list, so that a repaint of the window
// shows the LED's current state instead of the colour it had when the design was opened.
void StoreLedColour(stDesign& design, int32_t id, int position, uint32_t colour) {
    ListLockGuard guard(design.listLock);
    stObjList* leds = design.leds;
    if (!leds) return;
    for (stListNode* node = leds->first; node; node = node->next) {
        auto* led = static_cast<stPanelObject*>(node->item);
        if (!led || led->kind != kKindLed || led->id() != id) continue;
        if (position-- == 0) {
            led->colour = colour;
            return;
        }
    }
}
}  // namespace

void UpdateLeds(const stProtocol& p) {
    if (!p.design) return;
    stDesign& design = *p.design;
    for (int32_t id = 0; id < 255; ++id) {
        stObjList* selection = SelectLedsById(design, design.leds, id);
        if (!selection) continue;
        int position = -1;
        for (stListNode* node = selection->first; node; node = node->next) {
            ++position;
            auto* led = static_cast<stPanelObject*>(node->item);
            stPanelObject* second = led->multicolour ? led->second : nullptr;
            bool secondOn = false;
            if (second) {
                if (second->refresh) {
                    led->refresh = 1;
                    second->refresh = 0;
                }
                secondOn = BitOf(p.ledState, second->id());
            }
            if (!led->refresh) continue;
            led->refresh = 0;
            const bool own = BitOf(p.ledState, led->id());
            if (secondOn)
                led->colour = own ? second->colourOn : second->colourOff;
            else
                led->colour = own ? led->colourOn : led->colourOff;
            StoreLedColour(design, id, position, led->colour);
            p.platform->DrawLed(*led);
        }
    }
}
