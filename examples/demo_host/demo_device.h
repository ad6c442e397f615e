// The demo device's firmware: a small measuring instrument, written against the host kit
// (include/orppanel_host.h) and nothing else, so that the same code runs with orppanel.dll on
// Windows (demo_host.cpp) and with orp-web on Linux (demo_web.cpp). The program around it
// supplies the panel's transport and a millisecond clock, and calls Step() in its main loop.
//
// What a person can do on the panel:
//   ^ v       move through the menu on the LCD     OK     choose the marked entry
//   < >       change the alarm threshold while it is being edited
//   START     start the measurement: the value counts up on the LCD and RUN is lit
//   STOP      stop it                              past the threshold ALARM lights and it beeps
//   F1 value screen   F2 menu   F3 backlight on/off   F4 reset value and alarm
//
// After the panel's reset announcement the device switches to mode 0x1B (spontaneous key
// reports 0x01, acknowledged 0x02, sequence byte 0x08, CRC-16 0x10); the kit frames, checks and
// acknowledges, and calls OnKeyPressed for every key press the panel reports.
#ifndef ORP_DEMO_DEVICE_H
#define ORP_DEMO_DEVICE_H

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "orppanel_host.h"

namespace demo {

constexpr uint8_t kDeviceMode = orphost::kModeKeyReports | orphost::kModeKeyAck | orphost::kModeSequence |
                                orphost::kModeCrc;

// The key identifiers of the demo design.
enum Key { F1, F2, F3, F4, UP, LEFT, OK, RIGHT, DOWN, START, STOP };
constexpr int kKeyCount = STOP + 1;

class Device {
public:
    // `clockMs`: milliseconds of a steady clock (wrapping is fine).
    Device(orphost::Panel& panel, std::function<uint32_t()> clockMs) : panel_(panel), clock_(std::move(clockMs)) {}

    // Takes the panel over: waits for its reset announcement (the mode set-up follows it),
    // switches the key click on and lights the backlight. False when the panel did not
    // announce itself.
    bool Start() {
        panel_.onKeyDown = [this](int key) {
            comLitUntil_ = clock_() + 150;
            OnKeyPressed(key);
        };
        panel_.onKeyUp = [this](int) { comLitUntil_ = clock_() + 150; };
        // A reset announcement puts the panel back to mode 0: take it over again.
        panel_.onReset = [this] { panel_.SetMode(kDeviceMode); };
        if (!panel_.WaitForReset()) return false;
        panel_.ClickMode(1);  // key click on every key
        panel_.Backlight(255);
        lastTick_ = clock_();
        return true;
    }

    // One pass of the firmware's main loop: key reports (OnKeyPressed runs from here), the
    // measurement every 100 ms, the LCD and LEDs.
    void Step() {
        panel_.Poll();
        const uint32_t now = clock_();
        if (now - lastTick_ >= 100) {
            lastTick_ = now;
            if (running_) ++value_;
            if (value_ > threshold_ && !alarm_) {
                alarm_ = true;
                panel_.Beep(6, 20);  // 6 x 50 ms at 20 x 100 Hz
            }
        }
        Render();
    }

    bool Alarm() const { return alarm_; }

    static const char* KeyName(int key) {
        static const char* const names[] = {"F1", "F2", "F3", "F4", "up", "left", "OK", "right", "down", "START", "STOP"};
        return key >= 0 && key < kKeyCount ? names[key] : nullptr;
    }

private:
    enum Screen { MENU, VALUE, INFO };
    enum Led { LED_POWER = 0x01, LED_RUN = 0x02, LED_ALARM = 0x08, LED_COM = 0x10 };
    static constexpr int kMenuItems = 4;

    void ShowLine(int row, std::string text) {
        text.resize(16, ' ');
        if (shownLine_[row] == text) return;
        shownLine_[row] = text;
        // 'S': the LCD instruction "set address" (0x80, line 2 at 0x40), then the characters.
        panel_.InstructionAndText(row ? 0xC0 : 0x80, text);
    }

    void Render() {
        static const char* const menu[] = {"Measurement", "Threshold", "Backlight", "About"};
        char line[2][32];
        if (screen_ == MENU) {
            const int next = (item_ + 1) % kMenuItems;
            auto entry = [&](char* out, int i, char mark) {
                if (i == 1)
                    std::snprintf(out, 32, "%c%s %c%d%c", mark, menu[i], editing_ && mark == '>' ? '<' : ' ',
                                  threshold_, editing_ && mark == '>' ? '>' : ' ');
                else if (i == 2)
                    std::snprintf(out, 32, "%c%s %s", mark, menu[i], backlight_ ? "on" : "off");
                else
                    std::snprintf(out, 32, "%c%s", mark, menu[i]);
            };
            entry(line[0], item_, '>');
            entry(line[1], next, ' ');
        } else if (screen_ == VALUE) {
            std::snprintf(line[0], 32, "Value %5d %s", value_, running_ ? "RUN" : "   ");
            std::snprintf(line[1], 32, alarm_ ? "ALARM  limit %d" : "limit %d", threshold_);
        } else {
            std::snprintf(line[0], 32, "ORPpanel demo");
            std::snprintf(line[1], 32, "firmware 1.0");
        }
        ShowLine(0, line[0]);
        ShowLine(1, line[1]);

        const int leds = LED_POWER | (running_ ? LED_RUN : 0) | (alarm_ ? LED_ALARM : 0) |
                         (static_cast<int32_t>(comLitUntil_ - clock_()) > 0 ? LED_COM : 0);
        if (leds != shownLeds_) {
            shownLeds_ = leds;
            orphost::Bitmap states{};
            states[0] = static_cast<uint8_t>(leds);
            panel_.Leds(states);
        }
    }

    void ToggleBacklight() {
        backlight_ = !backlight_;
        panel_.Backlight(backlight_ ? 255 : 0);
    }

    void OnKeyPressed(int key) {
        if (const char* name = KeyName(key)) std::printf("key %s\n", name);
        switch (key) {
        case UP:
        case DOWN:
            if (screen_ != MENU) {
                screen_ = MENU;
            } else if (!editing_) {
                item_ = (item_ + (key == UP ? kMenuItems - 1 : 1)) % kMenuItems;
            }
            break;
        case LEFT:
        case RIGHT:
            if (editing_) threshold_ += key == RIGHT ? 10 : -10;
            if (threshold_ < 10) threshold_ = 10;
            break;
        case OK:
            if (screen_ != MENU) screen_ = MENU;
            else if (item_ == 0) screen_ = VALUE;
            else if (item_ == 1) editing_ = !editing_;
            else if (item_ == 2) ToggleBacklight();
            else screen_ = INFO;
            break;
        case START:
            running_ = true;
            screen_ = VALUE;
            break;
        case STOP:
            running_ = false;
            break;
        case F1: screen_ = VALUE; break;
        case F2: screen_ = MENU; break;
        case F3: ToggleBacklight(); break;
        case F4:
            value_ = 0;
            alarm_ = false;
            break;
        }
    }

    orphost::Panel& panel_;
    std::function<uint32_t()> clock_;
    Screen screen_ = MENU;
    int item_ = 0;
    bool editing_ = false;
    bool running_ = false;
    bool alarm_ = false;
    bool backlight_ = true;
    int value_ = 0;
    int threshold_ = 50;
    uint32_t lastTick_ = 0;
    uint32_t comLitUntil_ = 0;
    std::string shownLine_[2];
    int shownLeds_ = -1;
};

}  // namespace demo

#endif  // ORP_DEMO_DEVICE_H
