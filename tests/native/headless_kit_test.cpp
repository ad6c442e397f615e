// The host kit over the headless panel's shared library, as a C++ firmware test uses them: the
// kit's HeadlessTransport, the panel's clock, and key presses made with the mouse's rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "orppanel_headless.h"
#include "orppanel_host.h"

namespace {

class HeadlessKit : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(1, orph_open()); }
    void TearDown() override { orph_close(); }
    orphost::HeadlessTransport link;
    orphost::Panel panel{link, orphost::Panel::Options{3, 1}};
};

TEST_F(HeadlessKit, KeyReportsRepeatOnThePanelsClockUntilTheKitAcknowledges) {
    std::vector<std::string> events;
    panel.onKeyDown = [&](int id) { events.push_back("down " + std::to_string(id)); };
    panel.onKeyUp = [&](int id) { events.push_back("up " + std::to_string(id)); };
    ASSERT_TRUE(panel.WaitForReset());
    ASSERT_TRUE(panel.SetMode(0x1B));
    EXPECT_EQ(orphost::Answer::Ack, panel.Text("Hi").kind);
    EXPECT_EQ(std::optional<uint8_t>(2), panel.ReadAddress());

    ASSERT_EQ(1, orph_press_key(12));
    // Not polled: the panel repeats the report every second, the same frame each time.
    orph_advance_ms(3000);
    panel.Poll();
    EXPECT_EQ((std::vector<std::string>{"down 12"}), events);
    EXPECT_EQ(3u, panel.Statistics().duplicates);
    orph_advance_ms(10000);  // acknowledged: nothing more comes
    EXPECT_EQ(0, panel.Poll());

    ASSERT_EQ(1, orph_release_key(12));
    panel.Poll();
    EXPECT_EQ((std::vector<std::string>{"down 12", "up 12"}), events);
    EXPECT_FALSE(panel.KeyDown(12));
    EXPECT_EQ(0, orph_key_state(12));
}

TEST_F(HeadlessKit, UnansweredAnnouncementRepeatsUntilTheKitAnswersIt) {
    orph_advance_ms(6000);  // three more announcements wait
    ASSERT_TRUE(panel.WaitForReset());
    EXPECT_EQ(3, panel.Poll());
    EXPECT_EQ(4u, panel.Statistics().resets);  // each one answered
    orph_advance_ms(20000);
    EXPECT_EQ(0, panel.Poll());
}

}  // namespace
