// orp-lcdtool: writes and reads LCD type library files (.lcd).
//
//   orp-lcdtool encode <types.txt> <library.lcd>   plain-text type list -> .lcd file
//   orp-lcdtool decode <library.lcd> [<types.txt>] .lcd file -> plain-text type list (stdout)
//   orp-lcdtool list <library.lcd> [<file index>]  the types as the panel reads them, with menu ids
//
// The plain text is what the panel reads after decoding, without the five leading bytes: the line
// "[LCD TYPES]" and `Key=value` lines. Encoding turns CR LF line ends into LF, because the panel
// wants bare line feeds (a header line ending in CR is rejected).
//
// The tool speaks what its users type and read: the plain text is UTF-8 (the file holds
// Windows-1252; a character it cannot hold is an error naming the line and column), and colours
// are "#RRGGBB" (the file holds "blue,green,red", which `encode` also accepts unchanged).
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "../utf8_console.h"
#include "common/cp1252.h"
#include "common/rgb_text.h"
#include "design/lcd_geometry.h"
#include "design/object_model.h"
#include "lcd/lcd_library.h"
#include "monitor/trace.h"
#include "panel/panel.h"

// The tool's one panel.
static stPanel& ToolPanel() {
    static stPanel panel;
    return panel;
}

namespace {
const char kUsage[] =
    "usage: orp-lcdtool encode <types.txt> <library.lcd>\n"
    "       orp-lcdtool decode <library.lcd> [<types.txt>]\n"
    "       orp-lcdtool list <library.lcd> [<file index 0-12>]\n"
    "\n"
    "encode  writes the plain-text type list (first line \"[LCD TYPES]\") as an .lcd file\n"
    "decode  writes the type list of an .lcd file as plain text (to stdout without a name)\n"
    "list    shows every type with its menu id as the panel reads the file at that index\n"
    "\n"
    "The type list is UTF-8 text; colours are written #RRGGBB (blue,green,red is read as well).\n";

bool ReadAll(const char* path, std::string& out) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) {
        std::fprintf(stderr, "orp-lcdtool: cannot open %s: %s\n", path, std::strerror(errno));
        return false;
    }
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) out.append(buffer, got);
    bool ok = !std::ferror(file);
    std::fclose(file);
    if (!ok) std::fprintf(stderr, "orp-lcdtool: cannot read %s\n", path);
    return ok;
}

bool WriteAll(const char* path, const std::string& data) {
    std::FILE* file = path ? std::fopen(path, "wb") : stdout;
    if (!file) {
        std::fprintf(stderr, "orp-lcdtool: cannot create %s: %s\n", path, std::strerror(errno));
        return false;
    }
    bool ok = std::fwrite(data.data(), 1, data.size(), file) == data.size();
    ok = (path ? std::fclose(file) : std::fflush(file)) == 0 && ok;
    if (!ok) std::fprintf(stderr, "orp-lcdtool: cannot write %s\n", path ? path : "stdout");
    return ok;
}

// The core's trace texts are Windows-1252 like everything it keeps.
// The tool's platform: the library's trace lines go to stderr.
class ToolPlatform : public PanelPlatform {
public:
    void TraceText(const char* text) override { std::fputs(Cp1252ToUtf8(text).c_str(), stderr); }
} g_platform;

std::string Millimetres(int64_t nm) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.3f", static_cast<double>(nm) / 1e6);
    return buf;
}

// A warning for every type whose cells do not fit its frame: the panel draws them beyond it.
void WarnAboutClippedCells(const char* file, const stObjList* list) {
    for (const stListNode* node = list ? list->first : nullptr; node; node = node->next) {
        const stLcdType* t = static_cast<const stLcdType*>(node->item);
        if (LcdCellsFitFrame(t->metrics)) continue;
        stLcdCellArea cells = LcdCellArea(t->metrics);
        std::fprintf(stderr,
                     "orp-lcdtool: warning: %s: type \"%s\": its %d lines of %d characters need %s x %s mm, "
                     "more than its frame (w x h) of %s x %s mm; the panel would draw them clipped\n",
                     file, Cp1252ToUtf8(t->name).c_str(), t->metrics.lines, t->metrics.characters,
                     Millimetres(cells.width).c_str(), Millimetres(cells.height).c_str(),
                     Millimetres(t->metrics.width).c_str(), Millimetres(t->metrics.height).c_str());
    }
}

