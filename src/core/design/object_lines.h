// The text lines of the object list dialog: one full line per key or LED, and the shorter search
// key that finds the object again from a selected line. German or English by the caller.
#pragma once

#include <string>

#include "design/object_model.h"

// "Typ : Taste\tName: ...\tID:..\tX:...\tY:...\tBreite:...\tHöhe:..." and the LED and English
// forms: name padded to 25 characters, identifiers with two digits, coordinates with three.
// An object whose kind is not the LED kind gets a key line. Windows-1252 text.
std::string ObjectListLine(const stPanelObject& object, bool english);
// The part of the full line that identifies the object: type, name, identifier and, for keys,
// left and top; for LEDs the line up to "ID2".
std::string ObjectSearchKey(const stPanelObject& object, bool english);
// "Typ : %-5s" / "Type: %-5s" with the key word ("Taste" / "Key") or "LED".
std::string ObjectTypePrefix(bool led, bool english);
