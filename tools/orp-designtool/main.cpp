// orp-designtool: shows a design file (".orp") as JSON and builds one from such a description.
//
//   orp-designtool dump DESIGN.orp [--plate OUT.bmp]   JSON on standard output
//   orp-designtool build [--allow-clipped-lcd] DESCRIPTION.json DESIGN.orp   writes the design file
//
// The JSON layout is described in docs/design-files.md. Texts in a design are Windows-1252;
// the JSON is UTF-8 and the tool converts both ways. `build` refuses an LCD whose character
// cells do not fit its frame, because the panel would draw them beyond it.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../utf8_console.h"
#include "common/alloc.h"
#include "common/cp1252.h"
#include "common/rgb_text.h"
#include "design/byte_io.h"
#include "design/design_file.h"
#include "design/design_lcd.h"
#include "design/file_io.h"
#include "design/front_plate.h"
#include "design/lcd_geometry.h"
#include "json.h"
#include "panel/panel.h"

// The tool's one panel.
static stPanel& ToolPanel() {
    static stPanel panel;
    return panel;
}

namespace {

// Nanometres per pixel at 96 dots per inch and 100 %: pixel and logical rectangles derive from
// each other with it when a description gives only one of them.
constexpr int64_t kNmPerPixel = 264583;

// ---- dump ------------------------------------------------------------------------------------

std::string Text(const char* cp1252) { return JsonQuote(Cp1252ToUtf8(cp1252 ? cp1252 : "")); }

// A value with bits above the 24 colour bits is written as a number so that it survives a build.
std::string Colour(uint32_t c) { return c > 0xFFFFFF ? std::to_string(c) : "\"" + FormatRgbHex(c) + "\""; }

std::string Millimetres(int64_t nm) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.3f", static_cast<double>(nm) / 1e6);
    return buf;
}

// Empty when the cells fit the frame, else what is wrong.
std::string CellOverflow(const stLcdMetrics& m) {
    if (LcdCellsFitFrame(m)) return {};
    stLcdCellArea cells = LcdCellArea(m);
    return "the LCD's " + std::to_string(m.lines) + " lines of " + std::to_string(m.characters) + " characters need " +
           Millimetres(cells.width) + " x " + Millimetres(cells.height) + " mm, more than its frame (width x height) of " +
           Millimetres(m.width) + " x " + Millimetres(m.height) + " mm: the panel would draw them clipped";
}

std::string Rects(const stPlacement& p) {
    std::ostringstream o;
    o << "\"pixelRect\": [" << p.pixelRect.left << ", " << p.pixelRect.top << ", " << p.pixelRect.right
      << ", " << p.pixelRect.bottom << "], \"logicalRect\": [" << p.logicalRect.x << ", "
      << p.logicalRect.y << ", " << p.logicalRect.width << ", " << p.logicalRect.height << "]";
    return o.str();
}

std::string ObjectColours(const stPanelObject& o) {
    std::ostringstream s;
    s << "\"colour\": " << Colour(o.colour) << ", \"colourOn\": " << Colour(o.colourOn)
      << ", \"colourOff\": " << Colour(o.colourOff);
    if (o.reserved[0] || o.reserved[1] || o.reserved[2])
        s << ", \"reserved\": [" << o.reserved[0] << ", " << o.reserved[1] << ", " << o.reserved[2] << "]";
    return s.str();
}

void DumpObjects(std::ostream& out, const char* key, const stObjList* list, int32_t defaultKind) {
    out << "  \"" << key << "\": [";
    const char* sep = "\n";
    for (const stListNode* n = list->first; n; n = n->next) {
        const auto* o = static_cast<const stPanelObject*>(n->item);
        out << sep << "    {\"name\": " << Text(o->name) << ", \"tooltip\": " << Text(o->tooltip)
            << ",\n     \"id\": " << o->id() << ", " << Rects(o->placement) << ",\n     "
            << ObjectColours(*o);
        if (o->kind != defaultKind) out << ", \"kind\": " << o->kind;
        if (o->refresh != 1) out << ", \"refresh\": " << o->refresh;
        if (o->multicolour && o->second)
            out << ",\n     \"second\": {\"id\": " << o->second->id() << ", " << Rects(o->second->placement)
                << ",\n                " << ObjectColours(*o->second) << "}";
        out << "}";
        sep = ",\n";
    }
    out << (list->first ? "\n  ]" : "]");
}

