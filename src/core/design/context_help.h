// Operating tips in the status line, and the context help file: a text file with one help
// text per key, LED and LCD name, loaded into the help-line list and looked up for F1.
//
//   [KontextHilfe 1.0]
//   [Taste]
//   Name=Start
//   Text=Starts the measurement.
//   Hold for two seconds to calibrate.
//
//   [Led]
//   ...
//
// Every line is an entry of the help-line list, except that a "Text=" line takes the lines
// after it up to the next line without a letter (normally an empty one).
#pragma once

#include <cstddef>
#include <cstdint>

#include "design/design_state.h"
#include "monitor/monitor_output.h"

constexpr const char* kContextHelpHeader = "[KontextHilfe 1.0]";
constexpr uint32_t kMaxHelpEntryLength = 32767;

// Timer tick of the tips: shows the tip whose node index equals the tip counter in the status
// line, then advances the counter, wrapping at the tip count.
void NextTip(stDesign& design, MonitorOutput& monitor);

// Splits a context help file image into entries appended to `list`. Returns 0 (and leaves the
// list empty) when the first line lacks the header; an empty file gives 1 and no entries.
// Entries are cut at kMaxHelpEntryLength.
int ParseContextHelp(const char* bytes, std::size_t size, stObjList* list);

// Fills the help-line list from the file, unless it already holds entries.
int LoadContextHelp(stDesign& design, const char* path);

struct stContextHelp {
    const char* text;         // after "Text=", inside the help-line list's entry
    uint32_t length;
    int32_t lines;            // 1 + the CR characters of the entry
    int32_t averageLineLength;  // (length + 1) / lines
};

// Help text of the object `name` of `kind` (kKindKey, kKindLed, kKindLcd). Returns 1 with
// `result` filled, or 0. The text stays valid until the help-line list is emptied.
int LookupContextHelp(const stDesign& design, int32_t kind, const char* name, stContextHelp* result);
