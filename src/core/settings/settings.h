// The panel's settings: one record per panel (stPanel::settings), filled from the registry key
// "Software\Tavelle\OrPpanel\Settings" when the main window is created and written back whenever
// a dialog or a file command changes it.
//
// The registry itself stays in the Win32 layer. The core sees it through SettingsStore (open the
// key under the current user or the local machine, create it, read and write one value) and
// reaches the rest of the platform (current directory, log directory, window placements, the
// fatal message box) through SettingsHost. Both are small abstract classes so the whole read /
// first-start / write logic runs natively against in-memory fakes.
//
// Storage forms, kept exactly because other installations share the key: every number is
// decimal text in a string value, every text a string value written without its terminating
// zero, every placement a 44-byte window placement record in a binary value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

constexpr std::size_t kSettingsPathSize = 260;   // every path field, terminating zero included
constexpr std::size_t kSettingsIpSize = 16;      // "255.255.255.255" and its zero

// Path separator of the platform the core runs on: the DLL builds Windows paths, the native
// tools and tests build POSIX paths from the same code.
#if defined(_WIN32)
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

// Byte image of a Win32 WINDOWPLACEMENT (length, flags, show command, minimised and maximised
// positions, normal rectangle): eleven 32-bit fields, 44 bytes, stored as is.
struct stWindowPlacement {
    int32_t length;
    int32_t flags;
    int32_t showCmd;
    int32_t minX, minY;
    int32_t maxX, maxY;
    int32_t left, top, right, bottom;
};
static_assert(sizeof(stWindowPlacement) == 44, "window placement records are 44 bytes");

struct stSettings {
    // Communication fields, in the order the communication settings dialog works with them.
    int32_t registrySet;      // "RegistrySet": 1 once settings exist (settings valid)
    int32_t ifaceType;        // "IFaceType": 0 serial, otherwise network
    int32_t commPort;         // "CommPort": COM port 1 to 10
    int32_t commBaud;         // "CommBaud"
    int32_t commParity;       // "CommParity": 0 none, 1 odd, 2 even
    int32_t commFlow;         // "CommFlow"
    int32_t commDBits;        // "CommDBits"
    int32_t commSBits;        // "CommSBits"
    char netIp[kSettingsIpSize];  // "NetIp": dotted IPv4 address as typed
    int32_t netPort;          // "NetPort"
    int32_t ifaceOpen;        // "IFaceOpen": connect at the first activation

    // Windows shown at start and logging switches.
    int32_t rxTx;             // "RxTx": show the Rx/Tx monitor at the first activation
    int32_t rxTxLog;          // "RxTxLog": write the RXTX log
    int32_t trace;            // "Trace": show the trace window at the first activation
    int32_t traceLog;         // "TraceLog": write the TRACE log

    int32_t scale;            // "Scale": 1 = 100 %, 2 = 50 %, 3 = 75 %, other values 100 %

    char fileCfg[kSettingsPathSize];          // "FileCfg": current design file
    char contextHelpFile[kSettingsPathSize];  // "ContextHelpFile"
    char helpFile[kSettingsPathSize];         // "HelpFile"
    char wrkDir[kSettingsPathSize];           // "WrkDir": base of splash, logs and documents

    stWindowPlacement mainPlacement;   // "MainPlacement": the host window (recorded only)
    stWindowPlacement orpPlacement;    // "OrpPlacement": the panel window
    stWindowPlacement tracePlacement;  // "TracePlacement"
    stWindowPlacement rxTxPlacement;   // "RxTxPlacement"

    // Not stored in the registry.
    char lastBitmap[kSettingsPathSize];  // last front plate bitmap opened
    char logDir[kSettingsPathSize];      // wrkDir + separator + "log"; empty if it does not fit
};

enum class SettingsRoot { kCurrentUser, kLocalMachine };

enum class SettingsValueType { kString, kBinary, kDword, kOther };

// The registry key as the settings logic needs it. One key at a time: a successful OpenKey or
// CreateKey makes that key the one later reads and writes go to, and keeps it open.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // Opens the existing key under `root` with full access; false if it does not exist.
    virtual bool OpenKey(SettingsRoot root) = 0;
    // Creates (or opens) the key under `root`; false if that is not possible.
    virtual bool CreateKey(SettingsRoot root) = 0;
    // The raw bytes and type of a value of the open key; false if it is missing.
    virtual bool ReadValue(const char* name, std::string* bytes, SettingsValueType* type) = 0;
    // Writes a value of the open key; false on failure.
    virtual bool WriteValue(const char* name, SettingsValueType type, const void* data,
                            std::size_t size) = 0;
};

