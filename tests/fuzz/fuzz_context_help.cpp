// Context help file: any bytes split into entries, and lookups on them stay in bounds.
#include <cstdint>

#include "design/context_help.h"
#include "panel/panel.h"
#include "fuzz_panel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = CreatePanelLists(FuzzPanel()) && ResetDesign(FuzzPanel().design);
    (void)ready;
    ResetDesign(FuzzPanel().design);
    ParseContextHelp(reinterpret_cast<const char*>(data), size, FuzzPanel().design.helpLines);
    stContextHelp help{};
    for (int32_t kind : {kKindKey, kKindLed, kKindLcd})
        for (const char* name : {"Start", "", "a", "Name="}) LookupContextHelp(FuzzPanel().design, kind, name, &help);
    return 0;
}
