// Bitmap group encoding shared by key reports ('k'), the LED state ('L') and the key click mask
// ('I'). A header byte (bit 7 set) names a start byte and a count of 1..4 following values that
// go to bytes start, start-1, ...; a byte with bit 7 clear replaces bits 0..6 of byte 0.
#include "protocol/frame.h"

int DecodeBitmapGroups(const uint8_t* params, int count, GroupStore store, void* context) {
    int i = 0;
    while (i < count) {
        const uint8_t h = params[i++];
        if (!(h & 0x80)) {
            store(context, GROUP_LOW_BITS, h);
            continue;
        }
        const int start = h & 0x1F;
        const int values = ((h >> 5) & 3) + 1;
        if (start < values - 1 || count - i < values) return 0;
        for (int k = 0; k < values; ++k) store(context, start - k, params[i++]);
    }
    return 1;
}

void StoreBitmapByte(void* bitmap, int target, uint8_t value) {
    auto* bytes = static_cast<uint8_t*>(bitmap);
    if (target == GROUP_ALL_BYTES) {
        for (int i = 0; i < kBitmapBytes; ++i) bytes[i] = value;
    } else if (target == GROUP_LOW_BITS) {
        bytes[0] = static_cast<uint8_t>((bytes[0] & 0x80) | (value & 0x7F));
    } else if (target >= 0 && target < kBitmapBytes) {
        bytes[target] = value;
    }
}

int EncodeKeyReport(const uint8_t* keyState, uint8_t* reported, int explicitRequest, uint8_t mode,
                    uint8_t* out, int* changedCount) {
    const bool mark = explicitRequest || (mode & MODE_KEY_REPORTS);
    int n = 0;
    out[n++] = 'k';
    int changed = 0;
    int runHeader = -1;  // index of the open run's first byte, -1 when none is open
    uint8_t run[4];
    int runCount = 0;
    auto closeRun = [&]() {
        if (runHeader < 0) return;
        out[n++] = static_cast<uint8_t>(0x80 | ((runCount - 1) << 5) | runHeader);
        for (int k = 0; k < runCount; ++k) out[n++] = run[k];
        runHeader = -1;
        runCount = 0;
    };
    for (int i = kBitmapBytes - 1; i >= 0; --i) {
        if (keyState[i] == reported[i]) {
            closeRun();
            continue;
        }
        ++changed;
        const uint8_t previous = reported[i];
        if (mark) reported[i] = keyState[i];
        if (i == 0 && runHeader < 0 && (keyState[0] & 0x80) == (previous & 0x80)) {
            out[n++] = static_cast<uint8_t>(keyState[0] & 0x7F);
            continue;
        }
        if (runHeader < 0) runHeader = i;
        run[runCount++] = keyState[i];
        if (runCount == 4 || i == 0) closeRun();
    }
    closeRun();
    if (changedCount) *changedCount = changed;
    return n;
}

bool KeyReportDue(int explicitRequest, bool answering, int changedCount, uint8_t mode) {
    if (explicitRequest) return answering;
    return changedCount > 0 && (mode & MODE_KEY_REPORTS);
}