int Dump(const char* path, const char* platePath) {
    std::size_t size = 0;
    uint8_t* bytes = ReadWholeFile(ToolPanel().heap, path, &size);
    if (!bytes) {
        std::fprintf(stderr, "orp-designtool: cannot read %s\n", path);
        return 1;
    }
    stPanelModel model{};
    stLcdType lcd{};
    stDesignData d;
    int ok = ParseDesign(ToolPanel().heap, bytes, size, model, lcd, &d);
    OrpFree(bytes);
    if (!ok) {
        std::fprintf(stderr, "orp-designtool: %s is not a design file this panel accepts\n", path);
        return 1;
    }
    std::ostringstream out;
    out << "{\n  \"frontPlate\": ";
    if (d.image) {
        const uint8_t* ih = d.image + 14;
        uint32_t headerSize = LoadU32(ih);
        out << "{\"file\": " << (platePath ? JsonQuote(platePath) : "null") << ", \"bytes\": " << d.imageSize;
        if (headerSize >= 40)
            out << ", \"widthPx\": " << static_cast<int32_t>(LoadU32(ih + 4)) << ", \"heightPx\": "
                << static_cast<int32_t>(LoadU32(ih + 8)) << ", \"bitsPerPixel\": " << LoadU16(ih + 14)
                << ", \"pixelsPerMetre\": [" << static_cast<int32_t>(LoadU32(ih + 24)) << ", "
                << static_cast<int32_t>(LoadU32(ih + 28)) << "]";
        out << "}";
        SaveFailure why = kSaved;
        if (platePath && !WriteWholeFile(platePath, d.image, d.imageSize, &why)) {
            std::fprintf(stderr, "orp-designtool: cannot write %s: %s\n", platePath,
                         SaveFailureText(why, true, ".bmp").c_str());
            FreeDesignData(&d);
            return 1;
        }
    } else {
        out << "null";
    }
    const stPanelModel& m = d.model;
    out << ",\n  \"model\": {\"model\": " << int(m.model) << ", \"type\": " << int(m.type)
        << ", \"keyCount\": " << int(m.keyCount) << ", \"ledCount\": " << int(m.ledCount)
        << ", \"bufferSize\": " << m.bufferSize << ", \"options\": " << m.options << "},\n";
    out << "  \"lcd\": ";
    if (d.hasLcd) {
        const stLcdMetrics& x = d.metrics;
        const stLcdColours& c = d.colours;
        out << "{\"name\": " << Text(d.lcdName) << ", \"tooltip\": " << Text(d.lcdTooltip)
            << ", \"font\": " << Text(d.lcdFont) << ",\n          \"characters\": " << int(x.characters)
            << ", \"lines\": " << int(x.lines) << ", \"fontX\": " << int(x.fontX) << ", \"fontY\": "
            << int(x.fontY) << ",\n          \"width\": " << x.width << ", \"height\": " << x.height
            << ", \"charX\": " << x.charX << ", \"charY\": " << x.charY << ", \"dotX\": " << x.dotX
            << ", \"dotY\": " << x.dotY << ",\n          \"placement\": {\"id\": " << d.placement.id << ", "
            << Rects(d.placement) << "},\n          \"colours\": {\"background\": " << Colour(c.background)
            << ", \"backlightOn\": " << Colour(c.backlightOn) << ", \"backlightOff\": "
            << Colour(c.backlightOff) << ", \"dot\": " << Colour(c.dot) << ", \"text\": " << Colour(c.text)
            << ", \"contrast\": " << c.contrast << "}}";
    } else {
        out << "null";
    }
    out << ",\n";
    DumpObjects(out, "keys", d.keys, kKindKey);
    out << ",\n";
    DumpObjects(out, "leds", d.leds, kKindLed);
    out << ",\n  \"tips\": [";
    const char* sep = "\n    ";
    for (const stListNode* n = d.tips->first; n; n = n->next) {
        out << sep << Text(static_cast<const stTextItem*>(n->item)->text);
        sep = ",\n    ";
    }
    out << (d.tips->first ? "\n  ]" : "]");
    if (d.hasTipInterval) out << ",\n  \"tipIntervalSeconds\": " << d.model.tipInterval / 1000;
    out << "\n}\n";
    if (d.hasLcd) {
        std::string overflow = CellOverflow(d.metrics);
        if (!overflow.empty()) std::fprintf(stderr, "orp-designtool: warning: %s: %s\n", path, overflow.c_str());
    }
    FreeDesignData(&d);
    std::fputs(out.str().c_str(), stdout);
    return 0;
}

