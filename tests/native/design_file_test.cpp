#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "design/design_file.h"
#include "design/design_paths.h"
#include "design_test_support.h"
#include "panel/panel.h"
#include "settings/settings.h"
#include "panel/panel.h"
#include "test_panel.h"

using namespace design_test;

namespace {

stPanelObject* NewObject(int32_t kind, const char* name, const char* tooltip, int32_t id,
                         stLogicalRect logical, stPixelRect pixels) {
    auto* o = InitPanelObject(static_cast<stPanelObject*>(OrpAlloc(TestPanel().heap, sizeof(stPanelObject))));
    o->kind = kind;
    o->name = OrpStrDup(TestPanel().heap, name);
    o->tooltip = OrpStrDup(TestPanel().heap, tooltip);
    o->id() = id;
    o->logicalRect() = logical;
    o->pixelRect() = pixels;
    return o;
}

void AddTip(const char* text) {
    AppendItem(TestPanel().design.tips, NewTextItem(TestPanel().heap, text, static_cast<uint32_t>(std::strlen(text))));
}

std::vector<std::string> TipTexts() {
    std::vector<std::string> out;
    for (stListNode* n = TestPanel().design.tips->first; n; n = n->next)
        out.emplace_back(static_cast<stTextItem*>(n->item)->text);
    return out;
}

const stPanelObject* Nth(stObjList* list, int k) {
    stListNode* n = list->first;
    while (n && k--) n = n->next;
    return n ? static_cast<const stPanelObject*>(n->item) : nullptr;
}

std::vector<uint8_t> Serialized() {
    std::vector<uint8_t> bytes;
    SerializeDesign(TestPanel().design, TestPanel().lcdDraw, &bytes);
    return bytes;
}

class DesignFile : public ::testing::Test {
protected:
    void SetUp() override {
        FreshDesignState();
        designPath[0] = plateBitmapPath[0] = '\0';
        saves = 0;
        TestPanel().design.paths = stDesignPaths{designPath, plateBitmapPath, [] { ++saves; }};
    }
    void TearDown() override {
        UseSettingsPaths(TestPanel());
        ReleaseDesignState();
    }

    // Two keys, a multicolour LED, a plate, an LCD and three tips at 7500 ms.
    void BuildSampleDesign() {
        std::vector<uint8_t> bmp = MakeBitmap(6, 3, 3780);
        auto* image = static_cast<uint8_t*>(OrpAlloc(TestPanel().heap, bmp.size()));
        std::memcpy(image, bmp.data(), bmp.size());
        SetPlateImage(TestPanel().design.plate, image, static_cast<uint32_t>(bmp.size()), 0);

        stLcdType& lcd = TestPanel().design.lcd;
        lcd.name = OrpStrDup(TestPanel().heap, "LCD 2x16");
        lcd.tooltip = OrpStrDup(TestPanel().heap, "Two lines of sixteen");
        lcd.font = OrpStrDup(TestPanel().heap, "N");
        lcd.metrics = {16, 2, 5, 8, 80000000, 36000000, 2950000, 5550000, 550000, 650000};
        lcd.placement = {32860, {10, 20, 312, 156}, {2645830, 5291660, 80000000, 36000000}};
        lcd.colours = {0x0000FF80, 0x0000FF80, 0x00206020, 0x00202020, 0x00000000, 255};
        SetCurrentLcdType(TestPanel().lcdDraw, &lcd);

        stPanelModel& m = TestPanel().design.model;
        m.model = 3;
        m.type = 7;
        m.keyCount = 2;
        m.ledCount = 2;
        m.bufferSize = 0x1234;
        m.options = MODEL_BUZZER | MODEL_CONTRAST;
        m.tipInterval = 7500;

        stObjList* keys = TestPanel().design.keys;
        AppendItem(keys, NewObject(kKindKey, "Start", "Starts the run", 1, {100, 200, 300, 400}, {1, 2, 3, 4}));
        AppendItem(keys, NewObject(kKindKey, "Stop", "Stops \"it\"", 2, {500, 600, 700, 800}, {5, 6, 7, 8}));
        stPanelObject* led = NewObject(kKindLed, "Status", "Green or red", 10, {9, 10, 11, 12}, {13, 14, 15, 16});
        led->colourOn = 0x0000FF00;
        led->colourOff = 0x00003000;
        led->reserved[1] = -5;
        led->multicolour = 1;
        led->second = CopyPanelObject(TestPanel().heap, led);
        led->second->id() = 11;
        led->second->colourOn = 0x000000FF;
        led->second->logicalRect() = {21, 22, 23, 24};
        AppendItem(TestPanel().design.leds, led);

        AddTip("First tip");
        AddTip("Second tip with 100% accuracy");
        AddTip("Third");
    }

