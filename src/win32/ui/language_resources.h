// Resources that exist in German and English under one id, picked by the panel's language
// option rather than by the language the system's resource lookup would choose.
#pragma once

#include <windows.h>

// The dialog template `id` in English or German, or null when that language has none.
const DLGTEMPLATE* DialogTemplateInLanguage(HINSTANCE instance, int id, bool english);
// Copies string `id` of that language, as Windows-1252, into `text`. Falls back to the
// system's choice of language when that language has no such string. Returns its length.
int LoadStringInLanguage(HINSTANCE instance, UINT id, bool english, char* text, int size);
