// Reading the LCD type library: the key stream codec, the line parser and the folder scan.
//
// Untrusted input is cut, never trusted: lines and values longer than their maximum are cut, a
// number out of range is clamped, a colour with missing parts gets 0 for them, and a type whose
// menu id would fall into another file's range (more than 30 types in a file, more than 13 files)
// is refused with a trace line instead of getting a colliding id.
#include "lcd/lcd_library.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "common/alloc.h"
#include "common/folder_files.h"
#include "lcd/lcd_draw.h"
#include "monitor/trace.h"

namespace {
const int32_t kMenuBases[kLcdMaxFiles] = {32860, 32890, 32920, 32950, 32980, 33010, 33040,
                                          33070, 34000, 34030, 34060, 34090, 34120};

int HexDigit(char ch) {
    if (ch >= '0' && ch <= '9') return ch - '0';
    if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
    if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
    return 0;
}

// The key stream: one key byte per data byte.
struct KeyStream {
    uint8_t key = kLcdKeySeed;
    int count = 0;
    uint8_t Next() {
        uint8_t current = key;
        key = static_cast<uint8_t>(key + kLcdKeyStep);
        if (count == 15) {
            count = key & 3;
            key = static_cast<uint8_t>(key + kLcdKeyGroupStep);
        } else {
            ++count;
        }
        return current;
    }
};

// Decimal integer as atoi reads it, without overflow: blanks, sign, digits.
long ParseInteger(const char* s) {
    while (*s == ' ' || *s == '\t') ++s;
    bool negative = false;
    if (*s == '+' || *s == '-') negative = *s++ == '-';
    long value = 0;
    while (*s >= '0' && *s <= '9') {
        if (value < 100000000L) value = value * 10 + (*s - '0');
        ++s;
    }
    return negative ? -value : value;
}

int8_t ParseSmall(const char* s) { return static_cast<int8_t>(static_cast<uint8_t>(ParseInteger(s) & 0xFF)); }

// Millimetres to nanometres, truncated toward zero and kept within 32 bits.
int32_t ParseLength(const char* s) {
    double nm = std::strtod(s, nullptr) * 1000000.0;
    if (std::isnan(nm)) return 0;
    if (nm >= 2147483647.0) return INT32_MAX;
    if (nm <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(nm);
}

// "blue,green,red" to 0x00BBGGRR; missing parts are 0, parts are clamped to 0..255.
uint32_t ParseColour(const char* s) {
    uint32_t colour = 0;
    for (int shift = 16; shift >= 0; shift -= 8) {
        long part = ParseInteger(s);
        part = part < 0 ? 0 : (part > 255 ? 255 : part);
        colour |= static_cast<uint32_t>(part) << shift;
        s = std::strchr(s, ',');
        if (!s) break;
        ++s;
    }
    return colour;
}

enum Key { kName, kLines, kCharacters, kBlOn, kBlOff, kText, kFont, kW, kH, kCharX, kCharY, kFontX, kFontY,
           kDotX, kDotY, kTooltip, kKeyCount };
const char* const kKeys[kKeyCount] = {"Name=", "Lines=", "Characters=", "BlColorOn=", "BlColorOff=",
                                      "TextColor=", "Font=", "w=", "h=", "charX=", "charY=", "fontX=",
                                      "fontY=", "dotX=", "dotY=", "Tooltip="};

// The type being collected while a file is parsed.
struct WorkingType {
    std::string name, tooltip, font = "N";
    stLcdType record{};
    void Reset() {
        name.clear();
        tooltip.clear();
        font = "N";
        record = stLcdType{};
    }
};

std::string Cut(const char* value, std::size_t max) {
    std::size_t n = std::strlen(value);
    return std::string(value, n > max ? max : n);
}

void StoreType(MonitorOutput& monitor, const WorkingType& work, int fileIndex, stObjList* list) {
    if (work.name.empty() || !list) return;
    int32_t base = LcdMenuBase(fileIndex);
    if (base < 0) {
        Trace(monitor, "LCD Typ %s ignoriert: mehr als %d LCD Dateien\r\n",
              work.name.c_str(), kLcdMaxFiles);
        return;
    }
    if (list->count >= kLcdMaxTypesPerFile) {
        Trace(monitor, "LCD Typ %s ignoriert: mehr als %d Typen in einer Datei\r\n",
              work.name.c_str(), kLcdMaxTypesPerFile);
        return;
    }
    stLcdType* type = NewLcdType(*list->heap, work.name.c_str(), work.tooltip.c_str(), work.font.c_str());
    if (!type) return;
    char* name = type->name;
    char* tooltip = type->tooltip;
    char* font = type->font;
    *type = work.record;
    type->name = name;
    type->tooltip = tooltip;
    type->font = font;
    type->placement.id = base + list->count;
    type->placement.logicalRect.x = -1;  // not placed
    type->placement.logicalRect.y = -1;
    if (!AppendItem(list, type)) ReleaseLcdType(type);
}

int KeyOfLine(const char* line) {
    int key = 0;
    while (key < kKeyCount && !std::strstr(line, kKeys[key])) ++key;
    return key;
}

void ApplyLine(MonitorOutput& monitor, WorkingType& work, const char* line, int fileIndex, stObjList* list) {
    int key = KeyOfLine(line);
    if (key == kKeyCount) return;
    const char* value = std::strchr(line, '=') + 1;
    stLcdMetrics& m = work.record.metrics;
    stLcdColours& c = work.record.colours;
    switch (key) {
        case kName:
            StoreType(monitor, work, fileIndex, list);
            work.Reset();
            work.name = Cut(value, kLcdNameMax);
            break;
        case kLines: m.lines = ParseSmall(value); break;
        case kCharacters: m.characters = ParseSmall(value); break;
        case kBlOn: c.backlightOn = c.background = ParseColour(value); break;
        case kBlOff: c.backlightOff = ParseColour(value); break;
        case kText: c.dot = ParseColour(value); break;
        case kFont: work.font = Cut(value, kLcdFontMax); break;
        case kW: m.width = ParseLength(value); break;
        case kH: m.height = ParseLength(value); break;
        case kCharX: m.charX = ParseLength(value); break;
        case kCharY: m.charY = ParseLength(value); break;
        case kFontX: m.fontX = ParseSmall(value); break;
        case kFontY: m.fontY = ParseSmall(value); break;
        case kDotX: m.dotX = ParseLength(value); break;
        case kDotY: m.dotY = ParseLength(value); break;
        case kTooltip: work.tooltip = Cut(value, kLcdTooltipMax); break;
    }
}

void ReleaseNothing(void*) {}

bool SameText(const char* a, const char* b) { return a && b && std::strcmp(a, b) == 0; }

bool HasLcdExtension(const std::string& name) {
    if (name.size() < 4) return false;
    std::string tail = name.substr(name.size() - 4);
    for (char& ch : tail) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return tail == ".lcd";
}

bool LibraryOwns(const stLcdLibrary& library, const stLcdType* type) {
    if (!type || !library.types) return false;
    return FindNode(library.types, type) != nullptr;
}

// Drops the file list, the per-file type lists and the menu-order view.
void DropLibrary(stLcdLibrary& library, stLcdDrawState& draw) {
    ListLockGuard guard(library.lock);
    if (LibraryOwns(library, CurrentLcdType(draw))) SetCurrentLcdType(draw, nullptr);
    if (library.typeTable) {
        int files = library.files ? library.files->count : 0;
        for (int i = 0; i < files; ++i) library.typeTable[i] = FreeLcdTypeList(library.typeTable[i]);
        OrpFree(library.typeTable);
        library.typeTable = nullptr;
    }
    library.types = FreeListWith(library.types, ReleaseNothing);
    library.files = FreeTextList(library.files);
}
}  // namespace

const char* LcdLineKey(const char* line) {
    int key = line ? KeyOfLine(line) : kKeyCount;
    return key == kKeyCount ? nullptr : kKeys[key];
}

bool IsLcdColourKey(const char* key) {
    return key && (key == kKeys[kBlOn] || key == kKeys[kBlOff] || key == kKeys[kText]);
}

uint32_t ParseLcdColour(const char* value) { return ParseColour(value); }

int32_t LcdMenuBase(int fileIndex) {
    return (fileIndex >= 0 && fileIndex < kLcdMaxFiles) ? kMenuBases[fileIndex] : -1;
}

std::string DecodeLcdFile(const char* text, std::size_t length) {
    std::string plain;
    if (!text) return plain;
    plain.reserve(length / 2);
    KeyStream keys;
    for (std::size_t i = 0; i + 1 < length; i += 2) {
        int value = HexDigit(text[i]) * 16 + HexDigit(text[i + 1]);
        plain.push_back(static_cast<char>(static_cast<uint8_t>(value - keys.Next())));
    }
    return plain;
}

std::string EncodeLcdFile(const char* plain, std::size_t length) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    if (!plain) return text;
    text.reserve(length * 2);
    KeyStream keys;
    for (std::size_t i = 0; i < length; ++i) {
        uint8_t value = static_cast<uint8_t>(static_cast<uint8_t>(plain[i]) + keys.Next());
        text.push_back(kDigits[value >> 4]);
        text.push_back(kDigits[value & 15]);
    }
    return text;
}

