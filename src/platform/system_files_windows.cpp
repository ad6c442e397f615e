// Windows: the C runtime's commit (FlushFileBuffers), the attributes kept by the file system,
// and MoveFileEx, which replaces an existing file where the C runtime's rename refuses to.
#include "system_files.h"

#include <io.h>
#include <windows.h>

int SysCommitFile(std::FILE* file) { return _commit(_fileno(file)) == 0; }

int64_t SysFileSize(const char* path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return -1;
    return static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
}

int SysReplaceFile(const char* from, const char* to) {
    // Write-through: the call returns once the new directory entry is on the disk.
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
