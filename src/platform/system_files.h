// File calls that differ between the systems the core runs on. The core writes files through
// the C library; making the data durable, asking the system what size a file really has and
// putting a finished file in place of an old one in a single step need the system's own calls.
#pragma once

#include <cstdint>
#include <cstdio>

// Hands what the C library has flushed for `file` on to the disk. 1 on success.
int SysCommitFile(std::FILE* file);
// The size in bytes of the file at `path`, as the file system records it; -1 when unknown.
int64_t SysFileSize(const char* path);
// Renames `from` to `to` in one step, replacing a file `to` that exists. 1 on success; on
// failure both files are as they were.
int SysReplaceFile(const char* from, const char* to);
