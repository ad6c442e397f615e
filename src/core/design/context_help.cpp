// Tip rotation, context help file splitting and lookup.
#include "design/context_help.h"

#include <cstring>

#include "common/alloc.h"
#include "design/file_io.h"
#include "monitor/trace.h"

namespace {

bool Contains(const char* begin, std::size_t length, const char* needle) {
    std::size_t n = std::strlen(needle);
    if (n > length) return false;
    for (std::size_t i = 0; i + n <= length; ++i)
        if (std::memcmp(begin + i, needle, n) == 0) return true;
    return false;
}

bool HasLetter(const char* begin, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        char c = begin[i];
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
    }
    return false;
}

std::size_t LineEnd(const char* bytes, std::size_t size, std::size_t from) {
    while (from < size && bytes[from] != '\r' && bytes[from] != '\n') ++from;
    return from;
}

// Start of the line after the line end at `end` (one CR LF, CR or LF).
std::size_t NextLine(const char* bytes, std::size_t size, std::size_t end) {
    if (end < size && bytes[end] == '\r') ++end;
    if (end < size && bytes[end] == '\n') ++end;
    return end;
}

const char* SectionLine(int32_t kind) {
    switch (kind) {
        case kKindKey: return "[Taste]";
        case kKindLed: return "[Led]";
        case kKindLcd: return "[Lcd]";
        default: return nullptr;
    }
}
}  // namespace

void NextTip(stDesign& design, MonitorOutput& monitor) {
    ListLockGuard guard(design.listLock);
    stObjList* tips = design.tips;
    int32_t& tipCounter = design.tipCounter;
    if (!tips) return;
    for (stListNode* n = tips->first; n; n = n->next) {
        if (n->index == tipCounter) {
            StatusLine(monitor, "%s", static_cast<stTextItem*>(n->item)->text);
            break;
        }
    }
    if (++tipCounter >= tips->count) tipCounter = 0;
}

int ParseContextHelp(const char* bytes, std::size_t size, stObjList* list) {
    if (!bytes || !list) return 0;
    std::size_t pos = 0;
    while (pos < size) {
        std::size_t start = pos;
        std::size_t end = LineEnd(bytes, size, pos);
        if (list->count == 0 && !Contains(bytes + start, end - start, kContextHelpHeader)) {
            while (list->first) RemoveTextItem(list, static_cast<stTextItem*>(list->first->item));
            return 0;
        }
        const char* line = bytes + start;
        std::size_t lineLength = end - start;
        if (Contains(line, lineLength, "Text=") && !Contains(line, lineLength, "[Taste]") &&
            !Contains(line, lineLength, "[Led]") && !Contains(line, lineLength, "Name=")) {
            // A text entry runs on, line breaks kept, up to the next line without a letter.
            while (end < size) {
                std::size_t next = NextLine(bytes, size, end);
                std::size_t nextEnd = LineEnd(bytes, size, next);
                if (!HasLetter(bytes + next, nextEnd - next)) break;
                end = nextEnd;
            }
        }
        std::size_t length = end - start;
        if (length > kMaxHelpEntryLength) length = kMaxHelpEntryLength;
        stTextItem* item = NewTextItem(*list->heap, bytes + start, static_cast<uint32_t>(length));
        if (item && !AppendItem(list, item)) {
            OrpFree(item->text);
            OrpFree(item);
        }
        pos = end;
        while (pos < size && (bytes[pos] == '\r' || bytes[pos] == '\n')) ++pos;
    }
    // An empty file is a readable file without entries: every lookup in it finds nothing. Only
    // a first line without the header refuses the file.
    return 1;
}

int LoadContextHelp(stDesign& design, const char* path) {
    stDesign& lists = design;
    if (lists.helpLines && lists.helpLines->count > 0) return 1;
    std::size_t size = 0;
    uint8_t* bytes = ReadWholeFile(*design.heap, path, &size);
    if (!bytes) return 0;
    {
        ListLockGuard guard(design.listLock);
        if (!lists.helpLines) lists.helpLines = NewObjList(*design.heap);
    }
    int ok = 0;
    if (lists.helpLines) {
        ok = ParseContextHelp(reinterpret_cast<const char*>(bytes), size, lists.helpLines);
    }
    OrpFree(bytes);
    return ok;
}

int LookupContextHelp(const stDesign& design, int32_t kind, const char* name, stContextHelp* result) {
    const stObjList* lines = design.helpLines;
    const char* section = SectionLine(kind);
    if (!lines || !section || !name || !result) return 0;
    const stListNode* n = lines->first;
    while (n && std::strcmp(static_cast<const stTextItem*>(n->item)->text, section) != 0) n = n->next;
    while (n && !std::strstr(static_cast<const stTextItem*>(n->item)->text, name)) n = n->next;
    if (!n || !n->next) return 0;
    const auto* entry = static_cast<const stTextItem*>(n->next->item);
    const char* text = std::strstr(entry->text, "Text=");
    if (!text) return 0;
    int32_t lineCount = 1;
    for (const char* p = entry->text; *p; ++p)
        if (*p == '\r') ++lineCount;
    result->text = text + 5;
    result->length = static_cast<uint32_t>(std::strlen(result->text));
    result->lines = lineCount;
    result->averageLineLength = static_cast<int32_t>((result->length + 1) / static_cast<uint32_t>(lineCount));
    return 1;
}