// ---- build -----------------------------------------------------------------------------------

class Builder {
public:
    Builder(std::string baseDir, bool allowClippedLcd) : base_(std::move(baseDir)), allowClippedLcd_(allowClippedLcd) {}
    const std::string& error() const { return error_; }

    bool Design(const JsonValue& v) {
        if (!Kind(v, JsonValue::Kind::kObject, "the document")) return false;
        if (!Known(v, {"frontPlate", "model", "lcd", "keys", "leds", "tips", "tipIntervalSeconds"}))
            return false;
        if (const JsonValue* p = v.Find("frontPlate"); p && !FrontPlateFile(*p)) return false;
        if (const JsonValue* m = v.Find("model"); m && !Model(*m)) return false;
        if (const JsonValue* l = v.Find("lcd"); l && l->kind != JsonValue::Kind::kNull && !Lcd(*l))
            return false;
        if (!Objects(v.Find("keys"), ToolPanel().design.keys, kKindKey)) return false;
        if (!Objects(v.Find("leds"), ToolPanel().design.leds, kKindLed)) return false;
        if (const JsonValue* t = v.Find("tips"); t && !Tips(*t)) return false;
        if (const JsonValue* s = v.Find("tipIntervalSeconds")) {
            int64_t seconds;
            if (!Int(*s, 0, INT32_MAX / 1000, "tipIntervalSeconds", &seconds)) return false;
            ToolPanel().design.model.tipInterval = static_cast<int32_t>(seconds * 1000);
        }
        return true;
    }

private:
    bool Fail(const JsonValue& at, const std::string& message) {
        error_ = "line " + std::to_string(at.line) + ": " + message;
        return false;
    }
    bool Kind(const JsonValue& v, JsonValue::Kind kind, const std::string& what) {
        static const char* names[] = {"null", "true or false", "a whole number", "a string", "an array", "an object"};
        if (v.kind == kind) return true;
        return Fail(v, what + " must be " + names[static_cast<int>(kind)]);
    }
    bool Known(const JsonValue& object, std::initializer_list<const char*> keys) {
        for (const auto& m : object.members) {
            bool known = false;
            for (const char* k : keys) known = known || m.first == k;
            if (!known) return Fail(m.second, "unknown member \"" + m.first + "\"");
        }
        return true;
    }
    bool Int(const JsonValue& v, int64_t low, int64_t high, const std::string& what, int64_t* out) {
        if (!Kind(v, JsonValue::Kind::kInteger, what)) return false;
        if (v.integer < low || v.integer > high)
            return Fail(v, what + " must lie between " + std::to_string(low) + " and " + std::to_string(high));
        *out = v.integer;
        return true;
    }
    template <typename T>
    bool Field(const JsonValue& object, const char* key, int64_t low, int64_t high, T* out, bool required) {
        const JsonValue* v = object.Find(key);
        if (!v) return required ? Fail(object, std::string("\"") + key + "\" is missing") : true;
        int64_t value;
        if (!Int(*v, low, high, key, &value)) return false;
        *out = static_cast<T>(value);
        return true;
    }
    bool TextField(const JsonValue& object, const char* key, char** out, bool required, std::size_t maxLength) {
        const JsonValue* v = object.Find(key);
        if (!v) return required ? Fail(object, std::string("\"") + key + "\" is missing") : true;
        if (!Kind(*v, JsonValue::Kind::kString, key)) return false;
        std::string cp;
        stCp1252Failure bad;
        if (!Utf8ToCp1252(v->text, &cp, &bad)) return Fail(*v, std::string("\"") + key + "\" holds " + DescribeCp1252Failure(v->text, bad));
        if (cp.size() > maxLength) return Fail(*v, std::string(key) + " is longer than " + std::to_string(maxLength) + " characters");
        if (cp.find('\0') != std::string::npos) return Fail(*v, std::string(key) + " must not contain NUL");
        OrpFree(*out);
        *out = OrpStrDup(ToolPanel().heap, cp.c_str());
        return true;
    }
    bool ColourField(const JsonValue& object, const char* key, uint32_t* out) {
        const JsonValue* v = object.Find(key);
        if (!v) return true;
        if (v->kind == JsonValue::Kind::kInteger) {
            int64_t value;
            if (!Int(*v, 0, UINT32_MAX, key, &value)) return false;
            *out = static_cast<uint32_t>(value);
            return true;
        }
        if (v->kind != JsonValue::Kind::kString || !ParseRgbHex(v->text, out))
            return Fail(*v, std::string(key) + " must be \"#RRGGBB\"");
        return true;
    }
    bool Four(const JsonValue& object, const char* key, int32_t out[4], bool* present) {
        const JsonValue* v = object.Find(key);
        *present = v != nullptr;
        if (!v) return true;
        if (!Kind(*v, JsonValue::Kind::kArray, key)) return false;
        if (v->items.size() != 4) return Fail(*v, std::string(key) + " needs four numbers");
        for (int i = 0; i < 4; ++i) {
            int64_t value;
            if (!Int(v->items[i], INT32_MIN, INT32_MAX, key, &value)) return false;
            out[i] = static_cast<int32_t>(value);
        }
        return true;
    }
    // id, pixelRect and logicalRect; either rectangle may be derived from the other.
    bool Placement(const JsonValue& object, stPlacement* p, bool idRequired) {
        if (!Field(object, "id", INT32_MIN, INT32_MAX, &p->id, idRequired)) return false;
        int32_t px[4];
        int32_t lg[4];
        bool hasPx, hasLg;
        if (!Four(object, "pixelRect", px, &hasPx) || !Four(object, "logicalRect", lg, &hasLg)) return false;
        if (!hasPx && !hasLg) return Fail(object, "\"pixelRect\" or \"logicalRect\" is needed");
        if (!hasLg) {
            lg[0] = static_cast<int32_t>(px[0] * kNmPerPixel);
            lg[1] = static_cast<int32_t>(px[1] * kNmPerPixel);
            lg[2] = static_cast<int32_t>((px[2] - px[0]) * kNmPerPixel);
            lg[3] = static_cast<int32_t>((px[3] - px[1]) * kNmPerPixel);
        }
        if (!hasPx) {
            px[0] = static_cast<int32_t>(lg[0] / kNmPerPixel);
            px[1] = static_cast<int32_t>(lg[1] / kNmPerPixel);
            px[2] = px[0] + static_cast<int32_t>(lg[2] / kNmPerPixel);
            px[3] = px[1] + static_cast<int32_t>(lg[3] / kNmPerPixel);
        }
        p->pixelRect = {px[0], px[1], px[2], px[3]};
        p->logicalRect = {lg[0], lg[1], lg[2], lg[3]};
        return true;
    }
    bool ObjectColours(const JsonValue& v, stPanelObject* o) {
        if (!ColourField(v, "colour", &o->colour) || !ColourField(v, "colourOn", &o->colourOn) ||
            !ColourField(v, "colourOff", &o->colourOff))
            return false;
        if (const JsonValue* r = v.Find("reserved")) {
            if (!Kind(*r, JsonValue::Kind::kArray, "reserved") || r->items.size() != 3)
                return Fail(*r, "reserved needs three numbers");
            for (int i = 0; i < 3; ++i) {
                int64_t value;
                if (!Int(r->items[i], INT32_MIN, INT32_MAX, "reserved", &value)) return false;
                o->reserved[i] = static_cast<int32_t>(value);
            }
        }
        return true;
    }
    bool Object(const JsonValue& v, stObjList* list, int32_t kind) {
        if (!Kind(v, JsonValue::Kind::kObject, "a key or LED")) return false;
        if (!Known(v, {"name", "tooltip", "id", "pixelRect", "logicalRect", "colour", "colourOn",
                       "colourOff", "reserved", "kind", "refresh", "second"}))
            return false;
        stPanelObject o;
        InitPanelObject(&o);
        o.kind = kind;
        bool ok = TextField(v, "name", &o.name, true, 255) && TextField(v, "tooltip", &o.tooltip, false, 2599) &&
                  Placement(v, &o.placement, true) && ObjectColours(v, &o) &&
                  Field(v, "kind", INT32_MIN, INT32_MAX, &o.kind, false) &&
                  Field(v, "refresh", INT32_MIN, INT32_MAX, &o.refresh, false);
        if (ok && o.id() > 255) ok = Fail(v, "id must lie between 0 and 255");
        if (ok && !o.tooltip) o.tooltip = OrpStrDup(ToolPanel().heap, "");
        const JsonValue* s = v.Find("second");
        if (ok && s) {
            if (kind != kKindLed) {
                ok = Fail(*s, "only LEDs have a second identifier");
            } else if (Kind(*s, JsonValue::Kind::kObject, "second") &&
                       Known(*s, {"id", "pixelRect", "logicalRect", "colour", "colourOn", "colourOff", "reserved"})) {
                stPanelObject half = o;
                half.second = nullptr;
                ok = Placement(*s, &half.placement, true) && ObjectColours(*s, &half);
                if (ok) {
                    o.multicolour = 1;
                    o.second = CopyPanelObject(ToolPanel().heap, &half);
                }
            } else {
                ok = false;
            }
        }
        if (ok && list->count >= kMaxObjectsPerList) ok = Fail(v, "a design holds at most 256 keys and 256 LEDs");
        auto* copy = ok ? static_cast<stPanelObject*>(OrpAlloc(ToolPanel().heap, sizeof o)) : nullptr;
        if (copy) {
            *copy = o;
            AppendItem(list, copy);
            return true;
        }
        OrpFree(o.name);
        OrpFree(o.tooltip);
        if (o.second) {
            OrpFree(o.second->name);
            OrpFree(o.second->tooltip);
            OrpFree(o.second);
        }
        return false;
    }
    bool Objects(const JsonValue* v, stObjList* list, int32_t kind) {
        if (!v) return true;
        if (!Kind(*v, JsonValue::Kind::kArray, kind == kKindKey ? "keys" : "leds")) return false;
        for (const JsonValue& item : v->items)
            if (!Object(item, list, kind)) return false;
        return true;
    }
    bool Tips(const JsonValue& v) {
        if (!Kind(v, JsonValue::Kind::kArray, "tips")) return false;
        for (const JsonValue& t : v.items) {
            if (!Kind(t, JsonValue::Kind::kString, "a tip")) return false;
            std::string cp;
            stCp1252Failure bad;
            if (!Utf8ToCp1252(t.text, &cp, &bad)) return Fail(t, "a tip holds " + DescribeCp1252Failure(t.text, bad));
            AppendItem(ToolPanel().design.tips, NewTextItem(ToolPanel().heap, cp.c_str(), static_cast<uint32_t>(std::strlen(cp.c_str()))));
        }
        return true;
    }
    bool Model(const JsonValue& v) {
        if (!Kind(v, JsonValue::Kind::kObject, "model")) return false;
        if (!Known(v, {"model", "type", "keyCount", "ledCount", "bufferSize", "options"})) return false;
        stPanelModel& m = ToolPanel().design.model;
        return Field(v, "model", 0, 255, &m.model, false) && Field(v, "type", 0, 255, &m.type, false) &&
               Field(v, "keyCount", 0, 255, &m.keyCount, false) && Field(v, "ledCount", 0, 255, &m.ledCount, false) &&
               Field(v, "bufferSize", 0, 65535, &m.bufferSize, false) &&
               Field(v, "options", 0, UINT32_MAX, &m.options, false);
    }
    bool Lcd(const JsonValue& v) {
        if (!Kind(v, JsonValue::Kind::kObject, "lcd")) return false;
        if (!Known(v, {"name", "tooltip", "font", "characters", "lines", "fontX", "fontY", "width", "height",
                       "charX", "charY", "dotX", "dotY", "placement", "colours"}))
            return false;
        stLcdType& lcd = ToolPanel().design.lcd;
        stLcdMetrics& x = lcd.metrics;
        lcd.placement.id = kKindLcd;
        if (!TextField(v, "name", &lcd.name, true, 259) || !TextField(v, "tooltip", &lcd.tooltip, false, 2599) ||
            !TextField(v, "font", &lcd.font, false, 259) ||
            !Field(v, "characters", 1, 40, &x.characters, true) || !Field(v, "lines", 1, 4, &x.lines, true) ||
            !Field(v, "fontX", -128, 127, &x.fontX, false) || !Field(v, "fontY", -128, 127, &x.fontY, false) ||
            !Field(v, "width", 0, INT32_MAX, &x.width, true) || !Field(v, "height", 0, INT32_MAX, &x.height, true) ||
            !Field(v, "charX", 0, INT32_MAX, &x.charX, true) || !Field(v, "charY", 0, INT32_MAX, &x.charY, true) ||
            !Field(v, "dotX", 0, INT32_MAX, &x.dotX, true) || !Field(v, "dotY", 0, INT32_MAX, &x.dotY, true))
            return false;
        std::string overflow = CellOverflow(x);
        if (!overflow.empty() && !allowClippedLcd_)
            return Fail(*v.Find("width"), overflow + " (enlarge \"width\"/\"height\" or shrink the cells, or build with --allow-clipped-lcd)");
        if (!overflow.empty()) std::fprintf(stderr, "orp-designtool: warning: %s\n", overflow.c_str());
        if (!lcd.tooltip) lcd.tooltip = OrpStrDup(ToolPanel().heap, "");
        if (!lcd.font) lcd.font = OrpStrDup(ToolPanel().heap, "N");
        const JsonValue* p = v.Find("placement");
        if (!p) return Fail(v, "\"placement\" is missing");
        if (!Kind(*p, JsonValue::Kind::kObject, "placement") || !Known(*p, {"id", "pixelRect", "logicalRect"}) ||
            !Placement(*p, &lcd.placement, false))
            return false;
        if (const JsonValue* c = v.Find("colours")) {
            stLcdColours& k = lcd.colours;
            if (!Kind(*c, JsonValue::Kind::kObject, "colours") ||
                !Known(*c, {"background", "backlightOn", "backlightOff", "dot", "text", "contrast"}) ||
                !ColourField(*c, "background", &k.background) || !ColourField(*c, "backlightOn", &k.backlightOn) ||
                !ColourField(*c, "backlightOff", &k.backlightOff) || !ColourField(*c, "dot", &k.dot) ||
                !ColourField(*c, "text", &k.text) || !Field(*c, "contrast", 0, 255, &k.contrast, false))
                return false;
        }
        SetCurrentLcdType(ToolPanel().lcdDraw, &lcd);
        return true;
    }
    bool FrontPlateFile(const JsonValue& v) {
        const JsonValue* file = &v;
        if (v.kind == JsonValue::Kind::kNull) return true;
        if (v.kind == JsonValue::Kind::kObject) {
            if (!Known(v, {"file", "bytes", "widthPx", "heightPx", "bitsPerPixel", "pixelsPerMetre"})) return false;
            file = v.Find("file");
            if (!file) return Fail(v, "\"file\" is missing");
            if (file->kind == JsonValue::Kind::kNull) return Fail(*file, "the front plate needs a bitmap file");
        }
        if (!Kind(*file, JsonValue::Kind::kString, "frontPlate")) return false;
        std::string path = file->text;
        if (!path.empty() && path[0] != '/') path = base_ + path;
        std::size_t size = 0;
        int32_t shortSize = 0;
        uint8_t* image = ReadPlateFile(ToolPanel().heap, path.c_str(), &size, &shortSize);
        if (!image) return Fail(*file, "cannot read a front plate bitmap from " + path);
        SetPlateImage(ToolPanel().design.plate, image, static_cast<uint32_t>(size), shortSize);
        return true;
    }

