// A fresh protocol record for each test. The platform hooks the tests install are plain
// function pointers, so the record of the running test is reached through Protocol().
#pragma once

#include "panel/panel.h"
#include "protocol/dispatcher.h"
#include "protocol/protocol.h"
#include "test_panel.h"

inline stProtocol*& CurrentTestProtocol() {
    static stProtocol* current = nullptr;
    return current;
}
inline stProtocol& Protocol() { return *CurrentTestProtocol(); }

// Owns a record in its load-time state and makes it the current one while it lives. A fixture
// holds one as a member, so every test starts from a new record.
struct FreshProtocol {
    stProtocol record;
    FreshProtocol() {
        record.design = &TestPanel().design;  // the design the tests set up
        record.heap = &TestPanel().heap;       // the queued frames come from the test panel's heap
        CurrentTestProtocol() = &record;
    }
    ~FreshProtocol() { CurrentTestProtocol() = nullptr; }
    FreshProtocol(const FreshProtocol&) = delete;
    FreshProtocol& operator=(const FreshProtocol&) = delete;
};

// The dispatcher's records for a test: its own protocol record with the process panel's LCD.
inline stDispatchContext TestDispatch() { return {Protocol(), TestPanel().lcd, TestPanel().lcdDraw}; }
