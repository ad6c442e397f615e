// The design editor's rules without windows: the rubber band, the property dialog's changes to
// keys and LEDs (with the multicolour halves), the object list's lines and the numbers of the
// model and tips dialogs.
#include <gtest/gtest.h>

#include <string>

#include "common/alloc.h"
#include "design/dialog_values.h"
#include "design/edit_geometry.h"
#include "design/lcd_geometry.h"
#include "design/lcd_placement.h"
#include "design/object_lines.h"
#include "design/object_model.h"
#include "design/property_edit.h"
#include "lcd/charset.h"
#include "lcd/controller.h"
#include "lcd/lcd_draw.h"
#include "panel/panel.h"
#include "test_panel.h"

namespace {

stPanelObject* MakeObject(int32_t kind, int32_t id, stPixelRect rect, const char* name = "LED") {
    auto* object = InitPanelObject(static_cast<stPanelObject*>(OrpAlloc(TestPanel().heap, sizeof(stPanelObject))));
    object->kind = kind;
    object->id() = id;
    object->pixelRect() = rect;
    object->name = OrpStrDup(TestPanel().heap, name);
    object->tooltip = OrpStrDup(TestPanel().heap, "-");
    return object;
}

bool SameRect(const stPixelRect& a, const stPixelRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(EditGeometry, BandAndLedCircleAreTheSameInEveryDirection) {
    const stPixelRect key{10, 20, 50, 45};
    EXPECT_TRUE(SameRect(key, OrderBand(10, 20, 50, 45)));  // down right
    EXPECT_TRUE(SameRect(key, OrderBand(50, 45, 10, 20)));  // up left
    EXPECT_TRUE(SameRect(key, OrderBand(50, 20, 10, 45)));  // down left
    EXPECT_TRUE(SameRect(key, OrderBand(10, 45, 50, 20)));  // up right

    // The circle is centred on the press point; its radius reaches the release point along the
    // axis where the release point lies farther away.
    for (auto end : {stPixelPoint{107, 203}, stPixelPoint{93, 197}, stPixelPoint{107, 197}, stPixelPoint{93, 203},
                     stPixelPoint{102, 193}}) {
        int32_t radius = LedRadius(100, 200, end.x, end.y);
        EXPECT_EQ(7, radius);
        EXPECT_TRUE(SameRect(stPixelRect{93, 193, 107, 207}, LedSquare(100, 200, radius)));
    }
    EXPECT_EQ(10, OutlineRadius(stPixelRect{10, 20, 31, 41}));
    EXPECT_EQ(8, OutlineRadius(stPixelRect{0, 0, 10, 16}));
}

class PropertyEdit : public ::testing::Test {
protected:
    void SetUp() override {
        ResetGeometry(TestPanel());
        leds = NewObjList(TestPanel().heap);
    }
    void TearDown() override {
        FreeOwningObjectList(leds);
        ResetLedSelectionCache(TestPanel().design);
    }
    stObjList* leds = nullptr;
};

TEST_F(PropertyEdit, AnInvalidIdentifierStopsTheChangesUntilOkIsPressedAgain) {
    stPanelObject* key = MakeObject(kKindKey, 4, stPixelRect{10, 10, 30, 20}, "KEY");
    stPropertyEdit edit;
    InitPropertyEdit(&edit, key, false);
    edit.name = "Start";
    edit.tooltip = "Starts it";
    edit.id = 300;
    edit.x = 40;
    edit.width = 50;
    edit.mask = PROP_NAME | PROP_TOOLTIP | PROP_GEOMETRY;

    EXPECT_EQ(kPropBadId, ApplyPropertyEdit(TestPanel().design, key, &edit));
    EXPECT_STREQ("Start", key->name);  // applied before the identifier
    EXPECT_STREQ("Starts it", key->tooltip);
    EXPECT_EQ(0, key->id());
    EXPECT_EQ(10, key->pixelRect().left);  // not yet applied, still pending
    EXPECT_EQ(PROP_ID | PROP_GEOMETRY, edit.mask);

    edit.id = 7;
    EXPECT_EQ(kPropApplied, ApplyPropertyEdit(TestPanel().design, key, &edit));
    EXPECT_EQ(7, key->id());
    EXPECT_TRUE(SameRect(stPixelRect{40, 10, 90, 20}, key->pixelRect()));
    EXPECT_EQ(ToLogical(TestPanel().design.scale, 50, 0), key->logicalRect().width);  // logical rectangle follows
    EXPECT_EQ(ToLogical(TestPanel().design.scale, 40, 0), key->logicalRect().x);
    EXPECT_EQ(0u, edit.mask);

    stObjList* keys = NewObjList(TestPanel().heap);
    AppendItem(keys, key);
    FreeOwningObjectList(keys);
}

TEST_F(PropertyEdit, LedCentreAndRadius) {
    stPanelObject* led = MakeObject(kKindLed, 0, stPixelRect{10, 20, 31, 41});
    AppendItem(leds, led);
    stPropertyEdit edit;
    InitPropertyEdit(&edit, led, true);
    EXPECT_EQ(10, edit.radius);
    EXPECT_EQ(20, edit.x);
    EXPECT_EQ(30, edit.y);
    EXPECT_EQ(kPropApplied, ApplyPropertyEdit(TestPanel().design, led, &edit));  // no edits: rectangle kept
    EXPECT_TRUE(SameRect(stPixelRect{10, 20, 31, 41}, led->pixelRect()));

    edit.radius = 5;
    edit.mask = PROP_GEOMETRY;
    led->colourOff = 0x123456;
    EXPECT_EQ(kPropApplied, ApplyPropertyEdit(TestPanel().design, led, &edit));
    EXPECT_TRUE(SameRect(stPixelRect{15, 25, 25, 35}, led->pixelRect()));
    EXPECT_EQ(0x123456u, led->colour);  // drawn in its state-0 colour
}

TEST_F(PropertyEdit, MulticolourHalvesAreMadeRenumberedAndDroppedWithoutLeaks) {
    AppendItem(leds, MakeObject(kKindLed, 0, stPixelRect{0, 0, 10, 10}));
    AppendItem(leds, MakeObject(kKindLed, 1, stPixelRect{20, 0, 30, 10}));
    stPanelObject* led = MakeObject(kKindLed, 3, stPixelRect{40, 0, 50, 10});
    led->colourOn = 0xFF;
    led->colourOff = 0x40;
    AppendItem(leds, led);

    // Tick: the proposed second identifier is the lowest free one.
    stPropertyEdit edit;
    InitPropertyEdit(&edit, led, true);
    edit.secondId = NextFreeId(leds, 0);
    EXPECT_EQ(2, edit.secondId);
    edit.multicolourBox = true;
    edit.mask = PROP_SECOND_ID;
    ASSERT_EQ(kPropApplied, ApplyPropertyEdit(TestPanel().design, led, &edit));
    ASSERT_NE(nullptr, led->second);
    EXPECT_EQ(1, led->multicolour);
    EXPECT_EQ(2, led->second->id());
    EXPECT_EQ(0xFFu, led->second->colourOn);  // the first half's colours
    EXPECT_EQ(nullptr, led->second->second);
    EXPECT_EQ(4, NextFreeId(leds, 2));

    // An invalid second identifier leaves the half as it was.
    InitPropertyEdit(&edit, led, true);
    edit.secondId = 256;
    edit.colours[2] = 0x00FF00;
    edit.mask = PROP_SECOND_ID | PROP_SECOND_COLOUR_ON;
    EXPECT_EQ(kPropBadSecondId, ApplyPropertyEdit(TestPanel().design, led, &edit));
    EXPECT_EQ(2, led->second->id());
    edit.secondId = 9;
    EXPECT_EQ(kPropApplied, ApplyPropertyEdit(TestPanel().design, led, &edit));
    EXPECT_EQ(9, led->second->id());
    EXPECT_EQ(0x00FF00u, led->second->colourOn);

    // Untick on an LED that was multicolour: the half is freed.
    InitPropertyEdit(&edit, led, true);
    edit.multicolourBox = false;
    edit.mask = PROP_DROP_SECOND;
    EXPECT_EQ(kPropApplied, ApplyPropertyEdit(TestPanel().design, led, &edit));
    EXPECT_EQ(nullptr, led->second);
    EXPECT_EQ(0, led->multicolour);

    // Tick and untick again before OK on a single LED: it stays single.
    InitPropertyEdit(&edit, led, true);
    edit.secondId = 2;
    edit.mask = PROP_SECOND_ID;
    edit.multicolourBox = false;
    EXPECT_EQ(kPropApplied, ApplyPropertyEdit(TestPanel().design, led, &edit));
    EXPECT_EQ(nullptr, led->second);

    // Delete a multicolour LED: both halves go (ASan reports a leak otherwise).
    InitPropertyEdit(&edit, led, true);
    edit.secondId = 5;
    edit.multicolourBox = true;
    edit.mask = PROP_SECOND_ID;
    ASSERT_EQ(kPropApplied, ApplyPropertyEdit(TestPanel().design, led, &edit));
    EXPECT_EQ(1, DeletePanelObject(TestPanel().design, leds, led));
    EXPECT_EQ(2, leds->count);
    EXPECT_EQ(nullptr, FindLedById(leds, 5));

    // An object that is not in the list is left to its owner.
    stPanelObject* loose = MakeObject(kKindLed, 7, stPixelRect{0, 0, 4, 4});
    EXPECT_EQ(0, DeletePanelObject(TestPanel().design, leds, loose));
    AppendItem(leds, loose);
}

TEST_F(PropertyEdit, LedSelectionCacheIsForgottenWhenAHalfIsDropped) {
    stPanelObject* led = MakeObject(kKindLed, 3, stPixelRect{0, 0, 10, 10});
    led->multicolour = 1;
    led->second = CopyPanelObject(TestPanel().heap, led);
    led->second->id() = 4;
    AppendItem(leds, led);
    stObjList* cached = SelectLedsById(TestPanel().design, leds, 3);
    ASSERT_NE(nullptr, cached);
    EXPECT_EQ(1, DropSecond(TestPanel().design, led));
    // The cache held a copy sharing the freed half; a new selection must not reuse it.
    stObjList* fresh = SelectLedsById(TestPanel().design, leds, 3);
    ASSERT_NE(nullptr, fresh);
    EXPECT_EQ(nullptr, static_cast<stPanelObject*>(fresh->first->item)->second);
}

TEST(ObjectLines, FullLinesAndSearchKeysInBothLanguages) {
    stPanelObject* key = MakeObject(kKindKey, 3, stPixelRect{5, 7, 25, 17}, "Start");
    EXPECT_EQ("Type: Key  \tName: Start                    \tID:03\tX:005\tY:007\tWidth:020\tHeight:010",
              ObjectListLine(*key, true));
    EXPECT_EQ("Typ : Taste\tName: Start                    \tID:03\tX:005\tY:007\tBreite:020\tH\xF6he:010",
              ObjectListLine(*key, false));
    EXPECT_EQ("Type: Key  \tName: Start                    \tID:03\tX:005\tY:007", ObjectSearchKey(*key, true));

    stPanelObject* led = MakeObject(kKindLed, 12, stPixelRect{100, 50, 116, 66}, "Power");
    const std::string line = ObjectListLine(*led, true);
    EXPECT_EQ("Type: LED  \tName: Power                    \tID1:12\tID2:-1\tX:100\tY:050\tWidth:016\tHeight:016",
              line);
    EXPECT_EQ("Type: LED  \tName: Power                    \tID1:12\tID2", ObjectSearchKey(*led, true));

    // The dialog tells key lines from LED lines by the type prefix and finds an object by its
    // search key inside the line.
    for (bool english : {true, false}) {
        const std::string keyLine = ObjectListLine(*key, english);
        const std::string ledLine = ObjectListLine(*led, english);
        EXPECT_NE(std::string::npos, keyLine.find(ObjectTypePrefix(false, english)));
        EXPECT_EQ(std::string::npos, keyLine.find(ObjectTypePrefix(true, english)));
        EXPECT_NE(std::string::npos, ledLine.find(ObjectTypePrefix(true, english)));
        EXPECT_NE(std::string::npos, keyLine.find(ObjectSearchKey(*key, english)));
        EXPECT_NE(std::string::npos, ledLine.find(ObjectSearchKey(*led, english)));
        EXPECT_EQ(std::string::npos, keyLine.find(ObjectSearchKey(*led, english)));
    }
    EXPECT_EQ("Typ : Taste", ObjectTypePrefix(false, false));
    EXPECT_EQ("Type: LED  ", ObjectTypePrefix(true, true));

    stObjList* list = NewObjList(TestPanel().heap);
    AppendItem(list, key);
    AppendItem(list, led);
    FreeOwningObjectList(list);
}

TEST(DialogValues, ModelNumbersTruncateToTheirFields) {
    stPanelModel model{};
    StoreModelValues(&model, stModelValues{513, 7, 70000, 300, 256});
    EXPECT_EQ(1, model.model);
    EXPECT_EQ(7, model.type);
    EXPECT_EQ(4464, model.bufferSize);
    EXPECT_EQ(44, model.keyCount);
    EXPECT_EQ(0, model.ledCount);

    EXPECT_EQ(300, ParseDialogNumber("300"));
    EXPECT_EQ(0, ParseDialogNumber("abc"));
    EXPECT_EQ(-5, ParseDialogNumber("-5"));
    EXPECT_EQ(INT32_MAX, ParseDialogNumber("99999999999"));

    EXPECT_EQ(100500, MillimetresToMicrometres("100.5"));
    EXPECT_EQ(0, MillimetresToMicrometres("wide"));
    EXPECT_EQ("210.00", MicrometresText(210000));
    EXPECT_EQ("36.000", WholeMillimetresText(36500000));
}

TEST(DialogValues, TipIntervalRulesAndListLines) {
    EXPECT_EQ(7000, TipIntervalFromSeconds(0));
    EXPECT_EQ(3000, TipIntervalFromSeconds(3));
    EXPECT_EQ(1000, TipIntervalFromSeconds(1));
    EXPECT_EQ(7000, TipIntervalFromSeconds(-2));
    EXPECT_EQ(INT32_MAX, TipIntervalFromSeconds(3000000));
    EXPECT_EQ(" 7", TipIntervalText(7500));
    EXPECT_EQ("02\tTip: Press OK                 ", TipListLine(2, "Press OK"));
    EXPECT_EQ("10\tTip: " + std::string(40, 'x'), TipListLine(10, std::string(40, 'x').c_str()));
}

TEST(LcdPlacement, APlacedTypeShowsItsCharacterSetAndKeepsItsTextThroughBacklightChanges) {
    LcdReset(TestPanel().lcd);
    char name[] = "C type", tooltip[] = "", font[] = "C";
    stLcdType type{};
    type.name = name;
    type.tooltip = tooltip;
    type.font = font;
    type.colours.backlightOn = type.colours.background = 0x00FFFFFF;
    type.colours.backlightOff = 0x00808080;
    type.colours.dot = 0x00004000;  // as the library reads TextColor; contrast 0
    MakeLcdTypeCurrent(DesignLcdOf(TestPanel()), &type);
    EXPECT_EQ(&type, CurrentLcdType(TestPanel().lcdDraw));
    EXPECT_EQ('C', LcdSelectedCharSet(TestPanel().lcd));
    EXPECT_EQ(255u, type.colours.contrast);
    EXPECT_EQ(0x00004000u, type.colours.dot);  // not recomputed yet
    LcdSetBacklight(TestPanel().lcdDraw, 0);
    EXPECT_EQ(0x00004000u, type.colours.dot);  // the text stays, in its own colour
    EXPECT_EQ(0x00808080u, type.colours.background);

    font[0] = 'N';
    MakeLcdTypeCurrent(DesignLcdOf(TestPanel()), &type);
    EXPECT_EQ('N', LcdSelectedCharSet(TestPanel().lcd));
    EXPECT_EQ('N', LcdCharSetLetter(nullptr));
    SetCurrentLcdType(TestPanel().lcdDraw, nullptr);
}

}  // namespace
