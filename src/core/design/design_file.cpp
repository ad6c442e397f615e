// Design file writer and reader, and the open/save routines of the file commands.
#include "design/design_file.h"

#include <cstring>

#include "common/alloc.h"
#include "design/byte_io.h"
#include "design/design_lcd.h"
#include "design/design_state.h"
#include "design/file_io.h"
#include "design/front_plate.h"
#include "design/lcd_placement.h"
#include "lcd/charset.h"
#include "lcd/controller.h"
#include "lcd/lcd_draw.h"

namespace {
constexpr char kHeaderText[] = "*.orp 1";
const char* const kAcceptedHeaders[] = {"*.orp 1", "*.orp 2", "*.orp 3"};
constexpr int32_t kMaxTipSeconds = INT32_MAX / 1000;

// ---- writing ---------------------------------------------------------------------------------

// Counted text with its NUL, cut to fit a reader's buffer of `width` bytes.
void WriteText(ByteWriter& w, const char* text, std::size_t width) {
    if (!text) {
        w.u32(0);
        return;
    }
    std::size_t length = std::strlen(text);
    if (length > width - 1) length = width - 1;
    w.u32(static_cast<uint32_t>(length + 1));
    w.bytes(text, length);
    const char nul = '\0';
    w.bytes(&nul, 1);
}

void WriteObjectText(ByteWriter& w, const char* text) {
    WriteText(w, text ? text : "", static_cast<std::size_t>(UINT32_MAX));
}

void WritePlacement(ByteWriter& w, const stPlacement& p) {
    const stPixelRect& px = p.pixelRect;
    const stLogicalRect& lg = p.logicalRect;
    for (int32_t v : {p.id, px.left, px.top, px.right, px.bottom, lg.x, lg.y, lg.width, lg.height}) w.i32(v);
}

void WriteObjectColours(ByteWriter& w, const stPanelObject& o) {
    w.u32(o.colour);
    w.u32(o.colourOn);
    w.u32(o.colourOff);
    for (int32_t r : o.reserved) w.i32(r);
}

void WriteObject(ByteWriter& w, const stPanelObject& o) {
    WriteObjectText(w, o.name);
    WriteObjectText(w, o.tooltip);
    w.i32(o.kind);
    w.i32(o.refresh);
    w.i32(o.multicolour);
    w.u32(o.second ? 1 : 0);  // stands for the pointer; readers ignore the value
    WritePlacement(w, o.placement);
    WriteObjectColours(w, o);
    if (o.multicolour) {
        stPanelObject blank;
        const stPanelObject& half = o.second ? *o.second : *InitPanelObject(&blank);
        WritePlacement(w, half.placement);
        WriteObjectColours(w, half);
    }
}

void WriteObjectList(ByteWriter& w, const stObjList* list) {
    uint32_t count = list ? static_cast<uint32_t>(list->count) : 0;
    w.u32(kObjectRecordSize);
    w.u32(count);
    if (count == 0) return;
    w.u32(count * kObjectRecordSize);
    for (const stListNode* n = list->first; n; n = n->next)
        WriteObject(w, *static_cast<const stPanelObject*>(n->item));
}

void WriteLcdGroups(ByteWriter& w, const stLcdType& lcd) {
    const stLcdMetrics& m = lcd.metrics;
    w.u32(28);
    const int8_t counts[4] = {m.characters, m.lines, m.fontX, m.fontY};
    w.bytes(counts, 4);
    for (int32_t v : {m.width, m.height, m.charX, m.charY, m.dotX, m.dotY}) w.i32(v);
    w.u32(36);
    WritePlacement(w, lcd.placement);
    w.u32(24);
    const stLcdColours& c = lcd.colours;
    for (uint32_t v : {c.background, c.backlightOn, c.backlightOff, c.dot, c.text, c.contrast}) w.u32(v);
}

// ---- reading ---------------------------------------------------------------------------------

// Overlays a field of the file onto the little-endian bytes of a value `width` bytes wide: a
// zero length leaves it, a shorter one replaces its low bytes, a longer one is refused.
bool ReadIntoField(ByteReader& r, uint8_t* le, uint32_t width) {
    uint32_t length = r.u32();
    if (!r.ok() || length > width) return false;
    return r.bytes(le, length);
}

template <typename T>
bool ReadUnsignedField(ByteReader& r, T* value) {
    uint8_t le[sizeof(T)];
    for (unsigned i = 0; i < sizeof(T); ++i) le[i] = static_cast<uint8_t>(*value >> (8 * i));
    if (!ReadIntoField(r, le, sizeof(T))) return false;
    T result = 0;
    for (unsigned i = 0; i < sizeof(T); ++i) result = static_cast<T>(result | static_cast<T>(le[i]) << (8 * i));
    *value = result;
    return true;
}

// Counted text into a fresh zeroed buffer of `width` bytes; always NUL-terminated.
char* ReadBoundedText(stHeap& heap, ByteReader& r, uint32_t width) {
    uint32_t length = r.u32();
    if (!r.ok() || length > width) return nullptr;
    const uint8_t* p = r.take(length);
    if (!p) return nullptr;
    auto* buffer = static_cast<char*>(OrpAlloc(heap, width));
    if (!buffer) return nullptr;
    std::memset(buffer, 0, width);
    std::memcpy(buffer, p, length);
    buffer[width - 1] = '\0';
    return buffer;
}

// Counted text into a buffer of its length + 1 with a NUL appended.
char* ReadObjectText(stHeap& heap, ByteReader& r) {
    uint32_t length = r.u32();
    const uint8_t* p = r.take(length);
    if (!p) return nullptr;
    auto* buffer = static_cast<char*>(OrpAlloc(heap, static_cast<std::size_t>(length) + 1));
    if (!buffer) return nullptr;
    std::memcpy(buffer, p, length);
    buffer[length] = '\0';
    return buffer;
}

void ReadPlacement(ByteReader& r, stPlacement* p) {
    stPixelRect& px = p->pixelRect;
    stLogicalRect& lg = p->logicalRect;
    for (int32_t* v : {&p->id, &px.left, &px.top, &px.right, &px.bottom, &lg.x, &lg.y, &lg.width, &lg.height})
        *v = r.i32();
}

void ReadObjectColours(ByteReader& r, stPanelObject* o) {
    o->colour = r.u32();
    o->colourOn = r.u32();
    o->colourOff = r.u32();
    for (int32_t& v : o->reserved) v = r.i32();
}

void FreeObjectTexts(stPanelObject* o) {
    OrpFree(o->name);
    OrpFree(o->tooltip);
    o->name = o->tooltip = nullptr;
}

bool ReadObject(ByteReader& r, stObjList* list) {
    stPanelObject record;
    InitPanelObject(&record);
    stHeap& heap = *list->heap;
    record.name = ReadObjectText(heap, r);
    record.tooltip = record.name ? ReadObjectText(heap, r) : nullptr;
    if (!record.tooltip) {
        FreeObjectTexts(&record);
        return false;
    }
    record.kind = r.i32();
    record.refresh = r.i32();
    record.multicolour = r.i32();
    r.u32();  // stands for the `second` pointer of the writer
    ReadPlacement(r, &record.placement);
    ReadObjectColours(r, &record);
    if (r.ok() && record.multicolour) {
        stPanelObject half = record;
        half.multicolour = 0;
        half.second = nullptr;
        ReadPlacement(r, &half.placement);
        ReadObjectColours(r, &half);
        if (r.ok()) {
            record.second = CopyPanelObject(heap, &half);
            if (!record.second) r.fail();
        }
    }
    stPanelObject* object = nullptr;
    if (r.ok()) {
        object = static_cast<stPanelObject*>(OrpAlloc(heap, sizeof(stPanelObject)));
        if (object) *object = record;
    }
    if (!object || !AppendItem(list, object)) {
        if (record.second) {
            FreeObjectTexts(record.second);
            OrpFree(record.second);
        }
        FreeObjectTexts(&record);
        OrpFree(object);
        return false;
    }
    return true;
}

// A list block may be missing when the file ends before it (the list stays empty).
bool ReadObjectList(ByteReader& r, stObjList* list) {
    if (r.left() == 0) return r.ok();
    uint32_t recordSize = r.u32();
    uint32_t count = r.u32();
    if (!r.ok()) return false;
    if (count == 0) return true;
    r.u32();  // total size, count * record size
    if (!r.ok() || recordSize != kObjectRecordSize || count > kMaxObjectsPerList) return false;
    for (uint32_t i = 0; i < count; ++i)
        if (!ReadObject(r, list)) return false;
    return true;
}

bool ReadTips(ByteReader& r, stObjList* tips, int32_t* interval, int32_t* hasInterval) {
    if (r.left() == 0) return r.ok();
    uint32_t count = r.u32();
    // Each tip takes at least its four length bytes.
    if (!r.ok() || count > r.left() / 4) return false;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t length = r.u32();
        const uint8_t* text = r.take(length);
        if (!text) return false;
        stTextItem* item = NewTextItem(*tips->heap, text, length);
        if (!item) return false;
        if (!AppendItem(tips, item)) {
            OrpFree(item->text);
            OrpFree(item);
            return false;
        }
    }
    uint32_t seconds = r.u32();
    if (!r.ok()) return false;
    if (seconds > static_cast<uint32_t>(kMaxTipSeconds)) seconds = kMaxTipSeconds;
    *interval = static_cast<int32_t>(seconds) * 1000;
    *hasInterval = 1;
    return true;
}