    char designPath[kDesignPathSize];
    char plateBitmapPath[kDesignPathSize];
    static int saves;
    TempDir dir;
};
int DesignFile::saves = 0;

TEST_F(DesignFile, SavedDesignLoadsBackFieldForField) {
    BuildSampleDesign();
    std::string path = dir.File("sample.orp");
    ASSERT_EQ(1, SaveDesign(TestPanel().design, TestPanel().lcdDraw, path.c_str()));
    std::vector<uint8_t> first = ReadFile(path);

    ResetDesign(TestPanel().design);
    ReleasePlate(TestPanel().design.plate);
    ClearDesignLcd();
    TestPanel().design.model = stPanelModel{};
    ASSERT_EQ(1, LoadDesign(TestPanel().design, DesignLcdOf(TestPanel()), path.c_str()));

    ASSERT_EQ(2, TestPanel().design.keys->count);
    const stPanelObject* stop = Nth(TestPanel().design.keys, 1);
    EXPECT_STREQ("Stop", stop->name);
    EXPECT_STREQ("Stops \"it\"", stop->tooltip);
    EXPECT_EQ(2, stop->id());
    EXPECT_EQ(kKindKey, stop->kind);
    EXPECT_EQ(600, stop->logicalRect().y);
    EXPECT_EQ(8, stop->pixelRect().bottom);

    ASSERT_EQ(1, TestPanel().design.leds->count);
    const stPanelObject* led = Nth(TestPanel().design.leds, 0);
    EXPECT_EQ(10, led->id());
    EXPECT_EQ(0x0000FF00u, led->colourOn);
    EXPECT_EQ(-5, led->reserved[1]);
    ASSERT_NE(nullptr, led->second);
    EXPECT_EQ(11, led->second->id());
    EXPECT_EQ(0x000000FFu, led->second->colourOn);
    EXPECT_EQ(23, led->second->logicalRect().width);
    EXPECT_EQ(0, led->second->multicolour);
    EXPECT_EQ(nullptr, led->second->second);
    EXPECT_STREQ("Status", led->second->name);
    EXPECT_NE(led->name, led->second->name);  // own copy

    EXPECT_EQ((std::vector<std::string>{"First tip", "Second tip with 100% accuracy", "Third"}), TipTexts());
    EXPECT_EQ(7000, TestPanel().design.model.tipInterval);
    EXPECT_EQ(0x1234, TestPanel().design.model.bufferSize);
    EXPECT_EQ(MODEL_BUZZER | MODEL_CONTRAST, TestPanel().design.model.options);
    EXPECT_EQ(7, TestPanel().design.model.type);

    ASSERT_EQ(&TestPanel().design.lcd, CurrentLcdType(TestPanel().lcdDraw));
    EXPECT_STREQ("LCD 2x16", CurrentLcdType(TestPanel().lcdDraw)->name);
    EXPECT_STREQ("Two lines of sixteen", CurrentLcdType(TestPanel().lcdDraw)->tooltip);
    EXPECT_EQ(36000000, CurrentLcdType(TestPanel().lcdDraw)->metrics.height);
    EXPECT_EQ(5291660, CurrentLcdType(TestPanel().lcdDraw)->placement.logicalRect.y);
    EXPECT_EQ(255u, CurrentLcdType(TestPanel().lcdDraw)->colours.contrast);
    ASSERT_NE(nullptr, TestPanel().design.plate.image);
    EXPECT_EQ(TestPanel().design.plate.image + 54, TestPanel().design.plate.pixels);

    // Saving what was loaded gives the same file, up to the tip interval's whole seconds.
    std::vector<uint8_t> second = Serialized();
    EXPECT_EQ(first, second);
}

TEST_F(DesignFile, EmptyDesignLayoutIsByteExact) {
    std::vector<uint8_t> bmp = MakeBitmap(2, 1, 3780);
    auto* image = static_cast<uint8_t*>(OrpAlloc(TestPanel().heap, bmp.size()));
    std::memcpy(image, bmp.data(), bmp.size());
    SetPlateImage(TestPanel().design.plate, image, static_cast<uint32_t>(bmp.size()), 0);
    TestPanel().design.model.model = 0xAB;
    TestPanel().design.model.options = 0x01020304;

    std::vector<uint8_t> expected = {8, 0, 0, 0, '*', '.', 'o', 'r', 'p', ' ', '1', 0};
    expected.push_back(static_cast<uint8_t>(bmp.size()));
    expected.insert(expected.end(), {0, 0, 0});
    expected.insert(expected.end(), bmp.begin(), bmp.end());
    expected.insert(expected.end(), {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});  // no LCD texts
    expected.insert(expected.end(), {1, 0, 0, 0, 0xAB, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0,
                                     2, 0, 0, 0, 0, 0, 4, 0, 0, 0, 4, 3, 2, 1});
    expected.insert(expected.end(), {0, 0, 0, 0});               // no LCD
    expected.insert(expected.end(), {84, 0, 0, 0, 0, 0, 0, 0});  // keys
    expected.insert(expected.end(), {84, 0, 0, 0, 0, 0, 0, 0});  // LEDs, and no tips block
    EXPECT_EQ(expected, Serialized());

    std::string path = dir.File("empty.orp");
    ASSERT_EQ(1, SaveDesign(TestPanel().design, TestPanel().lcdDraw, path.c_str()));
    TestPanel().design.model.tipInterval = 4321;
    AddTip("old");
    ASSERT_EQ(1, LoadDesign(TestPanel().design, DesignLcdOf(TestPanel()), path.c_str()));
    EXPECT_EQ(0, TestPanel().design.keys->count);
    EXPECT_EQ(0, TestPanel().design.leds->count);
    EXPECT_EQ(0, TestPanel().design.tips->count);
    EXPECT_EQ(4321, TestPanel().design.model.tipInterval);
}

TEST_F(DesignFile, TipIsStoredWithItsNulAndReadBackWithIt) {
    AddTip("abc");
    TestPanel().design.model.tipInterval = 2999;
    std::vector<uint8_t> bytes = Serialized();
    std::vector<uint8_t> tail(bytes.end() - 16, bytes.end());
    EXPECT_EQ((std::vector<uint8_t>{1, 0, 0, 0, 4, 0, 0, 0, 'a', 'b', 'c', 0, 2, 0, 0, 0}), tail);

    std::string path = dir.File("tip.orp");
    WriteFile(path, bytes);
    ASSERT_EQ(1, LoadDesign(TestPanel().design, DesignLcdOf(TestPanel()), path.c_str()));
    auto* item = static_cast<stTextItem*>(TestPanel().design.tips->first->item);
    EXPECT_EQ(4u, item->length);  // the stored length, NUL included
    EXPECT_STREQ("abc", item->text);
    EXPECT_EQ(2000, TestPanel().design.model.tipInterval);
}

TEST_F(DesignFile, DesignWithoutFrontPlateKeepsItsBlocksInPlace) {
    AppendItem(TestPanel().design.keys, NewObject(kKindKey, "K", "T", 4, {1, 2, 3, 4}, {0, 0, 0, 0}));
    std::string path = dir.File("noplate.orp");
    ASSERT_EQ(1, SaveDesign(TestPanel().design, TestPanel().lcdDraw, path.c_str()));
    ResetDesign(TestPanel().design);
    ASSERT_EQ(1, LoadDesign(TestPanel().design, DesignLcdOf(TestPanel()), path.c_str()));
    EXPECT_EQ(nullptr, TestPanel().design.plate.image);
    ASSERT_EQ(1, TestPanel().design.keys->count);
    EXPECT_EQ(4, Nth(TestPanel().design.keys, 0)->id());
}

// Builds a file by hand: header text, no plate, empty texts, model, then `rest`.
std::vector<uint8_t> HandMade(const std::string& header, const std::vector<uint8_t>& rest) {
    std::vector<uint8_t> b;
    uint32_t n = static_cast<uint32_t>(header.size() + 1);
    b.insert(b.end(), {static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8), 0, 0});
    b.insert(b.end(), header.begin(), header.end());
    b.push_back(0);
    b.insert(b.end(), {0, 0, 0, 0});
    b.insert(b.end(), {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    for (int i = 0; i < 6; ++i) b.insert(b.end(), {0, 0, 0, 0});
    b.insert(b.end(), rest.begin(), rest.end());
    return b;
}

std::vector<uint8_t> OneKeyObject() {
    std::vector<uint8_t> o = {2, 0, 0, 0, 'A', 0, 1, 0, 0, 0, 0};
    o.insert(o.end(), {0x20, 0x80, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});  // kind..second
    o.insert(o.end(), {9, 0, 0, 0});                                          // id
    o.insert(o.end(), 32 + 24, 0);
    return o;
}

TEST_F(DesignFile, MissingLcdBlockMarkerIsTheKeyRecordSize) {
    SetCurrentLcdType(TestPanel().lcdDraw, &TestPanel().design.lcd);
    std::vector<uint8_t> rest = {84, 0, 0, 0, 1, 0, 0, 0, 84, 0, 0, 0};
    std::vector<uint8_t> key = OneKeyObject();
    rest.insert(rest.end(), key.begin(), key.end());
    rest.insert(rest.end(), {84, 0, 0, 0, 0, 0, 0, 0});
    std::string path = dir.File("nolcd.orp");
    WriteFile(path, HandMade("*.orp 1", rest));
    ASSERT_EQ(1, LoadDesign(TestPanel().design, DesignLcdOf(TestPanel()), path.c_str()));
    ASSERT_EQ(1, TestPanel().design.keys->count);
    EXPECT_STREQ("A", Nth(TestPanel().design.keys, 0)->name);
    EXPECT_EQ(9, Nth(TestPanel().design.keys, 0)->id());
    EXPECT_EQ(nullptr, CurrentLcdType(TestPanel().lcdDraw));
}

TEST_F(DesignFile, HeaderVersions) {
    std::vector<uint8_t> lists = {0, 0, 0, 0, 84, 0, 0, 0, 0, 0, 0, 0, 84, 0, 0, 0, 0, 0, 0, 0};
    std::string path = dir.File("v.orp");
    for (const char* ok : {"*.orp 1", "*.orp 2", "*.orp 3"}) {
        WriteFile(path, HandMade(ok, lists));
        EXPECT_EQ(1, LoadDesign(TestPanel().design, DesignLcdOf(TestPanel()), path.c_str())) << ok;
    }
    for (const char* bad : {"*.orp 4", "*.orp", "*.ORP 1", ""}) {
        WriteFile(path, HandMade(bad, lists));
        EXPECT_EQ(0, LoadDesign(TestPanel().design, DesignLcdOf(TestPanel()), path.c_str())) << bad;
    }
    // A header length over 260 is not a design file, even when the bytes are there.
    std::vector<uint8_t> longHeader = {5, 1, 0, 0};
    longHeader.resize(4 + 261 + 100, 0);
    WriteFile(path, longHeader);
    EXPECT_EQ(0, LoadDesign(TestPanel().design, DesignLcdOf(TestPanel()), path.c_str()));
    WriteFile(path, {});
    EXPECT_EQ(0, LoadDesign(TestPanel().design, DesignLcdOf(TestPanel()), path.c_str()));
    EXPECT_EQ(0, LoadDesign(TestPanel().design, DesignLcdOf(TestPanel()), dir.File("missing.orp").c_str()));
}

// A state fingerprint that any replacement of the design in memory would change.
std::string Fingerprint() {
    std::string s;
    for (stObjList* list : {TestPanel().design.keys, TestPanel().design.leds})
        for (stListNode* n = list->first; n; n = n->next) {
            auto* o = static_cast<stPanelObject*>(n->item);
            s += std::string(o->name) + "/" + o->tooltip + "/" + std::to_string(o->id()) + ";";
        }
    for (const std::string& t : TipTexts()) s += t + ";";
    s += std::to_string(TestPanel().design.model.tipInterval) + ";" + std::to_string(TestPanel().design.model.bufferSize) + ";";
    s += std::to_string(reinterpret_cast<uintptr_t>(TestPanel().design.plate.image)) + ";";
    const stLcdType* lcd = CurrentLcdType(TestPanel().lcdDraw);
    s += lcd && lcd->name ? lcd->name : "-";
    s += std::to_string(TestPanel().design.helpLines ? TestPanel().design.helpLines->count : -1);
    return s;
}

TEST_F(DesignFile, TruncatedFileIsRefusedWithTheDesignIntact) {
    BuildSampleDesign();
    std::vector<uint8_t> full = Serialized();
    AppendItem(TestPanel().design.helpLines, NewTextItem(TestPanel().heap, "[Taste]", 7));
    std::string before = Fingerprint();
    std::string path = dir.File("cut.orp");
    // The file may end cleanly before the LCD block or between the lists and the tips; every
    // other cut is refused and nothing in memory changes.
    std::size_t tipsBlock = 4 + 3 * 4 + std::strlen("First tip") + 1 +
                            std::strlen("Second tip with 100% accuracy") + 1 + std::strlen("Third") + 1 + 4;
    int accepted = 0;
    for (std::size_t cut = 0; cut < full.size(); ++cut) {
        WriteFile(path, std::vector<uint8_t>(full.begin(), full.begin() + static_cast<long>(cut)));
        if (LoadDesign(TestPanel().design, DesignLcdOf(TestPanel()), path.c_str())) {
            ++accepted;
            EXPECT_EQ(0, TestPanel().design.tips->count) << cut;
            EXPECT_LE(cut, full.size() - tipsBlock);
            ResetDesign(TestPanel().design);
            ClearDesignLcd();
            BuildSampleDesign();
            AppendItem(TestPanel().design.helpLines, NewTextItem(TestPanel().heap, "[Taste]", 7));
            before = Fingerprint();
        } else {
            ASSERT_EQ(before, Fingerprint()) << "cut at " << cut;
        }
    }
    EXPECT_EQ(4, accepted);  // before the LCD block, the keys, the LEDs and the tips
}

TEST_F(DesignFile, CorruptedFieldsAreRefusedWithTheDesignIntact) {
    BuildSampleDesign();
    std::vector<uint8_t> good = Serialized();
    std::string before = Fingerprint();
    std::string path = dir.File("bad.orp");
    std::size_t plateLength = Get32(good, 12);
    std::size_t texts = 16 + plateLength;  // LCD name length field
    std::size_t afterTexts = texts + 4 + 9 + 4 + 21 + 4 + 2;
    std::size_t model = afterTexts;
    std::size_t lcd = model + 4 * 6 + 1 + 1 + 1 + 1 + 2 + 4;
    std::size_t keys = lcd + 4 + 4 + 28 + 4 + 36 + 4 + 24;
    ASSERT_EQ(84u, Get32(good, keys));

    auto refused = [&](const char* what, std::vector<uint8_t> bytes) {
        WriteFile(path, bytes);
        EXPECT_EQ(0, LoadDesign(TestPanel().design, DesignLcdOf(TestPanel()), path.c_str())) << what;
        EXPECT_EQ(before, Fingerprint()) << what;
    };
    auto with32 = [&](std::size_t at, uint32_t v) {
        std::vector<uint8_t> b = good;
        Put32(b, at, v);
        return b;
    };
    refused("record size 83", with32(keys, 83));
    refused("257 keys", with32(keys + 4, 257));
    refused("key count past the end", with32(keys + 4, 3));
    refused("LCD name longer than its buffer", with32(texts, 261));
    refused("text length past the end", with32(texts, 0xFFFFFFF0u));
    refused("model field wider than one byte", with32(model, 2));
    refused("metrics group over 28 bytes", with32(lcd + 4, 29));
    refused("plate length past the end", with32(12, 0x7FFFFFFF));
    refused("pixel offset outside the bitmap", with32(16 + 10, 0x10000));
    refused("plate size field matching nothing", with32(16 + 2, 7));
    std::vector<uint8_t> manyTips = good;
    Put32(manyTips, good.size() - (4 + 14 + 34 + 10 + 4), 1000000);
    refused("tip count past the end", manyTips);

    WriteFile(path, good);
    EXPECT_EQ(1, LoadDesign(TestPanel().design, DesignLcdOf(TestPanel()), path.c_str()));
}

TEST_F(DesignFile, HugeTipIntervalIsClampedInsteadOfOverflowing) {
    AddTip("x");
    std::vector<uint8_t> bytes = Serialized();
    Put32(bytes, bytes.size() - 4, 0xFFFFFFFFu);
    std::string path = dir.File("interval.orp");
    WriteFile(path, bytes);
    ASSERT_EQ(1, LoadDesign(TestPanel().design, DesignLcdOf(TestPanel()), path.c_str()));
    EXPECT_EQ(2147483000, TestPanel().design.model.tipInterval);
}

TEST_F(DesignFile, OutOfMemoryAnywhereLeavesTheDesignIntact) {
    BuildSampleDesign();
    std::string path = dir.File("oom.orp");
    ASSERT_EQ(1, SaveDesign(TestPanel().design, TestPanel().lcdDraw, path.c_str()));
    std::string before = Fingerprint();
    std::vector<std::string> trace;
    static std::vector<std::string>* sink = &trace;
    FakePlatformScope platform;
    platform.fake.trace = [](const char* t) { sink->emplace_back(t); };
    for (int okCount = 0; okCount < 40; ++okCount) {
        TestPanel().heap.FailAllocationAfter(okCount);
        int loaded = LoadDesign(TestPanel().design, DesignLcdOf(TestPanel()), path.c_str());
        TestPanel().heap.FailAllocationAfter(-1);
        if (loaded) break;
        ASSERT_EQ(before, Fingerprint()) << okCount;
    }
    EXPECT_FALSE(trace.empty());
    EXPECT_EQ("Speicherplatzmangel\r\n", trace.front());
}

TEST_F(DesignFile, SaveAndOpenByNameChooseByExtension) {
    BuildSampleDesign();
    std::string lower = dir.File("demo.orp");
    std::string upper = dir.File("DEMO.ORP");
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));

