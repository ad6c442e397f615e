#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "common/alloc.h"
#include "design/object_model.h"
#include "fake_platform.h"
#include "lcd/lcd_library.h"
#include "monitor/trace.h"
#include "panel/panel.h"
#include "protocol/host_link.h"

namespace {

std::vector<std::string> g_trace;
void RecordTrace(const char* text) { g_trace.emplace_back(text); }

stPanelObject* MakeObject(int32_t kind, int32_t id, stPixelRect rect = {0, 0, 0, 0}) {
    auto* object = InitPanelObject(static_cast<stPanelObject*>(OrpAlloc(TestPanel().heap, sizeof(stPanelObject))));
    object->kind = kind;
    object->id() = id;
    object->pixelRect() = rect;
    object->name = OrpStrDup(TestPanel().heap, kind == kKindKey ? "KEY" : "LED");
    object->tooltip = OrpStrDup(TestPanel().heap, "-");
    return object;
}

stPanelObject* MakeMulticolourLed(int32_t id, int32_t secondId) {
    stPanelObject* led = MakeObject(kKindLed, id);
    led->multicolour = 1;
    led->second = CopyPanelObject(TestPanel().heap, led);
    led->second->id() = secondId;
    return led;
}

class ObjectModel : public ::testing::Test {
protected:
    FakePlatformScope platform_;
    void SetUp() override {
        g_trace.clear();
        platform_.fake.trace = RecordTrace;
        list = NewObjList(TestPanel().heap);
        design.heap = &TestPanel().heap;
    }
    void TearDown() override {
        ResetLedSelectionCache(design);
        FreeOwningObjectList(list);
        TestPanel().heap.FailAllocationAfter(-1);
    }
    std::vector<int32_t> Indexes() const {
        std::vector<int32_t> out;
        for (stListNode* n = list->first; n; n = n->next) out.push_back(n->index);
        return out;
    }
    stObjList* list = nullptr;
    stDesign design;
};

TEST_F(ObjectModel, IndexesAreUniqueAndNeverRenumbered) {
    stPanelObject* a = MakeObject(kKindKey, 0);
    ASSERT_EQ(1, AppendItem(list, a));
    ASSERT_EQ(1, AppendItem(list, MakeObject(kKindKey, 1)));
    ASSERT_EQ(1, AppendItem(list, MakeObject(kKindKey, 2)));
    EXPECT_EQ((std::vector<int32_t>{0, 1, 2}), Indexes());

    ASSERT_EQ(1, RemovePanelObject(list, a));
    ASSERT_EQ(1, AppendItem(list, MakeObject(kKindKey, 3)));
    EXPECT_EQ((std::vector<int32_t>{1, 2, 3}), Indexes());
    EXPECT_EQ(3, list->count);
    EXPECT_EQ(nullptr, list->first->prev);
    EXPECT_EQ(nullptr, list->last->next);
}

TEST_F(ObjectModel, RemovingHeadTailMiddleAndOnlyNodeKeepsLinksConsistent) {
    stPanelObject* o[4];
    for (int i = 0; i < 4; ++i) AppendItem(list, o[i] = MakeObject(kKindKey, i));
    ASSERT_EQ(1, RemovePanelObject(list, o[1]));  // middle
    ASSERT_EQ(1, RemovePanelObject(list, o[3]));  // tail
    ASSERT_EQ(1, RemovePanelObject(list, o[0]));  // head
    ASSERT_EQ(1, list->count);
    EXPECT_EQ(list->first, list->last);
    EXPECT_EQ(o[2], list->first->item);
    ASSERT_EQ(1, RemovePanelObject(list, o[2]));  // only node
    EXPECT_EQ(0, list->count);
    EXPECT_EQ(nullptr, list->first);
    EXPECT_EQ(nullptr, list->last);
    EXPECT_EQ(1, AppendItem(list, MakeObject(kKindKey, 9)));
    EXPECT_EQ(0, list->first->index);
}

TEST_F(ObjectModel, RemovingAnObjectNotInTheListFreesNothing) {
    AppendItem(list, MakeObject(kKindKey, 0));
    stPanelObject* stranger = MakeObject(kKindKey, 1);
    EXPECT_EQ(0, RemovePanelObject(list, stranger));
    EXPECT_EQ(1, list->count);
    EXPECT_STREQ("KEY", stranger->name);  // still intact; ASan would flag a free
    stObjList* other = NewObjList(TestPanel().heap);
    AppendItem(other, stranger);
    FreeObjectList(other);
}

TEST_F(ObjectModel, NextFreeIdRestartsTheWalkOnEveryMatch) {
    AppendItem(list, MakeObject(kKindKey, 0));
    AppendItem(list, MakeObject(kKindKey, 1));
    AppendItem(list, MakeObject(kKindKey, 3));
    EXPECT_EQ(2, NextFreeId(list, 0));
    EXPECT_EQ(4, NextFreeId(list, 3));

    stObjList* leds = NewObjList(TestPanel().heap);
    AppendItem(leds, MakeObject(kKindLed, 1));
    AppendItem(leds, MakeMulticolourLed(5, 0));
    EXPECT_EQ(2, NextFreeId(leds, 0));
    EXPECT_EQ(6, NextFreeId(leds, 5));
    FreeOwningObjectList(leds);
    EXPECT_EQ(7, NextFreeId(nullptr, 7));
}

TEST_F(ObjectModel, HitTestIsHalfOpenAndEarliestObjectWins) {
    stPanelObject* first = MakeObject(kKindKey, 1, {10, 20, 30, 40});
    stPanelObject* overlapping = MakeObject(kKindKey, 2, {10, 20, 30, 40});
    stPanelObject* led = MakeObject(kKindLed, 1, {0, 0, 100, 100});
    AppendItem(list, led);
    AppendItem(list, first);
    AppendItem(list, overlapping);
    EXPECT_EQ(first, FindKeyAt(list, 10, 20));
    EXPECT_EQ(first, FindKeyAt(list, 29, 39));
    EXPECT_EQ(nullptr, FindKeyAt(list, 30, 25));
    EXPECT_EQ(nullptr, FindKeyAt(list, 15, 40));
    EXPECT_EQ(led, FindLedAt(list, 15, 25));
    EXPECT_EQ(first, FindKeyById(list, 1));
    EXPECT_EQ(led, FindLedById(list, 1));
}

TEST_F(ObjectModel, FindLedByIdSeesSecondIdentifierButSelectionDoesNot) {
    stPanelObject* multi = MakeMulticolourLed(4, 9);
    AppendItem(list, multi);
    EXPECT_EQ(multi, FindLedById(list, 9));
    EXPECT_EQ(nullptr, SelectLedsById(design, list, 9));
    EXPECT_EQ(nullptr, FindKeyById(list, 4));
}

TEST_F(ObjectModel, SelectionIsCachedPerIdAndSharesSecondRecords) {
    stPanelObject* plain = MakeObject(kKindLed, 3);
    stPanelObject* multi = MakeMulticolourLed(3, 8);
    AppendItem(list, plain);
    AppendItem(list, MakeObject(kKindLed, 4));
    AppendItem(list, multi);

    stObjList* copies = SelectLedsById(design, list, 3);
    ASSERT_NE(nullptr, copies);
    ASSERT_EQ(2, copies->count);
    auto* copyOfMulti = static_cast<stPanelObject*>(copies->last->item);
    EXPECT_NE(multi, copyOfMulti);
    EXPECT_EQ(multi->second, copyOfMulti->second);
    EXPECT_NE(multi->name, copyOfMulti->name);

    // The caller clears refresh on the design LEDs' copies; a repeat does not set it again.
    plain->refresh = 0;
    EXPECT_EQ(copies, SelectLedsById(design, list, 3));
    EXPECT_EQ(0, plain->refresh);

    // Another id frees the cached copies (but never the shared second records).
    stObjList* other = SelectLedsById(design, list, 4);
    ASSERT_NE(nullptr, other);
    EXPECT_EQ(1, other->count);
    EXPECT_EQ(8, multi->second->id());
    SelectLedsById(design, list, 3);
    EXPECT_EQ(1, plain->refresh);
}

TEST_F(ObjectModel, FreeingTheDesignListsReleasesSecondRecordsOnce) {
    stPanel panel;
    ASSERT_EQ(1, CreatePanelLists(panel));
    stDesign& lists = panel.design;
    AppendItem(lists.leds, MakeMulticolourLed(1, 2));
    AppendItem(lists.keys, MakeObject(kKindKey, 1));
    AppendItem(lists.tips, NewTextItem(TestPanel().heap, "abc", 3));
    ASSERT_NE(nullptr, SelectLedsById(lists, lists.leds, 1));  // cached copy shares the second record

    ASSERT_EQ(1, ResetDesign(lists));
    EXPECT_EQ(0, lists.leds->count);
    EXPECT_EQ(0, lists.tips->count);
    EXPECT_EQ(nullptr, SelectLedsById(lists, lists.leds, 1));
    FreePanelLists(panel);
    EXPECT_EQ(nullptr, lists.leds);
    EXPECT_EQ(nullptr, lists.tips);
}

TEST_F(ObjectModel, TextItemsCopyBytesAndTerminate) {
    const char bytes[] = {'a', '\0', 'b'};
    stTextItem* item = NewTextItem(TestPanel().heap, bytes, 3);
    ASSERT_NE(nullptr, item);
    EXPECT_EQ(3u, item->length);
    EXPECT_EQ(0, std::memcmp(bytes, item->text, 3));
    EXPECT_EQ('\0', item->text[3]);
    stObjList* texts = NewObjList(TestPanel().heap);
    AppendItem(texts, item);
    EXPECT_EQ(1, RemoveTextItem(texts, item));
    FreeTextList(texts);
}

TEST_F(ObjectModel, AllocationFailuresReportAndLeaveTheListUnchanged) {
    AppendItem(list, MakeObject(kKindKey, 0));
    stPanelObject* spare = MakeObject(kKindKey, 1);

    TestPanel().heap.FailAllocationAfter(0);
    EXPECT_EQ(0, AppendItem(list, spare));
    EXPECT_EQ(1, list->count);
    EXPECT_EQ(list->first, list->last);

    TestPanel().heap.FailAllocationAfter(1);  // record succeeds, name copy fails
    EXPECT_EQ(nullptr, CopyPanelObject(TestPanel().heap, spare));
    TestPanel().heap.FailAllocationAfter(1);
    EXPECT_EQ(nullptr, NewTextItem(TestPanel().heap, "xy", 2));
    EXPECT_EQ(3u, g_trace.size());
    for (const std::string& text : g_trace) EXPECT_EQ("Speicherplatzmangel\r\n", text);

    TestPanel().heap.FailAllocationAfter(-1);
    EXPECT_EQ(1, AppendItem(list, spare));
}

// The records of a panel allocate on that panel's heap: a failure injected there reaches only
// that panel's trace, and the other panel's records allocate as usual.
TEST_F(ObjectModel, AllocationFailuresShowInTheTraceOfTheirOwnPanel) {
    stPanel other;
    FakePlatform otherPlatform;
    std::vector<std::string> otherTrace;
    otherPlatform.trace = [&](const char* text) { otherTrace.emplace_back(text); };
    InstallPlatform(other, &otherPlatform);
    const uint8_t frame[] = {0x02, 0x03};
    const std::function<bool(stPanel&)> allocations[] = {
        [](stPanel& panel) { return CreatePanelLists(panel) == 1; },
        [&](stPanel& panel) { return QueueForHost(panel.protocol, frame, sizeof frame) == 1; },
        [](stPanel& panel) { return NewDesignLcdType(panel.lcdLibrary) != nullptr; },
    };
    int index = 0;
    for (const auto& allocate : allocations) {
        other.heap.FailAllocationAfter(0);
        EXPECT_TRUE(allocate(TestPanel())) << index;
        EXPECT_FALSE(allocate(other)) << index;
        EXPECT_EQ(std::vector<std::string>{"Speicherplatzmangel\r\n"}, otherTrace) << index;
        EXPECT_TRUE(g_trace.empty()) << index;
        otherTrace.clear();
        ++index;
    }
    InstallPlatform(other, nullptr);
}

}  // namespace