bool ReadLcdBlock(ByteReader& r, stDesignData* d) {
    if (r.left() == 0) return r.ok();
    uint32_t marker = r.u32();
    if (marker == 0) return r.ok();
    if (marker != kLcdRecordSize) {
        r.back(4);  // no LCD block: these bytes begin the key list
        return r.ok();
    }
    uint8_t metrics[28];
    uint8_t placement[36];
    uint8_t colours[24];
    ByteWriter current;
    stLcdType base{};
    base.metrics = d->metrics;
    base.placement = d->placement;
    base.colours = d->colours;
    WriteLcdGroups(current, base);
    const std::vector<uint8_t>& now = current.buffer();
    std::memcpy(metrics, now.data() + 4, 28);
    std::memcpy(placement, now.data() + 36, 36);
    std::memcpy(colours, now.data() + 76, 24);
    if (!ReadIntoField(r, metrics, 28) || !ReadIntoField(r, placement, 36) ||
        !ReadIntoField(r, colours, 24))
        return false;
    ByteReader m(metrics, 28);
    int8_t counts[4];
    m.bytes(counts, 4);
    stLcdMetrics& mt = d->metrics;
    mt.characters = counts[0];
    mt.lines = counts[1];
    mt.fontX = counts[2];
    mt.fontY = counts[3];
    for (int32_t* v : {&mt.width, &mt.height, &mt.charX, &mt.charY, &mt.dotX, &mt.dotY}) *v = m.i32();
    ByteReader p(placement, 36);
    ReadPlacement(p, &d->placement);
    ByteReader c(colours, 24);
    stLcdColours& cl = d->colours;
    for (uint32_t* v : {&cl.background, &cl.backlightOn, &cl.backlightOff, &cl.dot, &cl.text, &cl.contrast})
        *v = c.u32();
    d->hasLcd = 1;
    return true;
}

