// Design file reader: any bytes are parsed without faults; whatever is accepted is put in
// effect, written out again, and the written file must parse to the same bytes once more.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "common/alloc.h"
#include "design/design_file.h"
#include "design/design_lcd.h"
#include "design/front_plate.h"
#include "panel/panel.h"
#include "fuzz_panel.h"

namespace {
void ParseApplyRewrite(const uint8_t* data, size_t size) {
    stDesignData parsed;
    if (!ParseDesign(FuzzPanel().heap, data, size, FuzzPanel().design.model, FuzzPanel().design.lcd, &parsed)) return;
    ApplyDesignData(FuzzPanel().design, DesignLcdOf(FuzzPanel()), &parsed);
    std::vector<uint8_t> first;
    SerializeDesign(FuzzPanel().design, FuzzPanel().lcdDraw, &first);
    stDesignData again;
    if (!ParseDesign(FuzzPanel().heap, first.data(), first.size(), FuzzPanel().design.model, FuzzPanel().design.lcd, &again)) std::abort();
    ApplyDesignData(FuzzPanel().design, DesignLcdOf(FuzzPanel()), &again);
    std::vector<uint8_t> second;
    SerializeDesign(FuzzPanel().design, FuzzPanel().lcdDraw, &second);
    if (first != second) std::abort();
}

// Header, no front plate, empty LCD texts and a model: lets random bytes reach the later blocks.
const uint8_t kPrefix[] = {8, 0, 0, 0, '*', '.', 'o', 'r', 'p', ' ', '3', 0, 0, 0, 0, 0,
                           0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                           1, 0, 0, 0, 1, 1, 0, 0, 0, 2, 1, 0, 0, 0, 3, 1, 0, 0, 0, 4,
                           2, 0, 0, 0, 5, 6, 4, 0, 0, 0, 7, 8, 9, 10};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = CreatePanelLists(FuzzPanel()) && ResetDesign(FuzzPanel().design);
    (void)ready;
    ParseApplyRewrite(data, size);
    std::vector<uint8_t> prefixed(kPrefix, kPrefix + sizeof kPrefix);
    prefixed.insert(prefixed.end(), data, data + size);
    ParseApplyRewrite(prefixed.data(), prefixed.size());
    return 0;
}