int ParseLcdText(MonitorOutput& monitor, const char* text, std::size_t length, int fileIndex, stObjList* list) {
    if (!text || length < 5 || std::memcmp(text, kLcdMagic, 4) != 0) return -1;
    std::size_t pos = 5;
    bool header = true;
    int before = list ? list->count : 0;
    WorkingType work;
    std::string line;
    while (pos < length) {
        while (pos < length && (text[pos] == '\r' || text[pos] == '\n')) ++pos;
        if (pos >= length) break;
        const char* end = static_cast<const char*>(std::memchr(text + pos, '\n', length - pos));
        std::size_t lineEnd = end ? static_cast<std::size_t>(end - text) : length;
        std::size_t n = lineEnd - pos;
        line.assign(text + pos, n > kLcdLineMax ? kLcdLineMax : n);
        pos = lineEnd;
        if (header) {
            if (std::strcmp(line.c_str(), kLcdHeader) != 0 || line.size() != std::strlen(kLcdHeader)) {
                Trace(monitor, "%s", kLcdNotConfigText);
                return -2;
            }
            header = false;
            continue;
        }
        ApplyLine(monitor, work, line.c_str(), fileIndex, list);
    }
    if (header) {  // nothing after the magic: no header line either
        Trace(monitor, "%s", kLcdNotConfigText);
        return -2;
    }
    StoreType(monitor, work, fileIndex, list);
    return (list ? list->count : 0) - before;
}

