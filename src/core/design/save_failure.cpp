#include "design/save_failure.h"

std::string SaveFailureText(SaveFailure why, bool english, const char* extension) {
    // Said after every failed write: the writer never touches the old file before the new one
    // is complete.
    const std::string unchanged = english ? " An existing file of that name is unchanged."
                                          : " Eine vorhandene Datei dieses Namens ist unver\xE4ndert.";
    switch (why) {
    case kSaved:
        return std::string();
    case kSaveNotCreated:
        return (english ? "It cannot be created in this folder." : "Sie kann in diesem Ordner nicht angelegt werden.") +
               unchanged;
    case kSaveIncomplete:
        return (english ? "Not all of the data could be written (is the disk full?)."
                        : "Es konnten nicht alle Daten geschrieben werden (ist der Datentr\xE4ger voll?).") +
               unchanged;
    case kSaveNotReplaced:
        return (english ? "The existing file cannot be replaced (read-only or in use?)."
                        : "Die vorhandene Datei kann nicht ersetzt werden (schreibgesch\xFCtzt oder in Gebrauch?).") +
               unchanged;
    case kSaveBadName:
        return english ? std::string("The name must end in ") + extension + " (lower case)."
                       : std::string("Der Name muss auf ") + extension + " enden (klein geschrieben).";
    case kSavePathTooLong:
        return english ? "The path is too long." : "Der Pfad ist zu lang.";
    case kSaveNoPlate:
        return english ? "No front plate is loaded." : "Es ist keine Frontplatte geladen.";
    }
    return std::string();
}
