// The page's files, built into orp-web (generated from web/page by embed.cmake), so that the
// server is one file that needs no folder of its own.
#pragma once

#include <cstddef>

namespace orpweb {

struct PageAsset {
    const char* path;  // as requested: "/index.html"
    const char* type;  // Content-Type
    const unsigned char* data;
    size_t size;
};

extern const PageAsset kPageAssets[];
extern const size_t kPageAssetCount;

}  // namespace orpweb