int ParseLcdFileBytes(MonitorOutput& monitor, const char* bytes, std::size_t length, int fileIndex, stObjList* list) {
    std::string plain = DecodeLcdFile(bytes, length);
    return ParseLcdText(monitor, plain.data(), plain.size(), fileIndex, list);
}

int LoadLcdFile(MonitorOutput& monitor, const char* path, int fileIndex, stObjList* list) {
    if (!path) return 0;
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return 0;
    std::string bytes;
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
    std::fclose(file);
    int stored = ParseLcdFileBytes(monitor, bytes.data(), bytes.size(), fileIndex, list);
    return stored > 0 ? stored : 0;
}

std::string LcdLibraryFolder(const char* workDir) {
    return std::string(workDir ? workDir : "") + "\\ORPDesigns\\LCDs";
}

int LoadLcdLibrary(stLcdLibrary& library, stLcdDrawState& draw, MonitorOutput& monitor, const char* folder) {
    if (!folder) return 0;
    std::vector<std::string> names;
    for (const std::string& name : ListFolderFiles(folder))
        if (HasLcdExtension(name)) names.push_back(name);

    DropLibrary(library, draw);
    if (names.empty()) return 0;
    ListLockGuard guard(library.lock);
    library.files = NewObjList(*library.heap);
    library.types = NewObjList(*library.heap);
    if (!library.files || !library.types) {
        DropLibrary(library, draw);
        return 0;
    }
    for (const std::string& name : names) {
        stTextItem* item = NewTextItem(*library.heap, name.data(), static_cast<uint32_t>(name.size()));
        if (item && !AppendItem(library.files, item)) {
            OrpFree(item->text);
            OrpFree(item);
        }
    }
    int files = library.files->count;
    library.typeTable = static_cast<stObjList**>(OrpAlloc(*library.heap, sizeof(stObjList*) * (files ? files : 1)));
    if (!library.typeTable) {
        DropLibrary(library, draw);
        return 0;
    }
    for (int i = 0; i < files; ++i) library.typeTable[i] = NewObjList(*library.heap);
    int index = 0;
    for (stListNode* node = library.files->first; node; node = node->next, ++index) {
        stObjList* types = library.typeTable[index];
        if (!types) continue;
        std::string path = JoinPath(folder, static_cast<stTextItem*>(node->item)->text);
        LoadLcdFile(monitor, path.c_str(), index, types);
        for (stListNode* t = types->first; t; t = t->next) AppendItem(library.types, t->item);
    }
    return 1;
}

