// Why a save wrote nothing: the file writer's own reasons and the save routine's refusals.
// Whatever the reason, a file that existed under the name is as it was.
#pragma once

#include <string>

enum SaveFailure {
    kSaved = 0,
    kSaveNotCreated,    // the new file could not be created beside the target (folder, rights)
    kSaveIncomplete,    // fewer bytes reached the file than it should hold (disk full, write error)
    kSaveNotReplaced,   // the new file was complete but could not take the old one's place
    kSaveBadName,       // the name is not one the command saves (".orp" / ".bmp", lower case)
    kSavePathTooLong,   // the path does not fit the settings' design path
    kSaveNoPlate,       // no front plate to export
};

// One or two sentences for the user, Windows-1252, German or English. `extension` is the
// ending the command wanted (".orp" or ".bmp"); it is named when the name was refused.
std::string SaveFailureText(SaveFailure why, bool english, const char* extension);
