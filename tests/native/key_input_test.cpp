// Key actions, the key click rule and the key states a target reports, with fakes for the
// tone and the key looks; key reports are read back from the to-host queue.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "common/alloc.h"
#include "design/object_model.h"
#include "panel/panel.h"
#include "protocol/dispatcher.h"
#include "protocol/frame.h"
#include "protocol/host_link.h"
#include "protocol/key_input.h"
#include "fake_platform.h"
#include "protocol_test_support.h"
#include "test_panel.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Look {
    stPixelRect rect;
    int pressed;
};

struct Platform {
    int clicks = 0;
    std::vector<Look> looks;
} g_platform;

void Beep(unsigned hz, unsigned ms) {
    EXPECT_EQ(kKeyClickHz, hz);
    EXPECT_EQ(kKeyClickMs, ms);
    ++g_platform.clicks;
}
void DrawLook(const stPixelRect& rect, int pressed) { g_platform.looks.push_back({rect, pressed}); }

class KeyInput : public ::testing::Test {
protected:
    FreshProtocol fresh_;
    FakePlatformScope platform_{&fresh_.record};
    void SetUp() override {
        g_platform = Platform{};
        ASSERT_EQ(1, CreatePanelLists(TestPanel()));
        TestPanel().design.model = stPanelModel{};
        TestPanel().design.model.linkFlag = 1;
        TestPanel().design.model.options = MODEL_BUZZER;
        ResetHostLink(Protocol());
        platform_.fake.handOver = [] { DispatchAllMessages(TestDispatch()); };
        platform_.fake.beep = Beep;
        platform_.fake.drawKeyLook = DrawLook;
        // Key n sits at x = 10 n, 10 pixels wide: its look is x 10n+2 .. 10n+8.
        for (int32_t id : {0, 6, 7, 9, 12, 40})
            AddKey(id, stPixelRect{10 * id, 0, 10 * id + 10, 10});
    }
    void TearDown() override {
        ResetHostLink(Protocol());
        FreePanelLists(TestPanel());
    }
    static void AddKey(int32_t id, stPixelRect rect) {
        auto* key = InitPanelObject(static_cast<stPanelObject*>(OrpAlloc(TestPanel().heap, sizeof(stPanelObject))));
        key->kind = kKindKey;
        key->id() = id;
        key->pixelRect() = rect;
        key->name = OrpStrDup(TestPanel().heap, "key");
        key->tooltip = OrpStrDup(TestPanel().heap, "-");
        AppendItem(TestPanel().design.keys, key);
    }
    static void Host(Bytes message) {
        message.push_back(kCr);
        HostLinkReceiveFromApp(Protocol(), message.data(), static_cast<unsigned int>(message.size()));
    }
    // Every frame queued for the host, as strings.
    static std::vector<std::string> Frames() {
        std::vector<std::string> out;
        while (const stQueuedMessage* message = Protocol().toHost.Front()) {
            out.emplace_back(reinterpret_cast<const char*>(message->bytes), message->length);
            Protocol().toHost.Remove(message);
        }
        return out;
    }
    static bool Pressed(int id) { return (Protocol().keyState[id >> 3] >> (id & 7)) & 1; }
    // The ids whose looks were drawn (from the look's left edge), pressed or not.
    static std::vector<int> LookIds(int pressed) {
        std::vector<int> ids;
        for (const Look& look : g_platform.looks)
            if (look.pressed == pressed) ids.push_back((look.rect.left - kKeyLookInset) / 10);
        return ids;
    }
    static void Apply(const Bytes& params) { ApplyReportedKeyState(Protocol(), params.data(), static_cast<int>(params.size())); }
};

TEST(KeyClickRule, ModeZeroSilentModeOneAlwaysOtherModesFollowTheMask) {
    uint8_t mask[kBitmapBytes] = {};
    mask[1] = 0x04;  // key 10
    EXPECT_FALSE(KeyClickWanted(0, mask, 1, 0x04));
    EXPECT_TRUE(KeyClickWanted(1, mask, 1, 0x10));
    for (uint8_t mode : {2, 7, 0xFF}) {
        EXPECT_TRUE(KeyClickWanted(mode, mask, 1, 0x04)) << int(mode);
        EXPECT_FALSE(KeyClickWanted(mode, mask, 1, 0x10)) << "key 12, mask bit clear, mode " << int(mode);
        EXPECT_FALSE(KeyClickWanted(mode, mask, 0, 0x04)) << int(mode);
    }
}

TEST_F(KeyInput, PressAndReleaseReportTheChangedByteWithSpontaneousReports) {
    SetActiveProtocolMode(Protocol(), MODE_KEY_REPORTS);
    Host({'E', 1});
    Frames();
    KeyAction(Protocol(), 9, KEY_PRESS, nullptr);
    EXPECT_EQ((std::vector<std::string>{"k\x81\x02\r"}), Frames());
    EXPECT_EQ(1, g_platform.clicks);
    KeyAction(Protocol(), 9, KEY_RELEASE, nullptr);
    EXPECT_EQ((std::vector<std::string>{std::string("k\x81\x00\r", 4)}), Frames());
    EXPECT_EQ(1, g_platform.clicks) << "a release never clicks";
    EXPECT_TRUE(g_platform.looks.empty()) << "press and release leave the look alone";
}

