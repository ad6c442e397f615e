#include "design/object_lines.h"

#include <cstdarg>
#include <cstdio>

namespace {

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

std::string Format(const char* format, ...) {
    char buffer[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

int SecondId(const stPanelObject& object) { return object.second ? object.second->id() : -1; }
const char* NameOf(const stPanelObject& object) { return object.name ? object.name : ""; }

}  // namespace

std::string ObjectListLine(const stPanelObject& o, bool english) {
    const stPixelRect& r = o.pixelRect();
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (o.kind == kKindLed) {
        return english ? Format("Type: LED  \tName: %-25s\tID1:%02d\tID2:%02d\tX:%03d\tY:%03d\tWidth:%03d\tHeight:%03d",
                                NameOf(o), o.id(), SecondId(o), r.left, r.top, w, h)
                       : Format("Typ : LED  \tName: %-25s\tID1:%02d\tID2:%02d\tX:%03d\tY:%03d\tBreite:%03d\tH\xF6he:%03d",
                                NameOf(o), o.id(), SecondId(o), r.left, r.top, w, h);
    }
    return english ? Format("Type: Key  \tName: %-25s\tID:%02d\tX:%03d\tY:%03d\tWidth:%03d\tHeight:%03d", NameOf(o),
                            o.id(), r.left, r.top, w, h)
                   : Format("Typ : Taste\tName: %-25s\tID:%02d\tX:%03d\tY:%03d\tBreite:%03d\tH\xF6he:%03d", NameOf(o),
                            o.id(), r.left, r.top, w, h);
}

std::string ObjectSearchKey(const stPanelObject& o, bool english) {
    const stPixelRect& r = o.pixelRect();
    if (o.kind == kKindLed)
        return Format(english ? "Type: LED  \tName: %-25s\tID1:%02d\tID2" : "Typ : LED  \tName: %-25s\tID1:%02d\tID2",
                      NameOf(o), o.id());
    return Format(english ? "Type: Key  \tName: %-25s\tID:%02d\tX:%03d\tY:%03d"
                          : "Typ : Taste\tName: %-25s\tID:%02d\tX:%03d\tY:%03d",
                  NameOf(o), o.id(), r.left, r.top);
}

std::string ObjectTypePrefix(bool led, bool english) {
    const char* word = led ? "LED" : (english ? "Key" : "Taste");
    return Format(english ? "Type: %-5s" : "Typ : %-5s", word);
}