enum class PlacementWindow { kHost, kPanel, kTrace, kMonitor };

// Everything else the settings logic needs from the platform.
class SettingsHost {
public:
    virtual ~SettingsHost() = default;
    // The process's current directory; false if it cannot be had.
    virtual bool GetCurrentDir(char* buffer, std::size_t size) = 0;
    virtual bool SetCurrentDir(const char* path) = 0;
    virtual bool DirectoryExists(const char* path) = 0;
    virtual bool CreateDir(const char* path) = 0;
    // Current placement of one of the four windows; false if the window does not exist.
    virtual bool GetPlacement(PlacementWindow window, stWindowPlacement* placement) = 0;
    // Tells the user that the settings key can be neither opened nor created.
    virtual void ShowFatalRegistryError() = 0;
    // Shows a problem that does not stop the panel (the log directory cannot be made) where the
    // user sees diagnostics; the panel's host puts it into the trace output.
    virtual void ReportProblem(const char* text) { (void)text; }
};

// Texts of the fatal message shown when the key can be neither opened nor created.
constexpr const char* kRegistryErrorText =
    "Fehler bei der Registriereung. Programm kann nicht ausgef\xFChrt werden.";
constexpr const char* kRegistryErrorCaption = "Schwerwiegender Fehler";
// Trace line when the log directory cannot be created.
constexpr const char* kLogDirErrorText = "FEHLER: Konnte Log Verzeichnis nicht erstellen\n";

// Value kinds and the value table, in the order the values are written.
enum class SettingKind { kNumber, kText, kPlacement };
struct stSettingValue {
    const char* name;
    SettingKind kind;
    std::size_t offset;  // of the field in stSettings
    std::size_t size;    // of the field (texts: buffer size with the zero)
};
// The 24 stored values in write order.
const stSettingValue* SettingValues(std::size_t* count);
// The same values in the order ReadSettings reads them.
const stSettingValue* const* SettingReadOrder(std::size_t* count);
const stSettingValue* FindSettingValue(const char* name);

// Text forms. A number is its decimal text; reading accepts leading blanks and a sign, ignores
// what follows the digits, reads text without digits as 0 and clamps to the 32-bit range.
std::string FormatSettingNumber(int32_t value);
int32_t ParseSettingNumber(const std::string& text);
// Copies a stored text into a field of `size` bytes: stops at an embedded zero, cuts what does
// not fit and always terminates.
void CopySettingText(char* field, std::size_t size, const std::string& bytes);

// Fills the record with the first-start defaults (the work directory is left to the caller).
void SetDefaultSettings(stSettings& settings);

// Reads every value of the open key into the record, in read order; a missing number reads as
// 0, a missing text or placement leaves the field as it was.
void ReadSettingValues(stSettings& settings, SettingsStore& store);
// Writes one value of the record to the open key in its storage form. Returns 1 on success.
int WriteSettingValue(const stSettings& settings, SettingsStore& store, const stSettingValue& value);

// Reads the settings: opens the key under the current user, else under the local machine, else
// runs the first start; then reads every value and prepares the log directory. Returns 1, or 0
// (after the fatal message) when the key can be neither opened nor created.
int ReadSettings(stSettings& settings, SettingsStore& store, SettingsHost& host);
// First start: creates the key (local machine, or the current user when the local machine is
// not writable), fills the defaults, takes the current directory as work directory and writes
// everything. Returns 1, or 0 when no key could be created.
int InitSettings(stSettings& settings, SettingsStore& store, SettingsHost& host);
// Refreshes the placements from the windows that exist and writes every value in table order.
// Returns 1 when every value was written.
int WriteSettings(stSettings& settings, SettingsStore& store, SettingsHost& host);
// Builds the log directory from the work directory, makes it the current directory when it
// exists, else creates it (reporting the failure to the host). Returns 1 when the directory
// exists afterwards.
int PrepareLogDirectory(stSettings& settings, SettingsHost& host);

// Where a panel's settings live (the registry in the DLL), installed by its front end. Parts that
// change a setting call SaveSettings without knowing where the settings live.
struct SettingsBackend {
    SettingsStore* store = nullptr;
    SettingsHost* host = nullptr;
};
// ReadSettings / WriteSettings of `settings` through the backend; 0 without one.
int LoadSettings(stSettings& settings, const SettingsBackend& backend);
int SaveSettings(stSettings& settings, const SettingsBackend& backend);
