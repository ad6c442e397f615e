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
#include <string>
#include <vector>

// Reads the whole file into a new OrpAlloc block (one spare byte, set to 0, follows the data).
// Returns null when the file cannot be opened or read, is 4 GB or larger, or memory runs out.
uint8_t* ReadWholeFile(const char* path, std::size_t* size);

// Replaces the file with `size` bytes. On a failed or short write the partial file is deleted
// and 0 is returned.
int WriteWholeFile(const char* path, const void* data, std::size_t size);

// The names of the plain files (not folders) in `folder`, in the order the system lists them;
// empty when the folder cannot be read.
std::vector<std::string> ListFolderFiles(const char* folder);
// `folder` and `name` joined with the system's path separator.
std::string JoinPath(const std::string& folder, const std::string& name);