// Line `number` of the UTF-8 type list as the file stores it: Windows-1252, and a "#RRGGBB"
// colour as "blue,green,red".
bool StoredLine(const char* input, int number, const std::string& utf8, std::string* stored) {
    stCp1252Failure bad;
    if (!Utf8ToCp1252(utf8, stored, &bad)) {
        std::fprintf(stderr, "orp-lcdtool: %s:%d:%zu: %s%s\n", input, number, Utf8Column(utf8, 0, bad.offset),
                     DescribeCp1252Failure(utf8, bad).c_str(),
                     bad.codePoint == kNotUtf8 ? " (the type list is read as UTF-8; convert a Windows-1252 "
                                                 "list first, e.g. with iconv -f WINDOWS-1252 -t UTF-8)"
                                               : " (.lcd files hold Windows-1252 text)");
        return false;
    }
    const char* key = LcdLineKey(stored->c_str());
    if (!IsLcdColourKey(key)) return true;
    std::size_t equals = stored->find('=');
    std::size_t start = stored->find_first_not_of(" \t", equals + 1);
    if (start == std::string::npos || (*stored)[start] != '#') return true;  // blue,green,red as before
    std::size_t end = stored->find_last_not_of(" \t\r");
    uint32_t colour;
    if (!ParseRgbHex(stored->substr(start, end + 1 - start), &colour)) {
        std::fprintf(stderr, "orp-lcdtool: %s:%d: %s needs a colour #RRGGBB (or blue,green,red), not \"%s\"\n",
                     input, number, key, utf8.substr(utf8.find('=') + 1).c_str());
        return false;
    }
    *stored = stored->substr(0, equals + 1) + std::to_string((colour >> 16) & 0xFF) + "," +
              std::to_string((colour >> 8) & 0xFF) + "," + std::to_string(colour & 0xFF);
    return true;
}

int Encode(const char* input, const char* output) {
    std::string text;
    if (!ReadAll(input, text)) return 1;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);  // the mark some Windows editors write
    std::string plain;
    int number = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t end = text.find('\n', pos);
        bool lineFeed = end != std::string::npos;
        if (!lineFeed) end = text.size();
        std::size_t length = end - pos;
        if (lineFeed && length > 0 && text[end - 1] == '\r') --length;  // CR LF -> LF
        std::string stored;
        if (!StoredLine(input, ++number, text.substr(pos, length), &stored)) return 1;
        plain += stored;
        if (lineFeed) plain += '\n';
        pos = end + 1;
    }
    std::size_t headerLength = std::strlen(kLcdHeader);
    if (plain.compare(0, headerLength, kLcdHeader) != 0 || (plain.size() > headerLength && plain[headerLength] != '\n')) {
        std::fprintf(stderr, "orp-lcdtool: %s: the first line must be exactly %s\n", input, kLcdHeader);
        return 1;
    }
    plain.insert(0, std::string(kLcdMagic) + '\x01');
    InstallPlatform(ToolPanel(), &g_platform);
    stObjList* list = NewObjList(ToolPanel().heap);
    ParseLcdText(ToolPanel().monitor, plain.data(), plain.size(), 0, list);
    WarnAboutClippedCells(input, list);
    FreeLcdTypeList(list);
    return WriteAll(output, EncodeLcdFile(plain.data(), plain.size())) ? 0 : 1;
}