    EXPECT_EQ(0, SaveByName(TestPanel().design, TestPanel().lcdDraw, upper.c_str()));  // the test is case-sensitive
    EXPECT_TRUE(ReadFile(upper).empty());
    EXPECT_EQ(0, SaveByName(TestPanel().design, TestPanel().lcdDraw, dir.File("demo.txt").c_str()));
    EXPECT_EQ(0, saves);

    ASSERT_EQ(1, SaveByName(TestPanel().design, TestPanel().lcdDraw, lower.c_str()));
    EXPECT_STREQ(lower.c_str(), designPath);
    EXPECT_EQ(1, saves);
    ASSERT_EQ(1, SaveByName(TestPanel().design, TestPanel().lcdDraw, lower.c_str()));
    EXPECT_EQ(1, saves);  // unchanged path: settings not written again
    SaveFailure why = kSaved;
    EXPECT_EQ(0, SaveByName(TestPanel().design, TestPanel().lcdDraw, upper.c_str(), &why));
    EXPECT_EQ(kSaveBadName, why);
    EXPECT_EQ(0, SaveByName(TestPanel().design, TestPanel().lcdDraw, dir.File("missing/other.orp").c_str(), &why));
    EXPECT_EQ(kSaveNotCreated, why);
    EXPECT_STREQ(lower.c_str(), designPath) << "a failed save keeps the design path";
    EXPECT_EQ(1, saves);

