// Whole-file reads and writes for the design subsystem's files (designs, bitmaps, help files).
// Files are small; reading them whole keeps every parser a pure function of a byte buffer.
#pragma once

#include <cstddef>
#include <cstdint>

// Reads the whole file into a new OrpAlloc block (one spare byte, set to 0, follows the data).
// Returns null when the file cannot be opened or read, is 4 GB or larger, or memory runs out.
uint8_t* ReadWholeFile(const char* path, std::size_t* size);

// Replaces the file with `size` bytes. On a failed or short write the partial file is deleted
// and 0 is returned.
int WriteWholeFile(const char* path, const void* data, std::size_t size);
