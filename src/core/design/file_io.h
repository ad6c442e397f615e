// Whole-file reads and writes for the design subsystem's files (designs, bitmaps, help files),
// and folder listings. Files are small; reading them whole keeps every parser a pure function of
// a byte buffer.
//
// Paths are byte strings handed to the C library as they are: in the DLL these are the
// Windows-1252 paths of the settings and the file dialogs, which the C runtime's narrow
// functions take in the system's code page. (std::filesystem would convert them to UTF-8 and
// so miss every file whose name has an umlaut.)
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "common/alloc.h"
#include "common/folder_files.h"
#include "design/save_failure.h"

// Reads the whole file into a new OrpAlloc block of `heap` (one spare byte, set to 0, follows
// the data). Returns null when the file cannot be opened or read, is 4 GB or larger, or memory
// runs out.
uint8_t* ReadWholeFile(stHeap& heap, const char* path, std::size_t* size);

// The call through which the writer hands its bytes to the open file: fwrite, or a test's
// stand-in for a disk that takes fewer bytes than it is given.
using FileWriteCall = std::size_t (*)(const void* data, std::size_t size, std::FILE* file);

// Replaces the file with `size` bytes. The bytes go to a new file beside it, which takes the
// old file's place in one step only once it is closed and holds all of them; on any failure
// the new file is removed, the old one is as it was, `why` (if given) says what went wrong
// and 0 is returned. `write` null: fwrite.
int WriteWholeFile(const char* path, const void* data, std::size_t size, SaveFailure* why = nullptr,
                   FileWriteCall write = nullptr);
