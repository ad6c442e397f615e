// The LCD type library: `.lcd` files in the library folder, each a list of LCD models that the
// LCDs menu offers for placing on the front plate.
//
// A `.lcd` file is text of upper-case hexadecimal digit pairs; each pair is one byte of a key
// stream cipher (seed and steps below, see docs/lcd-library.md). The decoded text starts with
// "KAVO" and one further byte, then the line "[LCD TYPES]" and `Key=value` lines; `Name=` starts a
// new type. Lengths are given in millimetres and kept in nanometres; colours are "blue,green,red".
//
// The library's lists are in its record, stLcdLibrary, one per panel.
// The folder is a parameter: the Win32 layer builds it with LcdLibraryFolder(work directory) and
// may also make it the current directory (SetCurrentDirectory) before calling LoadLcdLibrary.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

#include "common/obj_list.h"
#include "lcd/lcd_draw.h"
#include "lcd/lcd_type.h"
#include "monitor/monitor_output.h"

// The library of one panel. Its lock guards the lists: the menu reads them while a reload may
// replace them.
struct stLcdLibrary {
    stHeap* heap = nullptr;             // the panel's heap, which the panel sets; the lists come from it
    stObjList* files = nullptr;         // file names (stTextItem), in listing order; the position is the file index
    stObjList** typeTable = nullptr;    // one list per file index; each owns its stLcdType records
    stObjList* types = nullptr;         // every library type in menu order; a view, owns nothing
    stObjList* designTypes = nullptr;   // records handed out by NewDesignLcdType (the design's own LCD)
    mutable std::recursive_mutex lock;
};

// The key stream of the file format. Files written with other values are unreadable.
constexpr uint8_t kLcdKeySeed = 0x4B;
constexpr uint8_t kLcdKeyStep = 0x1D;       // after every byte
constexpr uint8_t kLcdKeyGroupStep = 0x35;  // in addition after every 16th byte of a group

constexpr int kLcdMaxFiles = 13;         // files that get menu ids
constexpr int kLcdMaxTypesPerFile = 30;  // types per file before the next file's ids
constexpr std::size_t kLcdNameMax = 259;
constexpr std::size_t kLcdTooltipMax = 2599;
constexpr std::size_t kLcdFontMax = 259;
constexpr std::size_t kLcdLineMax = 2599;
constexpr int32_t kLcdMenuFirst = 32860;
constexpr int32_t kLcdMenuLast = 34120 + kLcdMaxTypesPerFile - 1;  // last id a type can get

constexpr const char* kLcdMagic = "KAVO";
constexpr const char* kLcdHeader = "[LCD TYPES]";
constexpr const char* kLcdNotConfigText = "** This is not a lcd config file\r\n";

// The key the reader applies to a line of the type list: the first of its key order ("Name=",
// "Lines=", "Characters=", "BlColorOn=", ... "Tooltip=") that occurs anywhere in the line, or
// nullptr. The value is the text after the line's first '='.
const char* LcdLineKey(const char* line);
// Whether a key from LcdLineKey is one of the three colour keys.
bool IsLcdColourKey(const char* key);
// A colour value as the reader takes it: "blue,green,red" to 0x00BBGGRR, missing parts 0,
// parts clamped to 0..255.
uint32_t ParseLcdColour(const char* value);

// Menu command id of the first type of a file; -1 for a file index without an id range.
int32_t LcdMenuBase(int fileIndex);

// The codec. Decoding pairs the characters (a final single one is ignored); characters other than
// 0-9, A-F (a-f accepted as well) count as digit 0.
std::string DecodeLcdFile(const char* text, std::size_t length);
std::string EncodeLcdFile(const char* plain, std::size_t length);

// Parses decoded text (magic included) and appends its types to `list` with the menu ids of
// `fileIndex`. Returns the number of types stored, -1 without the magic (silently), -2 when the
// first line is not "[LCD TYPES]" (traced).
int ParseLcdText(MonitorOutput& monitor, const char* text, std::size_t length, int fileIndex, stObjList* list);
// Decodes and parses the raw bytes of a file.
int ParseLcdFileBytes(MonitorOutput& monitor, const char* bytes, std::size_t length, int fileIndex, stObjList* list);
// Reads a file whole and parses it; an unreadable file yields no types (returns 0).
int LoadLcdFile(MonitorOutput& monitor, const char* path, int fileIndex, stObjList* list);

// "<work directory>\ORPDesigns\LCDs".
std::string LcdLibraryFolder(const char* workDir);
// Scans the folder for "*.lcd" files in listing order and loads each into its type list.
// Returns 0 (and changes nothing) when the folder cannot be read; 0 after dropping the previous
// library when it holds no `.lcd` file; 1 otherwise. A dropped type that `draw` shows stops
// being the current type.
int LoadLcdLibrary(stLcdLibrary& library, stLcdDrawState& draw, MonitorOutput& monitor, const char* folder);
// Frees the whole library and the design's own LCD records, and clears the
// current type of `draw` when it was one of them. Detach calls it.
void FreeLcdLibrary(stLcdLibrary& library, stLcdDrawState& draw);

// For the LCDs menu.
int LcdFileCount(const stLcdLibrary& library);
const char* LcdFileName(const stLcdLibrary& library, int fileIndex);
stObjList* LcdTypesOfFile(const stLcdLibrary& library, int fileIndex);
stLcdType* FindLcdTypeById(const stLcdLibrary& library, int32_t id);
// The type with that id whose name equals the menu entry's text byte for byte.
stLcdType* FindLcdTypeByMenuEntry(const stLcdLibrary& library, int32_t id, const char* text);

// Records with three owned strings.
stLcdType* NewLcdType(stHeap& heap, const char* name, const char* tooltip, const char* font);
void ReleaseLcdType(void* item);
int RemoveLcdTypeItem(stObjList* list, stLcdType* item);
stObjList* FreeLcdTypeList(stObjList* list);
// A record with empty text buffers of 260, 2600 and 260 bytes for the design file reader, kept in
// the library until FreeLcdLibrary.
stLcdType* NewDesignLcdType(stLcdLibrary& library);
