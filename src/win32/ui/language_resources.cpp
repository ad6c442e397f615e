#include "ui/language_resources.h"

namespace {
WORD Language(bool english) {
    return english ? MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US) : MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN);
}

const void* LockedResource(HINSTANCE instance, LPCSTR type, LPCSTR name, WORD language, DWORD* size) {
    HRSRC found = FindResourceExA(instance, type, name, language);
    if (!found) return nullptr;
    HGLOBAL loaded = LoadResource(instance, found);
    if (size) *size = SizeofResource(instance, found);
    return loaded ? LockResource(loaded) : nullptr;
}
}  // namespace

const DLGTEMPLATE* DialogTemplateInLanguage(HINSTANCE instance, int id, bool english) {
    return static_cast<const DLGTEMPLATE*>(
        LockedResource(instance, reinterpret_cast<LPCSTR>(RT_DIALOG), MAKEINTRESOURCEA(id), Language(english), nullptr));
}

int LoadStringInLanguage(HINSTANCE instance, UINT id, bool english, char* text, int size) {
    if (!text || size <= 0) return 0;
    text[0] = '\0';
    // Strings are stored in blocks of 16, each a counted UTF-16 string.
    DWORD bytes = 0;
    const auto* block = static_cast<const WCHAR*>(LockedResource(instance, reinterpret_cast<LPCSTR>(RT_STRING),
                                                                 MAKEINTRESOURCEA(id / 16 + 1), Language(english),
                                                                 &bytes));
    if (block) {
        const WCHAR* end = block + bytes / sizeof(WCHAR);
        const WCHAR* p = block;
        for (UINT i = 0; i < id % 16 && p < end; ++i) p += 1 + *p;
        if (p < end && *p && p + 1 + *p <= end) {
            int length = WideCharToMultiByte(1252, 0, p + 1, *p, text, size - 1, nullptr, nullptr);
            text[length > 0 ? length : 0] = '\0';
            if (length > 0) return length;
        }
    }
    return LoadStringA(instance, id, text, size);
}
