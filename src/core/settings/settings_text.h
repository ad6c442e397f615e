// The settings as a person reads and types them ("Name=value"), for orp-settings: the text of
// each stored value and the checks a typed value must pass before it goes into the record.
#pragma once

#include <string>

#include "settings/settings.h"

// A number in decimal, a text as stored, a placement as "left,top,right,bottom" of its normal
// rectangle, or "" for a placement the panel has not recorded yet.
std::string SettingValueText(const stSettings& settings, const stSettingValue& value);

// The value of that name, in any letter case (registry value names ignore case); null if none.
const stSettingValue* FindSettingValueNoCase(const std::string& name);

// Puts typed text into the record. A number must be a whole decimal number within 32 bits; a
// text must fit its field (259 bytes for paths, 15 for "NetIp"); placements are recorded by the
// panel itself and are refused. Returns false with the reason in `error`, leaving the record.
bool SetSettingFromText(stSettings& settings, const stSettingValue& value, const std::string& text,
                        std::string* error);
