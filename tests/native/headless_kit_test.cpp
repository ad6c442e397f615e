// The host kit over the headless panel's shared library, as a C++ firmware test uses them: the
// kit's HeadlessTransport, the panel's clock, and key presses made with the mouse's rules; and
// several panels in one process, on one thread and on two.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "orppanel_headless.h"
#include "orppanel_host.h"

namespace {

// A headless panel with the host kit on its host side.
struct KitPanel {
    orph_panel* device = orph_open();
    orphost::HeadlessTransport link{device};
    orphost::Panel panel{link, orphost::Panel::Options{3, 1}};
    ~KitPanel() { orph_close(device); }
};

class HeadlessKit : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(nullptr, kit.device); }
    KitPanel kit;
    orph_panel* device = kit.device;
    orphost::Panel& panel = kit.panel;
};

TEST_F(HeadlessKit, KeyReportsRepeatOnThePanelsClockUntilTheKitAcknowledges) {
    std::vector<std::string> events;
    panel.onKeyDown = [&](int id) { events.push_back("down " + std::to_string(id)); };
    panel.onKeyUp = [&](int id) { events.push_back("up " + std::to_string(id)); };
    ASSERT_TRUE(panel.WaitForReset());
    ASSERT_TRUE(panel.SetMode(0x1B));
    EXPECT_EQ(orphost::Answer::Ack, panel.Text("Hi").kind);
    EXPECT_EQ(std::optional<uint8_t>(2), panel.ReadAddress());

    ASSERT_EQ(1, orph_press_key(device, 12));
    // Not polled: the panel repeats the report every second, the same frame each time.
    orph_advance_ms(device, 3000);
    panel.Poll();
    EXPECT_EQ((std::vector<std::string>{"down 12"}), events);
    EXPECT_EQ(3u, panel.Statistics().duplicates);
    orph_advance_ms(device, 10000);  // acknowledged: nothing more comes
    EXPECT_EQ(0, panel.Poll());

    ASSERT_EQ(1, orph_release_key(device, 12));
    panel.Poll();
    EXPECT_EQ((std::vector<std::string>{"down 12", "up 12"}), events);
    EXPECT_FALSE(panel.KeyDown(12));
    EXPECT_EQ(0, orph_key_state(device, 12));
}

TEST_F(HeadlessKit, UnansweredAnnouncementRepeatsUntilTheKitAnswersIt) {
    orph_advance_ms(device, 6000);  // three more announcements wait
    ASSERT_TRUE(panel.WaitForReset());
    EXPECT_EQ(3, panel.Poll());
    EXPECT_EQ(4u, panel.Statistics().resets);  // each one answered
    orph_advance_ms(device, 20000);
    EXPECT_EQ(0, panel.Poll());
}

// Texts, modes, key reports and clocks stay with their own panel, and ending one panel leaves
// the other working.
TEST(HeadlessPanels, TwoPanelsInOneProcessShareNothing) {
    auto first = std::make_unique<KitPanel>();
    KitPanel second;
    ASSERT_TRUE(first->panel.WaitForReset());
    ASSERT_TRUE(second.panel.WaitForReset());
    ASSERT_TRUE(first->panel.SetMode(0x1B));  // acknowledged key reports in the first only
    EXPECT_EQ(orphost::Answer::Ack, first->panel.Text("first").kind);
    EXPECT_EQ(orphost::Answer::Ack, second.panel.Text("second!").kind);
    EXPECT_EQ(std::optional<uint8_t>(5), first->panel.ReadAddress());
    EXPECT_EQ(std::optional<uint8_t>(7), second.panel.ReadAddress());

    std::vector<int> firstDown, secondDown;
    first->panel.onKeyDown = [&](int id) { firstDown.push_back(id); };
    second.panel.onKeyDown = [&](int id) { secondDown.push_back(id); };
    ASSERT_EQ(1, orph_press_key(first->device, 12));
    first->panel.Poll();
    second.panel.Poll();
    EXPECT_EQ(std::vector<int>{12}, firstDown);
    EXPECT_TRUE(secondDown.empty());
    EXPECT_EQ(0, orph_key_state(second.device, 12));

    orph_advance_ms(first->device, 5000);
    EXPECT_EQ(5000u, orph_now_ms(first->device));
    EXPECT_EQ(0u, orph_now_ms(second.device));
    EXPECT_EQ(0, second.panel.Poll());  // no announcement or repeat reached the second one

    first.reset();
    EXPECT_EQ(orphost::Answer::Ack, second.panel.Text("+").kind);
    EXPECT_EQ(std::optional<uint8_t>(8), second.panel.ReadAddress());
    ASSERT_TRUE(second.panel.SetMode(0x01));  // spontaneous reports: mode 0 sends none
    ASSERT_EQ(1, orph_press_key(second.device, 3));
    second.panel.Poll();
    EXPECT_EQ(std::vector<int>{3}, secondDown);
}

// Each thread drives a panel of its own at the same time as the other.
TEST(HeadlessPanels, PanelsRunOnTwoThreadsAtOnce) {
    constexpr int kRounds = 300;
    auto drive = [](int key, int* failures) {
        KitPanel kit;
        if (!kit.panel.WaitForReset() || !kit.panel.SetMode(0x1B)) ++*failures;
        std::vector<int> down;
        kit.panel.onKeyDown = [&](int id) { down.push_back(id); };
        for (int round = 0; round < kRounds; ++round) {
            const std::string text = std::to_string(key) + ":" + std::to_string(round % 10);
            if (kit.panel.SetAddress(0).kind != orphost::Answer::Ack) ++*failures;
            if (kit.panel.Text(text).kind != orphost::Answer::Ack) ++*failures;
            if (kit.panel.ReadAddress() != std::optional<uint8_t>(static_cast<uint8_t>(text.size()))) ++*failures;
            orph_press_key(kit.device, key);
            kit.panel.Poll();
            orph_release_key(kit.device, key);
            kit.panel.Poll();
            orph_advance_ms(kit.device, 7);
        }
        if (down != std::vector<int>(kRounds, key)) ++*failures;
        if (orph_now_ms(kit.device) != 7u * kRounds) ++*failures;
    };
    int failuresA = 0, failuresB = 0;
    std::thread a(drive, 5, &failuresA), b(drive, 40, &failuresB);
    a.join();
    b.join();
    EXPECT_EQ(0, failuresA);
    EXPECT_EQ(0, failuresB);
}

}  // namespace
