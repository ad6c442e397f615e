// The examples of docs/messages.md, replayed against the dispatcher so that the page cannot
// drift from the panel. Every ```frames block starts a fresh panel (mode 0, no capabilities,
// answering for itself, its counter just reset); its lines are
//   > bytes      a frame from the host, as transmitted (hex)
//   < bytes      the next frame the panel queues for the host; after each action every
//                queued frame must be listed, in order
//   caps XX / mode XX / target     model capabilities / both protocol modes / a target is
//                                  connected (the panel stops answering)
//   press N / release N / wait MS  a key pressed or released with the mouse / time passes
// and '#' starts a comment.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "design/object_model.h"
#include "lcd/controller.h"
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

// Window timers on a clock that only Advance moves; a timer fires periodically until stopped.
struct Timer {
    unsigned interval;
    unsigned long long due;
};
unsigned long long g_now = 0;
std::map<int, Timer> g_timers;

void StartTimer(int id, unsigned ms) { g_timers[id] = Timer{ms, g_now + ms}; }
void StopTimer(int id) { g_timers.erase(id); }

void Advance(unsigned ms) {
    const unsigned long long end = g_now + ms;
    for (;;) {
        auto next = g_timers.end();
        for (auto it = g_timers.begin(); it != g_timers.end(); ++it)
            if (it->second.due <= end && (next == g_timers.end() || it->second.due < next->second.due)) next = it;
        if (next == g_timers.end()) break;
        g_now = next->second.due;
        next->second.due += next->second.interval;
        DispatcherTimer(Protocol(), next->first);
    }
    g_now = end;
}

FakePlatform g_fake;

void StartPanel() {
    g_now = 0;
    g_timers.clear();
    CreatePanelLists(TestPanel());
    TestPanel().design.model = stPanelModel{};
    TestPanel().design.model.linkFlag = 1;
    ResetHostLink(Protocol());
    g_fake.handOver = [] { DispatchAllMessages(TestDispatch()); };
    g_fake.startTimer = StartTimer;
    g_fake.stopTimer = StopTimer;
    g_fake.repaintLcd = [] {};
    InstallPlatform(TestPanel(), &g_fake);
    Protocol().platform = &g_fake;
    LcdClearState(TestPanel().lcd);
    LcdReset(TestPanel().lcd);
    LcdSendInitSequence(TestPanel().lcd);
}

void StopPanel() {
    InstallPlatform(TestPanel(), nullptr);
    Protocol().platform = &NoPlatform();
    ResetHostLink(Protocol());
    FreePanelLists(TestPanel());
}

void TakeAnswers(std::vector<Bytes>* into) {
    while (const stQueuedMessage* message = Protocol().toHost.Front()) {
        into->emplace_back(message->bytes, message->bytes + message->length);
        Protocol().toHost.Remove(message);
    }
}

std::string Hex(const Bytes& bytes) {
    std::string out;
    char two[4];
    for (uint8_t b : bytes) {
        std::snprintf(two, sizeof two, "%02X ", b);
        out += two;
    }
    return out;
}

struct Block {
    int firstLine;
    std::vector<std::string> lines;
};

std::vector<Block> FrameBlocks() {
    std::ifstream page(ORP_DOCS_DIR "/messages.md");
    std::vector<Block> blocks;
    std::string line;
    bool inside = false;
    for (int number = 1; std::getline(page, line); ++number) {
        if (line.rfind("```", 0) == 0) {
            inside = !inside && line == "```frames";
            if (inside) blocks.push_back(Block{number + 1, {}});
        } else if (inside) {
            blocks.back().lines.push_back(line);
        }
    }
    return blocks;
}

TEST(MessagesDoc, EveryExampleFrameGetsTheAnswersThePageShows) {
    const std::vector<Block> blocks = FrameBlocks();
    ASSERT_GE(blocks.size(), 15u) << "docs/messages.md has lost its examples";
    for (const Block& block : blocks) {
        FreshProtocol fresh;  // every example starts from a new panel
        StartPanel();
        std::vector<Bytes> queued;
        for (size_t i = 0; i < block.lines.size(); ++i) {
            const std::string where = "docs/messages.md:" + std::to_string(block.firstLine + i);
            std::istringstream words(block.lines[i].substr(0, block.lines[i].find('#')));
            std::string word;
            if (!(words >> word)) continue;
            if (word == "<") {
                Bytes expected;
                while (words >> word) expected.push_back(static_cast<uint8_t>(std::stoul(word, nullptr, 16)));
                if (queued.empty()) {
                    ADD_FAILURE() << where << ": the panel sent nothing more, the page shows " << Hex(expected);
                    continue;
                }
                EXPECT_EQ(Hex(expected), Hex(queued.front())) << where;
                queued.erase(queued.begin());
                continue;
            }
            EXPECT_TRUE(queued.empty()) << where << ": the page misses the panel's " << Hex(queued.front());
            queued.clear();
            unsigned value = 0;
            if (word == ">") {
                Bytes frame;
                while (words >> word) frame.push_back(static_cast<uint8_t>(std::stoul(word, nullptr, 16)));
                HostLinkReceiveFromApp(Protocol(), frame.data(), static_cast<unsigned>(frame.size()));
            } else if (word == "target") {
                TestPanel().design.model.linkFlag = 0;
            } else if (word == "caps" && words >> std::hex >> value) {
                TestPanel().design.model.options = value;
            } else if (word == "mode" && words >> std::hex >> value) {
                SetActiveProtocolMode(Protocol(), static_cast<uint8_t>(value));
                SetPendingProtocolMode(Protocol(), static_cast<uint8_t>(value));
            } else if ((word == "press" || word == "release") && words >> value) {
                KeyAction(Protocol(), static_cast<int>(value), word == "press" ? KEY_PRESS : KEY_RELEASE, nullptr);
            } else if (word == "wait" && words >> value) {
                Advance(value);
            } else {
                ADD_FAILURE() << where << ": not an example line: " << block.lines[i];
            }
            TakeAnswers(&queued);
        }
        EXPECT_TRUE(queued.empty()) << "block at docs/messages.md:" << block.firstLine << " misses the panel's "
                                    << Hex(queued.front());
        StopPanel();
    }
}

}  // namespace
