// Arbitrary group strings into a bitmap; the decoder must never store outside the 32 bytes.
// A key report encoded from two bitmaps taken from the input must decode back to the state.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "protocol/frame.h"

namespace {
void CheckedStore(void* bitmap, int target, uint8_t value) {
    if (target != GROUP_LOW_BITS && target != GROUP_ALL_BYTES && (target < 0 || target >= kBitmapBytes))
        __builtin_trap();
    StoreBitmapByte(bitmap, target, value);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    uint8_t bitmap[kBitmapBytes] = {};
    DecodeBitmapGroups(data, static_cast<int>(size), CheckedStore, bitmap);

    if (size >= 2 * kBitmapBytes) {
        uint8_t state[kBitmapBytes];
        uint8_t reported[kBitmapBytes];
        std::memcpy(state, data, kBitmapBytes);
        std::memcpy(reported, data + kBitmapBytes, kBitmapBytes);
        uint8_t decoded[kBitmapBytes];
        std::memcpy(decoded, reported, kBitmapBytes);
        uint8_t report[kKeyReportMaxSize];
        int changed = 0;
        const int n = EncodeKeyReport(state, reported, 0, MODE_KEY_REPORTS, report, &changed);
        if (n < 1 || n > kKeyReportMaxSize || report[0] != 'k') __builtin_trap();
        if (!DecodeBitmapGroups(report + 1, n - 1, CheckedStore, decoded)) __builtin_trap();
        if (std::memcmp(decoded, state, kBitmapBytes) != 0) __builtin_trap();
    }
    return 0;
}
