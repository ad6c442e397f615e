#include "design/file_io.h"

#include <cstdio>

#include "common/alloc.h"
#include "system_files.h"

uint8_t* ReadWholeFile(stHeap& heap, const char* path, std::size_t* size) {
    *size = 0;
    if (!path) return nullptr;
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return nullptr;
    uint8_t* data = nullptr;
    long length = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) length = std::ftell(file);
    if (length >= 0 && static_cast<unsigned long long>(length) < 0xFFFFFFFFull &&
        std::fseek(file, 0, SEEK_SET) == 0) {
        auto count = static_cast<std::size_t>(length);
        data = static_cast<uint8_t*>(OrpAlloc(heap, count + 1));
        if (data) {
            if (std::fread(data, 1, count, file) == count) {
                data[count] = 0;
                *size = count;
            } else {
                OrpFree(data);
                data = nullptr;
            }
        }
    }
    std::fclose(file);
    return data;
}

namespace {
// The new file is written under this suffix beside the target and renamed over it when done;
// a name no user gives a file of their own, since a leftover of it is removed.
constexpr char kTempSuffix[] = ".saving~";

std::size_t SystemWrite(const void* data, std::size_t size, std::FILE* file) {
    return std::fwrite(data, 1, size, file);
}

SaveFailure WriteBeside(const char* path, const void* data, std::size_t size, FileWriteCall write) {
    if (!path || !*path) return kSaveNotCreated;
    const std::string temp = std::string(path) + kTempSuffix;
    std::remove(temp.c_str());  // left over from a save that was cut short
    std::FILE* file = std::fopen(temp.c_str(), "wb");
    if (!file) return kSaveNotCreated;
    bool complete = size == 0 || write(data, size, file) == size;
    complete = std::fflush(file) == 0 && complete && SysCommitFile(file);
    if (std::fclose(file) != 0) complete = false;
    // A short write to a full disk has been seen reported as complete by both the write and
    // the close: what counts is the size that reached the file.
    if (complete && SysFileSize(temp.c_str()) != static_cast<int64_t>(size)) complete = false;
    if (complete && SysReplaceFile(temp.c_str(), path)) return kSaved;
    std::remove(temp.c_str());
    return complete ? kSaveNotReplaced : kSaveIncomplete;
}
}  // namespace

int WriteWholeFile(const char* path, const void* data, std::size_t size, SaveFailure* why, FileWriteCall write) {
    SaveFailure failure = WriteBeside(path, data, size, write ? write : SystemWrite);
    if (why) *why = failure;
    return failure == kSaved;
}