bool ReadFrontPlate(stHeap& heap, ByteReader& r, stDesignData* d) {
    uint32_t length = r.u32();
    if (!r.ok()) return false;
    if (length == 0) return true;
    const uint8_t* bytes = r.take(length);
    int32_t shortSize = 0;
    if (!bytes || !CheckPlateImage(bytes, length, &shortSize)) return false;
    d->image = static_cast<uint8_t*>(OrpAlloc(heap, length));
    if (!d->image) return false;
    std::memcpy(d->image, bytes, length);
    d->imageSize = length;
    // An image stored with the short size field gets it corrected here, once.
    if (shortSize) StoreU32(d->image + 2, length);
    return true;
}

bool ReadHeader(ByteReader& r) {
    uint32_t length = r.u32();
    if (!r.ok() || length > kMaxHeaderLength) return false;
    char text[kMaxHeaderLength + 1];
    if (!r.bytes(text, length)) return false;
    text[length] = '\0';
    for (const char* accepted : kAcceptedHeaders)
        if (std::strcmp(text, accepted) == 0) return true;
    return false;
}

bool ParseBody(stHeap& heap, ByteReader& r, stDesignData* d) {
    if (!ReadHeader(r) || !ReadFrontPlate(heap, r, d)) return false;
    d->lcdName = ReadBoundedText(heap, r, kLcdNameSize);
    d->lcdTooltip = d->lcdName ? ReadBoundedText(heap, r, kLcdTooltipSize) : nullptr;
    d->lcdFont = d->lcdTooltip ? ReadBoundedText(heap, r, kLcdFontSize) : nullptr;
    if (!d->lcdFont) return false;
    stPanelModel& m = d->model;
    if (!ReadUnsignedField(r, &m.model) || !ReadUnsignedField(r, &m.type) ||
        !ReadUnsignedField(r, &m.keyCount) || !ReadUnsignedField(r, &m.ledCount) ||
        !ReadUnsignedField(r, &m.bufferSize) || !ReadUnsignedField(r, &m.options))
        return false;
    d->keys = NewObjList(heap);
    d->leds = NewObjList(heap);
    d->tips = NewObjList(heap);
    if (!d->keys || !d->leds || !d->tips) return false;
    return ReadLcdBlock(r, d) && ReadObjectList(r, d->keys) && ReadObjectList(r, d->leds) &&
           ReadTips(r, d->tips, &d->model.tipInterval, &d->hasTipInterval);
}