void FreeLcdLibrary(stLcdLibrary& library, stLcdDrawState& draw) {
    DropLibrary(library, draw);
    ListLockGuard guard(library.lock);
    if (library.designTypes && FindNode(library.designTypes, CurrentLcdType(draw))) SetCurrentLcdType(draw, nullptr);
    library.designTypes = FreeLcdTypeList(library.designTypes);
}

int LcdFileCount(const stLcdLibrary& library) {
    const stObjList* files = library.files;
    return files ? files->count : 0;
}

const char* LcdFileName(const stLcdLibrary& library, int fileIndex) {
    const stObjList* files = library.files;
    if (!files || fileIndex < 0) return nullptr;
    ListLockGuard guard(library.lock);
    const stListNode* node = files->first;
    for (int i = 0; node && i < fileIndex; ++i) node = node->next;
    return node ? static_cast<const stTextItem*>(node->item)->text : nullptr;
}

stObjList* LcdTypesOfFile(const stLcdLibrary& library, int fileIndex) {
    if (!library.typeTable || fileIndex < 0 || fileIndex >= LcdFileCount(library)) return nullptr;
    return library.typeTable[fileIndex];
}

stLcdType* FindLcdTypeById(const stLcdLibrary& library, int32_t id) {
    const stObjList* all = library.types;
    if (!all) return nullptr;
    ListLockGuard guard(library.lock);
    for (const stListNode* node = all->first; node; node = node->next) {
        auto* type = static_cast<stLcdType*>(node->item);
        if (type->placement.id == id) return type;
    }
    return nullptr;
}

stLcdType* FindLcdTypeByMenuEntry(const stLcdLibrary& library, int32_t id, const char* text) {
    stLcdType* type = FindLcdTypeById(library, id);
    return (type && SameText(type->name, text)) ? type : nullptr;
}

stLcdType* NewLcdType(stHeap& heap, const char* name, const char* tooltip, const char* font) {
    auto* type = static_cast<stLcdType*>(OrpAlloc(heap, sizeof(stLcdType)));
    if (!type) return nullptr;
    *type = stLcdType{};
    type->name = OrpStrDup(heap, name ? name : "");
    type->tooltip = type->name ? OrpStrDup(heap, tooltip ? tooltip : "") : nullptr;
    type->font = type->tooltip ? OrpStrDup(heap, font ? font : "") : nullptr;
    if (!type->font) {
        ReleaseLcdType(type);
        return nullptr;
    }
    return type;
}

void ReleaseLcdType(void* item) {
    auto* type = static_cast<stLcdType*>(item);
    if (!type) return;
    OrpFree(type->name);
    OrpFree(type->tooltip);
    OrpFree(type->font);
    OrpFree(type);
}

int RemoveLcdTypeItem(stObjList* list, stLcdType* item) { return RemoveItemWith(list, item, ReleaseLcdType); }

stObjList* FreeLcdTypeList(stObjList* list) { return FreeListWith(list, ReleaseLcdType); }

stLcdType* NewDesignLcdType(stLcdLibrary& library) {
    ListLockGuard guard(library.lock);
    stHeap& heap = *library.heap;
    if (!library.designTypes && !(library.designTypes = NewObjList(heap))) return nullptr;
    auto* type = static_cast<stLcdType*>(OrpAlloc(heap, sizeof(stLcdType)));
    if (!type) return nullptr;
    *type = stLcdType{};
    type->name = static_cast<char*>(OrpAlloc(heap, kLcdNameMax + 1));
    type->tooltip = static_cast<char*>(OrpAlloc(heap, kLcdTooltipMax + 1));
    type->font = static_cast<char*>(OrpAlloc(heap, kLcdFontMax + 1));
    if (!type->name || !type->tooltip || !type->font || !AppendItem(library.designTypes, type)) {
        ReleaseLcdType(type);
        return nullptr;
    }
    type->name[0] = type->tooltip[0] = type->font[0] = '\0';
    return type;
}
