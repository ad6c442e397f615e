// The platform of the native tests: every member calls the function a test assigned to it and
// otherwise does what the do-nothing platform does, so a fixture sets only what it records.
#pragma once

#include <functional>

#include "common/platform.h"
#include "panel/panel.h"
#include "test_panel.h"

struct FakePlatform : PanelPlatform {
    std::function<void(unsigned, unsigned)> beep;
    std::function<void(int, unsigned)> startTimer;
    std::function<void(int)> stopTimer;
    std::function<void(unsigned)> sleep;
    std::function<void()> repaintLcd;  // set: replaces the core's LCD drawing
    std::function<void(uint8_t)> backlight, contrast;  // set: replace the core's levels
    std::function<void(const stPanelObject&)> drawLed;
    std::function<void(const stPixelRect&, int)> drawKeyLook;
    std::function<void*(void*, void*, const uint8_t*, const uint8_t*)> buildPlate;
    std::function<void(const uint8_t*, unsigned int)> forwardToLink;
    std::function<void(int, const uint8_t*, unsigned int, uint8_t, uint8_t)> hostBytes;
    std::function<void()> handOver;  // unset: the incoming queue is discarded
    std::function<void(const uint8_t*, int)> targetKeys;
    std::function<void(const char*)> trace, status;
    std::function<void(int, const char*)> monitorLine;
    std::function<void(bool, stClockTime*)> clock;

    void Beep(unsigned hz, unsigned ms) override { if (beep) beep(hz, ms); }
    void StartTimer(int id, unsigned ms) override { if (startTimer) startTimer(id, ms); }
    void StopTimer(int id) override { if (stopTimer) stopTimer(id); }
    void Sleep(unsigned ms) override { if (sleep) sleep(ms); }
    bool RepaintLcd() override { return repaintLcd && (repaintLcd(), true); }
    bool SetLcdBacklight(uint8_t level) override { return backlight && (backlight(level), true); }
    bool SetLcdContrast(uint8_t level) override { return contrast && (contrast(level), true); }
    void DrawLed(const stPanelObject& led) override { if (drawLed) drawLed(led); }
    void DrawKeyLook(const stPixelRect& rect, int pressed) override { if (drawKeyLook) drawKeyLook(rect, pressed); }
    void* BuildPlateBitmap(void* window, void* previous, const uint8_t* header, const uint8_t* pixels) override {
        return buildPlate ? buildPlate(window, previous, header, pixels) : previous;
    }
    void ForwardToLink(const uint8_t* bytes, unsigned int length) override { if (forwardToLink) forwardToLink(bytes, length); }
    void ShowHostBytes(int direction, const uint8_t* bytes, unsigned int length, uint8_t active,
                       uint8_t pending) override {
        if (hostBytes) hostBytes(direction, bytes, length, active, pending);
    }
    bool HandOver() override { return handOver && (handOver(), true); }
    void ShowTargetKeys(const uint8_t* params, int count) override { if (targetKeys) targetKeys(params, count); }
    void TraceText(const char* text) override { if (trace) trace(text); }
    void StatusText(const char* text) override { if (status) status(text); }
    void MonitorText(int direction, const char* line) override { if (monitorLine) monitorLine(direction, line); }
    bool ReadClock(bool utc, stClockTime* time) override { return clock && (clock(utc, time), true); }
};

// Installs a fake on the process's panel (and on a test's own protocol record, if given) while
// it lives; a fixture holds one as a member and fills in the functions in its SetUp.
struct FakePlatformScope {
    FakePlatform fake;
    explicit FakePlatformScope(stProtocol* protocol = nullptr) : protocol_(protocol) {
        InstallPlatform(TestPanel(), &fake);
        if (protocol_) protocol_->platform = &fake;
    }
    ~FakePlatformScope() {
        InstallPlatform(TestPanel(), nullptr);
        if (protocol_) protocol_->platform = &NoPlatform();
    }
    FakePlatformScope(const FakePlatformScope&) = delete;
    FakePlatformScope& operator=(const FakePlatformScope&) = delete;

private:
    stProtocol* protocol_;
};