void StorePath(char* field, const char* path) {
    std::strncpy(field, path, kDesignPathSize - 1);
    field[kDesignPathSize - 1] = '\0';
}

// Makes `path` the design path of the settings; the settings are written only when it changed.
bool UseDesignPath(const stDesignPaths& paths, const char* path) {
    if (!paths.designPath || std::strlen(path) >= kDesignPathSize) return false;
    if (std::strcmp(paths.designPath, path) != 0) {
        StorePath(paths.designPath, path);
        if (paths.saveSettings) paths.saveSettings();
    }
    return true;
}

// Windows-1252 lower case: ASCII, the accented capitals and the four capitals at 0x8A..0x9F.
char LowerCp1252(char c) {
    auto u = static_cast<unsigned char>(c);
    if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7)) return static_cast<char>(u + 0x20);
    if (u == 0x8A || u == 0x8C || u == 0x8E) return static_cast<char>(u + 0x10);
    if (u == 0x9F) return static_cast<char>(0xFF);
    return c;
}

// Frees the text a field holds and gives it `text`, which it owns from now on.
void TakeOverText(char*& field, char* text) {
    OrpFree(field);
    field = text;
}

const stFileDialogKind kDialogKinds[4] = {
    {"Design Dateien (*.ORP)", "*.orp", "orp"},
    {"Frontplatten (*.BMP)", "*.bmp", "bmp"},
    {"LCD Dateien (*.LCD)", "*.lcd", "lcd"},
    {"Alle Dateien(*.*)", "*.*", "*"},
};
}  // namespace

// ---- parse, apply, serialise -----------------------------------------------------------------

int ParseDesign(stHeap& heap, const uint8_t* bytes, std::size_t size, const stPanelModel& model,
                const stLcdType& lcd, stDesignData* out) {
    std::memset(out, 0, sizeof *out);
    out->model = model;
    out->metrics = lcd.metrics;
    out->placement = lcd.placement;
    out->colours = lcd.colours;
    ByteReader r(bytes, size);
    if (!bytes || !ParseBody(heap, r, out)) {
        FreeDesignData(out);
        return 0;
    }
    return 1;
}

void FreeDesignData(stDesignData* d) {
    OrpFree(d->image);
    OrpFree(d->lcdName);
    OrpFree(d->lcdTooltip);
    OrpFree(d->lcdFont);
    FreeOwningObjectList(d->keys);
    FreeOwningObjectList(d->leds);
    FreeTextList(d->tips);
    std::memset(d, 0, sizeof *d);
}

void ApplyDesignData(stDesign& design, stDesignLcd lcdRecords, stDesignData* d) {
    if (d->image)
        SetPlateImage(design.plate, d->image, d->imageSize, 0);
    else
        ReleasePlate(design.plate);

    stLcdType& lcd = design.lcd;
    TakeOverText(lcd.name, d->lcdName);
    TakeOverText(lcd.tooltip, d->lcdTooltip);
    TakeOverText(lcd.font, d->lcdFont);
    if (d->hasLcd) {
        lcd.metrics = d->metrics;
        lcd.placement = d->placement;
        lcd.colours = d->colours;
        SetCurrentLcdType(lcdRecords.draw, &lcd);
        LcdSelectCharSet(lcdRecords.controller, LcdCharSetLetter(&lcd));
    } else {
        SetCurrentLcdType(lcdRecords.draw, nullptr);
    }

    stPanelModel& model = design.model;
    model.model = d->model.model;
    model.type = d->model.type;
    model.keyCount = d->model.keyCount;
    model.ledCount = d->model.ledCount;
    model.bufferSize = d->model.bufferSize;
    model.options = d->model.options;
    if (d->hasTipInterval) model.tipInterval = d->model.tipInterval;

    {
        ListLockGuard guard(design.listLock);
        stDesign& lists = design;
        ResetLedSelectionCache(design);
        FreeOwningObjectList(lists.keys);
        FreeOwningObjectList(lists.leds);
        FreeTextList(lists.tips);
        FreeTextList(lists.helpLines);
        lists.keys = d->keys;
        lists.leds = d->leds;
        lists.tips = d->tips;
        lists.helpLines = NewObjList(*design.heap);
    }
    std::memset(d, 0, sizeof *d);
}

