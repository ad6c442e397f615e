// Front plate bitmap: checking, import, size and scale arithmetic, export.
#include "design/front_plate.h"

#include <cstdlib>

#include "common/alloc.h"
#include "design/byte_io.h"
#include "design/file_io.h"
#include "monitor/trace.h"

namespace {

constexpr uint32_t kCoreHeaderSize = 12;   // BITMAPCOREHEADER
constexpr uint32_t kInfoHeaderSize = 40;   // BITMAPINFOHEADER
constexpr uint32_t kShortSizeGap = 40;

int32_t ClampToI32(int64_t value) {
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

bool ValidDepth(uint32_t bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// Colour table and pixel rows of the bitmap lie within the buffer.
bool LayoutInside(const uint8_t* bytes, std::size_t size, uint32_t headerSize, uint32_t pixelOffset) {
    const uint8_t* ih = bytes + kBitmapFileHeaderSize;
    uint64_t headerEnd = kBitmapFileHeaderSize + static_cast<uint64_t>(headerSize);
    uint64_t available = size - pixelOffset;
    int64_t width;
    int64_t height;
    uint32_t bits;
    uint32_t compression = 0;
    uint32_t imageBytes = 0;
    uint64_t tableEntries = 0;
    uint64_t entrySize = 4;
    if (headerSize == kCoreHeaderSize) {
        width = LoadU16(ih + 4);
        height = LoadU16(ih + 6);
        bits = LoadU16(ih + 10);
        entrySize = 3;
        if (bits <= 8) tableEntries = 1ull << bits;
    } else if (headerSize >= kInfoHeaderSize) {
        width = static_cast<int32_t>(LoadU32(ih + 4));
        height = static_cast<int32_t>(LoadU32(ih + 8));
        if (height < 0) height = -height;
        bits = LoadU16(ih + 14);
        compression = LoadU32(ih + 16);
        imageBytes = LoadU32(ih + 20);
        uint32_t used = LoadU32(ih + 32);
        if (bits != 0 && bits <= 8) {
            if (used > (1u << bits)) return false;
            tableEntries = used ? used : 1ull << bits;
        }
        if (compression == 3 && headerSize == kInfoHeaderSize) headerEnd += 12;  // bit masks
    } else {
        return false;
    }
    if (width <= 0 || height <= 0) return false;
    if (headerEnd + tableEntries * entrySize > size) return false;
    if (compression == 0 || compression == 3) {
        if (!ValidDepth(bits)) return false;
        uint64_t stride = ((static_cast<uint64_t>(width) * bits + 31) / 32) * 4;
        return stride * static_cast<uint64_t>(height) <= available;
    }
    // Compressed pixels: the stated byte count must be there.
    return imageBytes != 0 && imageBytes <= available;
}
}  // namespace


int CheckPlateImage(const uint8_t* bytes, std::size_t size, int32_t* shortSize) {
    if (!bytes || size < kBitmapFileHeaderSize + kCoreHeaderSize) return 0;
    uint64_t sizeField = LoadU32(bytes + 2);
    int32_t isShort;
    if (sizeField == size && bytes[0] == 'B' && bytes[1] == 'M') {
        isShort = 0;
    } else if (sizeField + kShortSizeGap == size) {
        isShort = 1;
    } else {
        return 0;
    }
    uint32_t headerSize = LoadU32(bytes + kBitmapFileHeaderSize);
    uint32_t pixelOffset = LoadU32(bytes + 10);
    uint64_t headerEnd = kBitmapFileHeaderSize + static_cast<uint64_t>(headerSize);
    if (headerSize < kCoreHeaderSize || headerEnd > size) return 0;
    if (pixelOffset < headerEnd || pixelOffset > size) return 0;
    if (!LayoutInside(bytes, size, headerSize, pixelOffset)) return 0;
    if (shortSize) *shortSize = isShort;
    return 1;
}

uint8_t* ReadPlateFile(stHeap& heap, const char* path, std::size_t* size, int32_t* shortSize) {
    std::size_t length = 0;
    uint8_t* data = ReadWholeFile(heap, path, &length);
    if (!data) return nullptr;
    int32_t isShort = 0;
    if (!CheckPlateImage(data, length, &isShort)) {
        OrpFree(data);
        return nullptr;
    }
    if (size) *size = length;
    if (shortSize) *shortSize = isShort;
    return data;
}

void SetPlateImage(stFrontPlate& plate, uint8_t* image, uint32_t size, int32_t shortSize) {
    ReleasePlate(plate);
    plate.image = image;
    plate.imageSize = size;
    plate.infoHeader = image + kBitmapFileHeaderSize;
    plate.info = image + kBitmapFileHeaderSize;
    plate.pixels = image + LoadU32(image + 10);
    plate.shortSize = shortSize;
}

int ImportPlate(stHeap& heap, stFrontPlate& plate, const char* path) {
    if (!path || path[0] == '\0') return 1;
    std::size_t size = 0;
    int32_t isShort = 0;
    uint8_t* image = ReadPlateFile(heap, path, &size, &isShort);
    if (!image) return 0;
    SetPlateImage(plate, image, static_cast<uint32_t>(size), isShort);
    return 1;
}

int BuildPlate(stFrontPlate& plate, stViewScale& view, MonitorOutput& monitor, void* window) {
    stPlateScale scale{1.0f, 1.0f};
    int built = BuildPlateFor(plate, monitor, window, view.pixelsPer10kInchX, view.pixelsPer10kInchY, &scale);
    view.plateScaleX = scale.x;
    view.plateScaleY = scale.y;
    return built;
}

int BuildPlateFor(stFrontPlate& plate, MonitorOutput& monitor, void* window, uint32_t pixelsPer10kInchX, uint32_t pixelsPer10kInchY,
                  stPlateScale* scale) {
    if (scale) *scale = {1.0f, 1.0f};
    if (!plate.image) return 0;
    if (pixelsPer10kInchX / 100 == 0) pixelsPer10kInchX = kDefaultPixelsPer10kInch;
    if (pixelsPer10kInchY / 100 == 0) pixelsPer10kInchY = kDefaultPixelsPer10kInch;
    uint8_t* ih = plate.infoHeader;
    uint32_t headerSize = LoadU32(ih);
    int64_t width;
    int64_t height;
    if (headerSize == kCoreHeaderSize) {
        width = LoadU16(ih + 4);
        height = LoadU16(ih + 6);
    } else if (headerSize == kInfoHeaderSize) {
        width = static_cast<int32_t>(LoadU32(ih + 4));
        height = static_cast<int32_t>(LoadU32(ih + 8));
        if (height < 0) height = -height;
    } else {
        Trace(monitor, "unerwartete bimtmap datei header g\xF6" "sse\r\n");
        ReleasePlate(plate);
        return 0;
    }
    plate.widthPx = ClampToI32(width);
    plate.heightPx = ClampToI32(height);

    auto atScreen = [](int64_t pixels, uint32_t per10kInch) {
        return ClampToI32((pixels * 2540000 + per10kInch / 200) / (per10kInch / 100));
    };
    float scaleX = 1.0f;
    float scaleY = 1.0f;
    if (headerSize == kCoreHeaderSize) {
        // A core header has no resolution fields: the plate is taken at screen resolution and
        // shown pixel for pixel.
        if (plate.widthUm == 0) {
            plate.widthUm = atScreen(width, pixelsPer10kInchX);
            plate.heightUm = atScreen(height, pixelsPer10kInchY);
        }
    } else {
        auto perMetreX = static_cast<int32_t>(LoadU32(ih + 24));
        auto perMetreY = static_cast<int32_t>(LoadU32(ih + 28));
        if (perMetreX <= 0 || perMetreY <= 0) {
            // No resolution stored: take the screen's and record it in the header, so that a
            // saved design carries it.
            plate.widthUm = atScreen(width, pixelsPer10kInchX);
            plate.heightUm = atScreen(height, pixelsPer10kInchY);
            perMetreX = static_cast<int32_t>((pixelsPer10kInchX + 127) / 254);
            perMetreY = static_cast<int32_t>((pixelsPer10kInchY + 127) / 254);
            StoreU32(ih + 24, static_cast<uint32_t>(perMetreX));
            StoreU32(ih + 28, static_cast<uint32_t>(perMetreY));
        } else if (plate.widthUm == 0) {
            plate.widthUm = ClampToI32(width * 1000000 / perMetreX);
            plate.heightUm = ClampToI32(height * 1000000 / perMetreY);
        }
        // 10 000 inches are 254 metres: both terms count pixels per 10 000 inches.
        scaleX = static_cast<float>(static_cast<double>(pixelsPer10kInchX) /
                                    (static_cast<double>(perMetreX) * 254.0));
        scaleY = static_cast<float>(static_cast<double>(pixelsPer10kInchY) /
                                    (static_cast<double>(perMetreY) * 254.0));
    }
    if (scale) *scale = {scaleX, scaleY};
    // The panel's platform builds the device bitmap; the monitor record carries it.
    plate.bitmap = monitor.platform.load()->BuildPlateBitmap(window, plate.bitmap, plate.infoHeader, plate.pixels);
    return 1;
}

void ReleasePlate(stFrontPlate& plate) {
    OrpFree(plate.image);
    plate.image = nullptr;
    plate.infoHeader = nullptr;
    plate.info = nullptr;
    plate.pixels = nullptr;
    plate.imageSize = 0;
    plate.shortSize = 0;
}

void CorrectPlateSize(stFrontPlate& plate) {
    if (!plate.image || !plate.shortSize) return;
    StoreU32(plate.image + 2, LoadU32(plate.image + 2) + kShortSizeGap);
    plate.shortSize = 0;
}

uint32_t PlateStoredSize(const stFrontPlate& plate) {
    if (!plate.image) return 0;
    uint32_t sizeField = LoadU32(plate.image + 2);
    return sizeField < plate.imageSize ? sizeField : plate.imageSize;
}

int ExportPlate(stFrontPlate& plate, const char* path, SaveFailure* why) {
    if (!plate.image) {
        if (why) *why = kSaveNoPlate;
        return 0;
    }
    CorrectPlateSize(plate);
    return WriteWholeFile(path, plate.image, PlateStoredSize(plate), why);
}
