// The two settings paths that the design commands work with, and the way to save them.
//
// The design path ("FileCfg") and the front-plate path (the last bitmap opened) live in the
// settings record. The design reaches them through this small record so that it does not depend
// on how the settings are stored; the panel points it at the settings record's 260-byte fields
// and its write routine.
#pragma once

#include <cstddef>
#include <functional>

constexpr std::size_t kDesignPathSize = 260;  // every path buffer, terminating zero included

struct stDesignPaths {
    char* designPath;                     // kDesignPathSize bytes: the current design file
    char* frontPlatePath;                 // kDesignPathSize bytes: the front plate bitmap to import
    std::function<void()> saveSettings;   // writes the settings; may be empty
};
