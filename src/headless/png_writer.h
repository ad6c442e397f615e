// Writes 8-bit RGB PNG files without a compression library: the image data goes into stored
// (uncompressed) deflate blocks, which every PNG reader takes.
#pragma once

#include <cstdint>
#include <vector>

// `pixels` holds width x height colours 0x00BBGGRR, row by row from the top. Returns 1 when the
// file was written.
int WritePng(const char* path, int width, int height, const std::vector<uint32_t>& pixels);