int Decode(const char* input, const char* output) {
    std::string bytes;
    if (!ReadAll(input, bytes)) return 1;
    std::string plain = DecodeLcdFile(bytes.data(), bytes.size());
    if (plain.size() < 5 || plain.compare(0, 4, kLcdMagic) != 0) {
        std::fprintf(stderr, "orp-lcdtool: %s is not an LCD library file (no KAVO marker after decoding)\n", input);
        return 1;
    }
    // Colour lines that begin with their key are shown as #RRGGBB; any other line stays as it is.
    std::string text;
    for (std::size_t pos = 5; pos < plain.size();) {
        std::size_t end = plain.find('\n', pos);
        if (end == std::string::npos) end = plain.size();
        std::string line = plain.substr(pos, end - pos);
        const char* key = LcdLineKey(line.c_str());
        if (IsLcdColourKey(key) && line.compare(0, std::strlen(key), key) == 0) {
            bool cr = !line.empty() && line.back() == '\r';
            line = key + FormatRgbHex(ParseLcdColour(line.c_str() + std::strlen(key))) + (cr ? "\r" : "");
        }
        text += line;
        if (end < plain.size()) text += '\n';
        pos = end + 1;
    }
    return WriteAll(output, Cp1252ToUtf8(text)) ? 0 : 1;
}

int List(const char* input, const char* indexText) {
    int index = 0;
    if (indexText) {
        char* end = nullptr;
        long value = std::strtol(indexText, &end, 10);
        if (!*indexText || *end || value < 0 || value > 12) {
            std::fprintf(stderr, "orp-lcdtool: file index must be 0 to 12, not %s\n", indexText);
            return 2;
        }
        index = static_cast<int>(value);
    }
    std::string bytes;
    if (!ReadAll(input, bytes)) return 1;
    InstallPlatform(ToolPanel(), &g_platform);
    stObjList* list = NewObjList(ToolPanel().heap);
    int stored = ParseLcdFileBytes(ToolPanel().monitor, bytes.data(), bytes.size(), index, list);
    if (stored == -1) std::fprintf(stderr, "orp-lcdtool: %s is not an LCD library file (no KAVO marker)\n", input);
    for (stListNode* node = list ? list->first : nullptr; node; node = node->next) {
        const stLcdType* t = static_cast<const stLcdType*>(node->item);
        const stLcdMetrics& m = t->metrics;
        std::printf("%d  %s  [%d x %d, font %s, %.3f x %.3f mm, cell %.3f x %.3f mm, gap %.3f / %.3f mm, "
                    "backlight on %s off %s, text %s]\n",
                    t->placement.id, Cp1252ToUtf8(t->name).c_str(), m.lines, m.characters,
                    Cp1252ToUtf8(t->font).c_str(), m.width / 1e6, m.height / 1e6, m.charX / 1e6, m.charY / 1e6,
                    m.dotX / 1e6, m.dotY / 1e6, FormatRgbHex(t->colours.backlightOn).c_str(),
                    FormatRgbHex(t->colours.backlightOff).c_str(), FormatRgbHex(t->colours.dot).c_str());
        if (t->tooltip[0]) std::printf("    %s\n", Cp1252ToUtf8(t->tooltip).c_str());
    }
    std::fflush(stdout);
    WarnAboutClippedCells(input, list);
    FreeLcdTypeList(list);
    return stored < 0 ? 1 : 0;
}
}  // namespace

int main(int argc, char** argv) {
    UseUtf8Console();
    if (argc >= 2 && (!std::strcmp(argv[1], "-h") || !std::strcmp(argv[1], "--help"))) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc == 4 && !std::strcmp(argv[1], "encode")) return Encode(argv[2], argv[3]);
    if ((argc == 3 || argc == 4) && !std::strcmp(argv[1], "decode")) return Decode(argv[2], argc == 4 ? argv[3] : nullptr);
    if ((argc == 3 || argc == 4) && !std::strcmp(argv[1], "list")) return List(argv[2], argc == 4 ? argv[3] : nullptr);
    std::fputs(kUsage, stderr);
    return 2;
}
