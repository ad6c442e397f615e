// Every test runs on a panel of its own: a listener builds a fresh stPanel before each test and
// ends it (with everything it still owns) after the test, so no test sees another's state.
// Include this header, then reach the running test's panel through TestPanel().
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "panel/panel.h"

namespace test_panel {

// A new panel; like every panel it reports failed allocations in its own trace output, and a
// test makes its allocations fail through its heap (TestPanel().heap.FailAllocationAfter).
inline std::unique_ptr<stPanel> NewPanel() { return std::make_unique<stPanel>(); }

inline std::unique_ptr<stPanel>& Current() {
    static std::unique_ptr<stPanel> panel;
    return panel;
}

class FreshPanelPerTest : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { Current() = NewPanel(); }
    void OnTestEnd(const ::testing::TestInfo&) override { Current().reset(); }
};

inline bool Register() {
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshPanelPerTest);
    return true;
}
inline const bool registered = Register();

}  // namespace test_panel

// The running test's panel. Outside a test (a static initializer, the end of the program) there
// is one too, so that set-up code never meets a null panel.
inline stPanel& TestPanel() {
    std::unique_ptr<stPanel>& panel = test_panel::Current();
    if (!panel) panel = test_panel::NewPanel();
    return *panel;
}
