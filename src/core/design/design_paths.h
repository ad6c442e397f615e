// The two settings paths that the design commands work with, and the way to save them.
//
// The design path ("FileCfg") and the front-plate path (the last bitmap opened) live in the
// settings record. The design code reaches them through this small interface so that it does
// not depend on how the settings are stored; the start-up code points it at the settings
// record's 260-byte fields and its write routine.
#pragma once

#include <cstddef>

constexpr std::size_t kDesignPathSize = 260;  // every path buffer, terminating zero included

struct stDesignPaths {
    char* designPath;        // kDesignPathSize bytes: the current design file
    char* frontPlatePath;    // kDesignPathSize bytes: the front plate bitmap to import
    void (*saveSettings)();  // writes the settings; may be null
};

// Installs other paths (a copy of the record is kept); a record with both paths null returns
// to the settings record.
void SetDesignPaths(const stDesignPaths& paths);
const stDesignPaths& DesignPaths();
