// The front plate: the device's front as a Windows bitmap file, kept whole in memory exactly as
// read, because a design file stores it byte for byte and the export writes it back.
//
// This module reads and checks the file, derives the plate's physical size and its scale
// against the screen, and exports it. The device bitmap that the window stretches onto its
// client area is the platform's: BuildPlate hands the checked header and pixels to the panel's
// PanelPlatform::BuildPlateBitmap (CreateDIBitmap in the Win32 layer); natively nothing builds
// one and `bitmap` stays null.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/alloc.h"
#include "design/save_failure.h"
#include "design/view_scale.h"
#include "monitor/monitor_output.h"

struct stFrontPlate {
    uint8_t* image;        // the complete bitmap file, or null without a front plate
    uint8_t* infoHeader;   // image + 14
    uint8_t* info;         // image + 14, seen as BITMAPINFO (header + colour table)
    uint8_t* pixels;       // image + the file header's pixel offset
    void* bitmap;          // device bitmap (HBITMAP on Windows), owned by the platform
    int32_t widthUm;       // physical size in micrometres, 0 = not yet known
    int32_t heightUm;
    int32_t widthPx;       // bitmap size in pixels (start picture's size without a plate)
    int32_t heightPx;
    int32_t shortSize;     // 1: the size field was 40 bytes short of the file's length
    uint32_t imageSize;    // bytes held at `image`

    // Start picture shown without a front plate; loaded and painted by the main window.
    void* splashBitmap;    // bitmap handle, null when the file is missing
    int32_t splashWidth;
    int32_t splashHeight;
};

constexpr uint32_t kBitmapFileHeaderSize = 14;

// Checks a bitmap file image in memory: what the import accepts. Returns 1 and sets
// *shortSize (0 or 1) when the buffer is a bitmap whose size field equals `size` (with the
// "BM" signature) or is exactly 40 bytes less than `size`, and whose info header, colour table
// and pixel rows lie inside the buffer.
int CheckPlateImage(const uint8_t* bytes, std::size_t size, int32_t* shortSize);

// Reads and checks a bitmap file; returns a new OrpAlloc block of `heap` (its length in *size,
// the short size flag in *shortSize) or null.
uint8_t* ReadPlateFile(stHeap& heap, const char* path, std::size_t* size, int32_t* shortSize);

// Makes `image` (an OrpAlloc block of `size` bytes that passed CheckPlateImage) the front plate,
// releasing the previous one. Sets infoHeader, info, pixels and shortSize.
void SetPlateImage(stFrontPlate& plate, uint8_t* image, uint32_t size, int32_t shortSize);

// Imports the bitmap at `path` (the design's front-plate path) onto `heap`. A null or empty
// path loads nothing and returns 1.
int ImportPlate(stHeap& heap, stFrontPlate& plate, const char* path);

// Screen resolution and the resulting plate scales (screen pixels per bitmap pixel).
struct stPlateScale {
    float x;
    float y;
};

// Derives widthPx/heightPx, widthUm/heightUm and the plate scales from the image for a screen
// of `pixelsPer10kInchX` x `pixelsPer10kInchY` pixels per 10 000 inches, writes the screen's
// resolution into a header that carries none, then builds the device bitmap through the platform.
// Returns 0 without an image; an unsupported info header writes a trace line and releases the
// image.
int BuildPlateFor(stFrontPlate& plate, MonitorOutput& monitor, void* window, uint32_t pixelsPer10kInchX, uint32_t pixelsPer10kInchY,
                  stPlateScale* scale);
// The same for the screen measured into `view`; sets its plateScaleX/Y.
int BuildPlate(stFrontPlate& plate, stViewScale& view, MonitorOutput& monitor, void* window);

void ReleasePlate(stFrontPlate& plate);

// Writes the image to the file (replacing it only once the whole image is written). The short
// size correction is made once, in the image. On failure (0) `why` says why.
int ExportPlate(stFrontPlate& plate, const char* path, SaveFailure* why = nullptr);

// Adds the missing 40 bytes to the image's size field if the file had a short one, and clears
// the flag. Done before the image is exported or stored in a design.
void CorrectPlateSize(stFrontPlate& plate);

// The bytes of the image that files store: the size field's count, never more than held.
uint32_t PlateStoredSize(const stFrontPlate& plate);