void SerializeDesign(stDesign& design, const stLcdDrawState& draw, std::vector<uint8_t>* out) {
    ByteWriter w;
    w.counted(kHeaderText, sizeof kHeaderText);

    // Without a front plate the block holds length 0, so the blocks after it stay in place.
    stFrontPlate& plate = design.plate;
    CorrectPlateSize(plate);
    uint32_t imageLength = PlateStoredSize(plate);
    w.u32(imageLength);
    if (imageLength) w.bytes(plate.image, imageLength);

    const stLcdType* lcd = CurrentLcdType(draw);
    WriteText(w, lcd ? lcd->name : nullptr, kLcdNameSize);
    WriteText(w, lcd ? lcd->tooltip : nullptr, kLcdTooltipSize);
    WriteText(w, lcd ? lcd->font : nullptr, kLcdFontSize);

    const stPanelModel& m = design.model;
    w.counted(&m.model, 1);
    w.counted(&m.type, 1);
    w.counted(&m.keyCount, 1);
    w.counted(&m.ledCount, 1);
    const uint8_t buffer[2] = {static_cast<uint8_t>(m.bufferSize), static_cast<uint8_t>(m.bufferSize >> 8)};
    w.counted(buffer, 2);
    w.u32(4);
    w.u32(m.options);

    if (lcd) {
        w.u32(kLcdRecordSize);
        WriteLcdGroups(w, *lcd);
    } else {
        w.u32(0);
    }

    const stDesign& lists = design;
    WriteObjectList(w, lists.keys);
    WriteObjectList(w, lists.leds);

    if (lists.tips && lists.tips->count > 0) {
        w.u32(static_cast<uint32_t>(lists.tips->count));
        for (const stListNode* n = lists.tips->first; n; n = n->next)
            WriteObjectText(w, static_cast<const stTextItem*>(n->item)->text);
        w.u32(m.tipInterval > 0 ? static_cast<uint32_t>(m.tipInterval / 1000) : 0);
    }
    out->swap(w.buffer());
}

int SaveDesign(stDesign& design, const stLcdDrawState& draw, const char* path, SaveFailure* why) {
    std::vector<uint8_t> bytes;
    SerializeDesign(design, draw, &bytes);
    return WriteWholeFile(path, bytes.data(), bytes.size(), why);
}

int LoadDesign(stDesign& design, stDesignLcd lcdRecords, const char* path) {
    std::size_t size = 0;
    uint8_t* bytes = ReadWholeFile(*design.heap, path, &size);
    if (!bytes) return 0;
    stDesignData data;
    int ok = ParseDesign(*design.heap, bytes, size, design.model, design.lcd, &data);
    OrpFree(bytes);
    if (!ok) return 0;
    ApplyDesignData(design, lcdRecords, &data);
    return 1;
}

// ---- file commands ---------------------------------------------------------------------------

int SaveByName(stDesign& design, const stLcdDrawState& draw, const char* path, SaveFailure* why) {
    SaveFailure failure = kSaveBadName;
    if (!why) why = &failure;
    *why = kSaveBadName;
    if (!path) return 0;
    if (std::strstr(path, ".bmp")) return ExportPlate(design.plate, path, why);
    if (!std::strstr(path, ".orp")) return 0;
    if (!design.paths.designPath || std::strlen(path) >= kDesignPathSize) {
        *why = kSavePathTooLong;
        return 0;
    }
    // The name becomes the design path only once the file is there: a failed save leaves the
    // settings naming the file that still holds the design.
    if (!SaveDesign(design, draw, path, why)) return 0;
    UseDesignPath(design.paths, path);
    return 1;
}

int OpenByName(stDesign& design, stDesignLcd lcdRecords, char* path) {
    if (!path) return -1;
    for (char* p = path; *p; ++p) *p = LowerCp1252(*p);
    if (std::strstr(path, ".bmp")) {
        const stDesignPaths& paths = design.paths;
        if (!paths.frontPlatePath || std::strlen(path) >= kDesignPathSize) return -1;
        StorePath(paths.frontPlatePath, path);
        if (paths.saveSettings) paths.saveSettings();
        return kShowDesignMessage;
    }
    if (!std::strstr(path, ".orp")) return -1;
    if (!UseDesignPath(design.paths, path)) return -1;
    return LoadDesign(design, lcdRecords, path) ? kShowDesignMessage : -1;
}

const stFileDialogKind* FileDialogKind(int number) {
    if (number < 1 || number > 4) return nullptr;
    return &kDialogKinds[number - 1];
}
