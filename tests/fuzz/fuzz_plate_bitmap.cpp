// Front plate bitmap: any accepted image is built (header arithmetic, resolution write-back)
// and exported to memory without reading or writing outside it.
#include <cstdint>
#include <cstring>
#include <vector>

#include "common/alloc.h"
#include "design/byte_io.h"
#include "design/front_plate.h"
#include "panel/panel.h"
#include "fuzz_panel.h"

namespace {
void CheckBuildExport(const uint8_t* data, size_t size) {
    int32_t shortSize = 0;
    if (size > 0xFFFFFFF0u || !CheckPlateImage(data, size, &shortSize)) return;
    auto* image = static_cast<uint8_t*>(OrpAlloc(FuzzPanel().heap, size));
    if (!image) return;
    std::memcpy(image, data, size);
    SetPlateImage(FuzzPanel().design.plate, image, static_cast<uint32_t>(size), shortSize);
    FuzzPanel().design.plate.widthUm = 0;
    stPlateScale scale{};
    BuildPlateFor(FuzzPanel().design.plate, FuzzPanel().monitor, nullptr, 960000, 1440000, &scale);
    CorrectPlateSize(FuzzPanel().design.plate);
    if (PlateStoredSize(FuzzPanel().design.plate) > size) __builtin_trap();
    ReleasePlate(FuzzPanel().design.plate);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CheckBuildExport(data, size);
    // The same bytes with a matching signature and size field, so the layout checks are reached.
    if (size >= 6 && size < 0xFFFFFFF0u) {
        std::vector<uint8_t> fixed(data, data + size);
        fixed[0] = 'B';
        fixed[1] = 'M';
        StoreU32(fixed.data() + 2, static_cast<uint32_t>(size - (data[0] & 1 ? 40 : 0)));
        CheckBuildExport(fixed.data(), fixed.size());
    }
    return 0;
}
