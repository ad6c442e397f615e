#include "design/file_io.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#else
#include <dirent.h>
#include <sys/stat.h>
#endif

#include "common/alloc.h"
#include "system_files.h"

uint8_t* ReadWholeFile(const char* path, std::size_t* size) {
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
        data = static_cast<uint8_t*>(OrpAlloc(count + 1));
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
FileWriteCall g_write = SystemWrite;

SaveFailure WriteBeside(const char* path, const void* data, std::size_t size) {
    if (!path || !*path) return kSaveNotCreated;
    const std::string temp = std::string(path) + kTempSuffix;
    std::remove(temp.c_str());  // left over from a save that was cut short
    std::FILE* file = std::fopen(temp.c_str(), "wb");
    if (!file) return kSaveNotCreated;
    bool complete = size == 0 || g_write(data, size, file) == size;
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

void SetFileWriteCall(FileWriteCall call) { g_write = call ? call : SystemWrite; }

int WriteWholeFile(const char* path, const void* data, std::size_t size, SaveFailure* why) {
    SaveFailure failure = WriteBeside(path, data, size);
    if (why) *why = failure;
    return failure == kSaved;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
#ifdef _WIN32
    const char separator = '\\';
#else
    const char separator = '/';
#endif
    if (folder.empty() || folder.back() == separator || folder.back() == '/') return folder + name;
    return folder + separator + name;
}

std::vector<std::string> ListFolderFiles(const char* folder) {
    std::vector<std::string> names;
    if (!folder) return names;
#ifdef _WIN32
    // The C runtime's own search: narrow names in the system code page, and a handle of pointer
    // width (MinGW's dirent emulation is not safe with 64-bit search handles).
    _finddata_t entry{};
    intptr_t search = _findfirst(JoinPath(folder, "*").c_str(), &entry);
    if (search == -1) return names;
    do {
        std::string name = entry.name;
        if (name == "." || name == ".." || (entry.attrib & _A_SUBDIR)) continue;
        names.push_back(name);
    } while (_findnext(search, &entry) == 0);
    _findclose(search);
#else
    DIR* dir = opendir(folder);
    if (!dir) return names;
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        struct stat info {};
        if (stat(JoinPath(folder, name).c_str(), &info) == 0 && S_ISDIR(info.st_mode)) continue;
        names.push_back(name);
    }
    closedir(dir);
#endif
    return names;
}
