// Folder listings and path joining. Paths are byte strings handed to the C library as they are,
// in the system's code page (std::filesystem would take them for UTF-8).
#pragma once

#include <string>
#include <vector>

// The names of the plain files (not folders) in `folder`, in the order the system lists them;
// empty when the folder cannot be read.
std::vector<std::string> ListFolderFiles(const char* folder);
// `folder` and `name` joined with the system's path separator.
std::string JoinPath(const std::string& folder, const std::string& name);