TEST_F(KeyInput, WithoutSpontaneousReportsChangesWaitForTheHostsRequest) {
    KeyAction(Protocol(), 9, KEY_PRESS, nullptr);
    KeyAction(Protocol(), 40, KEY_PRESS, nullptr);
    KeyAction(Protocol(), 9, KEY_RELEASE, nullptr);
    EXPECT_TRUE(Frames().empty());
    EXPECT_EQ(0, g_platform.clicks) << "click mode 0 at load";
    Host({'K'});
    EXPECT_EQ((std::vector<std::string>{"k\x85\x01\r"}), Frames()) << "only key 40 is down";
}

TEST_F(KeyInput, CtrlLatchTogglesWithTheLookAndReleaseAllRepaintsWhatWasShownPressed) {
    Host({'E', 2});
    Host({'I', 0x81, 0x02});  // click mask: key 9 only
    Frames();
    const stPixelRect key9{90, 0, 100, 10};
    const stPixelRect key12{120, 0, 130, 10};
    KeyAction(Protocol(), 9, KEY_LATCH_TOGGLE, &key9);
    KeyAction(Protocol(), 12, KEY_LATCH_TOGGLE, &key12);
    EXPECT_TRUE(Pressed(9) && Pressed(12));
    EXPECT_EQ(1, g_platform.clicks) << "key 12 has no mask bit";
    ASSERT_EQ(2u, g_platform.looks.size());
    EXPECT_EQ(92, g_platform.looks[0].rect.left);
    EXPECT_EQ(8, g_platform.looks[0].rect.bottom);
    EXPECT_EQ((std::vector<int>{9, 12}), LookIds(1));

    KeyAction(Protocol(), 12, KEY_LATCH_TOGGLE, &key12);
    EXPECT_FALSE(Pressed(12));
    EXPECT_EQ((std::vector<int>{12}), LookIds(0));
    EXPECT_EQ(1, g_platform.clicks) << "unlatching is silent";

    // Key 40 is down from the target, key 9 latched: both repaint unpressed.
    Apply({0x85, 0x01});
    g_platform.looks.clear();
    KeyAction(Protocol(), 0, KEY_RELEASE_ALL, nullptr);
    for (int i = 0; i < kBitmapBytes; ++i) EXPECT_EQ(0, Protocol().keyState[i]) << i;
    EXPECT_EQ((std::vector<int>{9, 40}), LookIds(0));
    EXPECT_TRUE(LookIds(1).empty());
}

TEST_F(KeyInput, ReportedKeyStateShowsChangesAndClicksOncePerMessage) {
    Host({'E', 1});
    Frames();
    // Key 9 (byte 1) and key 40 (byte 5) in two groups; key 41 has no key in the design.
    Apply({0x85, 0x03, 0x81, 0x02});
    EXPECT_TRUE(Pressed(9) && Pressed(40) && Pressed(41));
    EXPECT_EQ(1, g_platform.clicks);
    EXPECT_EQ((std::vector<int>{40, 9}), LookIds(1));

    g_platform.looks.clear();
    Apply({0x85, 0x02});  // 40 up, 41 stays
    EXPECT_FALSE(Pressed(40));
    EXPECT_TRUE(Pressed(41));
    EXPECT_EQ((std::vector<int>{40}), LookIds(0));
    EXPECT_TRUE(LookIds(1).empty());
    EXPECT_EQ(1, g_platform.clicks) << "a release does not click";

    // A malformed second group: the first one stays applied.
    g_platform.looks.clear();
    Apply({0x80, 0x40, 0xE1, 1, 2, 3, 4});
    EXPECT_TRUE(Pressed(6));
    EXPECT_EQ((std::vector<int>{6}), LookIds(1));
    EXPECT_TRUE(Frames().empty()) << "a target's report is not reported back";
}

TEST_F(KeyInput, SingleByteBelow0x80LeavesKey7Alone) {
    Apply({0x80, 0x80});  // key 7 down
    g_platform.looks.clear();
    Apply({0x41});  // keys 0 and 6 down
    EXPECT_EQ(0xC1, Protocol().keyState[0]);
    EXPECT_EQ((std::vector<int>{6, 0}), LookIds(1));
    g_platform.looks.clear();
    Apply({0x00});
    EXPECT_EQ(0x80, Protocol().keyState[0]);
    EXPECT_EQ((std::vector<int>{6, 0}), LookIds(0)) << "key 7 keeps its look";
}

TEST_F(KeyInput, NewDesignWhileATargetReportsKeysShowsOnlyLiveKeys) {
    // The serial reader shows the target's key 9 going down and up while the user-interface
    // thread starts new designs that bring key 9 back each time (run it under ASan).
    const stPixelRect nine{90, 0, 100, 10};
    std::atomic<bool> done{false};
    std::atomic<int> reports{0};
    std::thread reader([&] {
        for (int i = 0; i < 200000 && !done; ++i, ++reports) Apply({0x81, static_cast<uint8_t>(i & 1 ? 0x02 : 0x00)});
        done = true;
    });
    for (int round = 0; round < 3000 && !done; ++round) {
        EXPECT_EQ(1, ResetDesign(TestPanel().design));
        AddKey(9, nine);
        const int seen = reports;  // one report at least with the key in place
        while (reports == seen && !done) std::this_thread::yield();
    }
    done = true;
    reader.join();
    ASSERT_FALSE(g_platform.looks.empty());
    for (const Look& look : g_platform.looks) ASSERT_EQ(nine.left + kKeyLookInset, look.rect.left);
}

}  // namespace