    std::string exported = dir.File("plate.bmp");
    ASSERT_EQ(1, SaveByName(TestPanel().design, TestPanel().lcdDraw, exported.c_str()));
    EXPECT_EQ(TestPanel().design.plate.imageSize, ReadFile(exported).size());

    ResetDesign(TestPanel().design);
    std::vector<char> mixed(upper.begin(), upper.end());
    mixed.push_back('\0');
    designPath[0] = '\0';
    ASSERT_EQ(kShowDesignMessage, OpenByName(TestPanel().design, DesignLcdOf(TestPanel()), mixed.data()));
    EXPECT_STREQ(lower.c_str(), mixed.data());  // lower-cased in place
    EXPECT_STREQ(lower.c_str(), designPath);
    EXPECT_EQ(2, TestPanel().design.keys->count);

    char bitmap[] = "/Some/Where/Front.BMP";
    ASSERT_EQ(kShowDesignMessage, OpenByName(TestPanel().design, DesignLcdOf(TestPanel()), bitmap));
    EXPECT_STREQ("/some/where/front.bmp", plateBitmapPath);
    EXPECT_EQ(3, saves);

    char missing[] = "/nowhere/x.orp";
    EXPECT_EQ(-1, OpenByName(TestPanel().design, DesignLcdOf(TestPanel()), missing));
    EXPECT_STREQ("/nowhere/x.orp", designPath);  // stored before the load failed
    char other[] = "/x/readme.txt";
    EXPECT_EQ(-1, OpenByName(TestPanel().design, DesignLcdOf(TestPanel()), other));
}

