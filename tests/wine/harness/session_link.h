// The host kit over a test's panel session: CheckRx once per receive, this thread's messages
// pumped while it waits (the panel sends the host window messages at start).
#pragma once

#include <windows.h>

#include <string>

#include "harness/panel_session.h"
#include "orppanel_host.h"

class SessionLink : public orphost::Transport {
public:
    explicit SessionLink(PanelSession& session) : session_(session) {}
    void Send(const uint8_t* frame, size_t length) override {
        session_.Send(std::string(reinterpret_cast<const char*>(frame), length));
    }
    bool Receive(orphost::Bytes& bytes) override {
        const std::string frame = session_.PollFrame();
        bytes.insert(bytes.end(), frame.begin(), frame.end());
        return !frame.empty();
    }
    void Idle() override {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(1);
    }

private:
    PanelSession& session_;
};
