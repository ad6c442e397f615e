// orp-lcdtool: writes and reads LCD type library files (.lcd).
//
//   orp-lcdtool encode <types.txt> <library.lcd>   plain-text type list -> .lcd file
//   orp-lcdtool decode <library.lcd> [<types.txt>] .lcd file -> plain-text type list (stdout)
//   orp-lcdtool list <library.lcd> [<file index>]  the types as the panel reads them, with menu ids
//
// The plain text is what the panel reads after decoding, without the five leading bytes: the line
// "[LCD TYPES]" and `Key=value` lines. Encoding turns CR LF line ends into LF, because the panel
// wants bare line feeds (a header line ending in CR is rejected).
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "design/object_model.h"
#include "lcd/lcd_library.h"
#include "monitor/trace.h"

namespace {
const char kUsage[] =
    "usage: orp-lcdtool encode <types.txt> <library.lcd>\n"
    "       orp-lcdtool decode <library.lcd> [<types.txt>]\n"
    "       orp-lcdtool list <library.lcd> [<file index 0-12>]\n"
    "\n"
    "encode  writes the plain-text type list (first line \"[LCD TYPES]\") as an .lcd file\n"
    "decode  writes the type list of an .lcd file as plain text (to stdout without a name)\n"
    "list    shows every type with its menu id as the panel reads the file at that index\n";

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

int Encode(const char* input, const char* output) {
    std::string text;
    if (!ReadAll(input, text)) return 1;
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) plain.push_back(text[i]);
    std::size_t headerLength = std::strlen(kLcdHeader);
    if (plain.compare(0, headerLength, kLcdHeader) != 0 || (plain.size() > headerLength && plain[headerLength] != '\n')) {
        std::fprintf(stderr, "orp-lcdtool: %s: the first line must be exactly %s\n", input, kLcdHeader);
        return 1;
    }
    plain.insert(0, std::string(kLcdMagic) + '\x01');
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
    return WriteAll(output, plain.substr(5)) ? 0 : 1;
}

void TraceToStderr(const char* text) { std::fprintf(stderr, "%s", text); }

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
    SetTraceSink(TraceToStderr);
    stObjList* list = NewObjList();
    int stored = ParseLcdFileBytes(bytes.data(), bytes.size(), index, list);
    if (stored == -1) std::fprintf(stderr, "orp-lcdtool: %s is not an LCD library file (no KAVO marker)\n", input);
    for (stListNode* node = list ? list->first : nullptr; node; node = node->next) {
        const stLcdType* t = static_cast<const stLcdType*>(node->item);
        const stLcdMetrics& m = t->metrics;
        std::printf("%d  %s  [%d x %d, font %s, %.3f x %.3f mm, cell %.3f x %.3f mm, gap %.3f / %.3f mm, "
                    "backlight on %06X off %06X, text %06X]\n",
                    t->placement.id, t->name, m.lines, m.characters, t->font, m.width / 1e6, m.height / 1e6,
                    m.charX / 1e6, m.charY / 1e6, m.dotX / 1e6, m.dotY / 1e6, t->colours.backlightOn,
                    t->colours.backlightOff, t->colours.dot);
        if (t->tooltip[0]) std::printf("    %s\n", t->tooltip);
    }
    FreeLcdTypeList(list);
    return stored < 0 ? 1 : 0;
}
}  // namespace

int main(int argc, char** argv) {
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
