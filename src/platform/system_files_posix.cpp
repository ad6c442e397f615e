// POSIX: fsync, stat, and rename, which replaces an existing file in one step.
#include "system_files.h"

#include <sys/stat.h>
#include <unistd.h>

int SysCommitFile(std::FILE* file) { return fsync(fileno(file)) == 0; }

int64_t SysFileSize(const char* path) {
    struct stat info {};
    if (stat(path, &info) != 0) return -1;
    return static_cast<int64_t>(info.st_size);
}

int SysReplaceFile(const char* from, const char* to) { return std::rename(from, to) == 0; }
