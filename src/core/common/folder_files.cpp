#include "common/folder_files.h"

#ifdef _WIN32
#include <io.h>
#else
#include <dirent.h>
#include <sys/stat.h>
#endif

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