    std::string base_;
    bool allowClippedLcd_;
    std::string error_;
};

int Build(const char* jsonPath, const char* outPath, bool allowClippedLcd) {
    std::ifstream in(jsonPath, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "orp-designtool: cannot read %s\n", jsonPath);
        return 1;
    }
    std::stringstream buffer;
    buffer << in.rdbuf();
    JsonValue doc;
    std::string error;
    if (!ParseJson(buffer.str(), &doc, &error)) {
        std::fprintf(stderr, "%s:%s\n", jsonPath, error.c_str() + 5);
        return 1;
    }
    std::string base = jsonPath;
    std::size_t slash = base.find_last_of('/');
    base = slash == std::string::npos ? std::string() : base.substr(0, slash + 1);
    Builder builder(base, allowClippedLcd);
    if (!builder.Design(doc)) {
        std::fprintf(stderr, "%s:%s\n", jsonPath, builder.error().c_str() + 5);
        return 1;
    }
    SaveFailure why = kSaved;
    if (!SaveDesign(ToolPanel().design, ToolPanel().lcdDraw, outPath, &why)) {
        std::fprintf(stderr, "orp-designtool: cannot write %s: %s\n", outPath,
                     SaveFailureText(why, true, ".orp").c_str());
        return 1;
    }
    return 0;
}

int Usage() {
    std::fputs("usage: orp-designtool dump DESIGN.orp [--plate OUT.bmp]\n"
               "       orp-designtool build [--allow-clipped-lcd] DESCRIPTION.json DESIGN.orp\n",
               stderr);
    return 2;
}
}  // namespace

int main(int argc, char** argv) {
    UseUtf8Console();
    if (argc >= 3 && std::strcmp(argv[1], "dump") == 0) {
        const char* plate = nullptr;
        if (argc == 5 && std::strcmp(argv[3], "--plate") == 0) plate = argv[4];
        else if (argc != 3) return Usage();
        return Dump(argv[2], plate);
    }
    const bool allowClipped = argc == 5 && std::strcmp(argv[2], "--allow-clipped-lcd") == 0;
    if ((argc == 4 || allowClipped) && std::strcmp(argv[1], "build") == 0) {
        CreatePanelLists(ToolPanel());
        ResetDesign(ToolPanel().design);
        ToolPanel().design.model.tipInterval = 7000;
        int result = Build(argv[argc - 2], argv[argc - 1], allowClipped);
        FreePanelLists(ToolPanel());
        ReleasePlate(ToolPanel().design.plate);
        return result;
    }
    return Usage();
}
