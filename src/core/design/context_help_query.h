// F1 over a key, LED or LCD: the context help text of the object, or which question to ask
// when there is none. The questions are string ids shared with the resources.
#pragma once

#include <cstdint>

#include "design/context_help.h"

constexpr int kAskForHelpFile = 32842;         // no help file is set
constexpr int kAskForContextHelpEntry = 32843;  // the context help file has no text for the object
constexpr int kAskForContextHelpFile = 32844;   // the context help file cannot be read

// Loads the context help file at `path` (once per design) and looks the object up. Returns 0
// with `result` filled, kAskForContextHelpFile when the file cannot be read or is not a
// context help file, kAskForContextHelpEntry when it holds no text for the object. Takes the
// list lock.
int FindContextHelp(stDesign& design, const char* path, int32_t kind, const char* name, stContextHelp* result);

// Empties the help-line list so that the next F1 reads the (newly chosen) file again.
void ForgetContextHelp(stDesign& design);