TEST_F(DesignFile, FileDialogKinds) {
    ASSERT_NE(nullptr, FileDialogKind(1));
    EXPECT_STREQ("Design Dateien (*.ORP)", FileDialogKind(1)->filter);
    EXPECT_STREQ("*.bmp", FileDialogKind(2)->pattern);
    EXPECT_STREQ("lcd", FileDialogKind(3)->defaultExtension);
    EXPECT_STREQ("Alle Dateien(*.*)", FileDialogKind(4)->filter);
    EXPECT_EQ(nullptr, FileDialogKind(0));
    EXPECT_EQ(nullptr, FileDialogKind(5));
}

}  // namespace

namespace {
TEST(DesignPathsDefault, CommandsStoreTheirPathsInTheSettingsRecord) {
    FreshDesignState();
    TestPanel().settings = stSettings{};
    char bitmap[] = "/plates/Front.BMP";
    EXPECT_EQ(kShowDesignMessage, OpenByName(TestPanel().design, DesignLcdOf(TestPanel()), bitmap));
    EXPECT_STREQ("/plates/front.bmp", TestPanel().settings.lastBitmap);
    char design[] = "/nowhere/Panel.orp";
    EXPECT_EQ(-1, OpenByName(TestPanel().design, DesignLcdOf(TestPanel()), design));
    EXPECT_STREQ("/nowhere/panel.orp", TestPanel().settings.fileCfg);
    TestPanel().settings = stSettings{};
    ReleaseDesignState();
}
}  // namespace
