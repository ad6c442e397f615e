// Fuzz target: LCD library files, both as raw file bytes (decoder, then parser) and as already
// decoded text (parser only, so that the fuzzer reaches the key lines directly).
#include <cstddef>
#include <cstdint>
#include <string>

#include "design/object_model.h"
#include "lcd/lcd_library.h"
#include "panel/panel.h"
#include "fuzz_panel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const char* bytes = reinterpret_cast<const char*>(data);
    int fileIndex = data[0] % 15;  // includes indexes without an id range
    stObjList* list = NewObjList(FuzzPanel().heap);
    ParseLcdFileBytes(FuzzPanel().monitor, bytes + 1, size - 1, fileIndex, list);
    std::string text = std::string("KAVO\x01[LCD TYPES]\n") + std::string(bytes + 1, size - 1);
    ParseLcdText(FuzzPanel().monitor, text.data(), text.size(), fileIndex, list);
    for (stListNode* node = list ? list->first : nullptr; node; node = node->next) {
        const stLcdType* type = static_cast<const stLcdType*>(node->item);
        if (type->placement.id < kLcdMenuFirst || type->placement.id > kLcdMenuLast) __builtin_trap();
    }
    FreeLcdTypeList(list);
    return 0;
}
