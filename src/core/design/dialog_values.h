// Numbers of the model and tips dialogs as the user types and reads them: how a field's text
// becomes a value, the truncations to the record's field widths, millimetres shown and entered,
// and the tip interval rules.
#pragma once

#include <cstdint>
#include <string>

#include "design/object_model.h"

// A dialog's number field: a leading decimal integer (sign allowed); text that is not a number
// counts as 0, values beyond the 32-bit range are clamped.
int32_t ParseDialogNumber(const char* text);

// The model dialog's five model values as entered, stored truncated to the fields' widths
// (300 keys become 44).
struct stModelValues {
    int32_t model, type, bufferSize, keyCount, ledCount;
};
void StoreModelValues(stPanelModel* model, const stModelValues& values);

// Millimetres entered for the front plate ("100.5") as whole micrometres, truncated; text that
// is not a number gives 0.
int32_t MillimetresToMicrometres(const char* text);
// The front plate's size in micrometres as millimetres with two decimals ("%3.2f": "210.00").
std::string MicrometresText(int32_t micrometres);
// An LCD length in nanometres as whole millimetres, rounded down, with three decimals
// ("%03.3f": 36 500 000 nm gives "36.000").
std::string WholeMillimetresText(int32_t nanometres);

// The tips dialog's interval: seconds x 1000 ms, and 7000 ms when that is below 1000 ms (also
// for 0 and negative numbers). Very large numbers are capped at the largest interval a timer
// takes in a signed 32-bit field.
int32_t TipIntervalFromSeconds(int32_t seconds);
// "%2d" of the interval in whole seconds.
std::string TipIntervalText(int32_t milliseconds);
// A line of the tips list: "%02d\tTip: %-25s", numbered from 1.
std::string TipListLine(int number, const char* text);
