// Settings record, value table, text forms and the read / first-start / write sequences.
//
// The value table drives both directions so a new value cannot be written but forgotten on
// read. Reading is defensive about what it finds in the key, because anyone can edit it: texts
// are cut to their field and always terminated, a placement of the wrong size is ignored, a
// number that is not decimal text reads as its leading digits or 0.
#include "settings/settings.h"

#include <climits>
#include <cstddef>
#include <cstring>

namespace {

#define ORP_NUMBER(name, field) \
    { name, SettingKind::kNumber, offsetof(stSettings, field), sizeof(int32_t) }
#define ORP_TEXT(name, field) \
    { name, SettingKind::kText, offsetof(stSettings, field), sizeof(stSettings::field) }
#define ORP_PLACEMENT(name, field) \
    { name, SettingKind::kPlacement, offsetof(stSettings, field), sizeof(stWindowPlacement) }

const stSettingValue kValues[] = {
    ORP_NUMBER("RegistrySet", registrySet),
    ORP_NUMBER("IFaceType", ifaceType),
    ORP_NUMBER("IFaceOpen", ifaceOpen),
    ORP_NUMBER("RxTx", rxTx),
    ORP_NUMBER("RxTxLog", rxTxLog),
    ORP_NUMBER("Trace", trace),
    ORP_NUMBER("TraceLog", traceLog),
    ORP_NUMBER("CommPort", commPort),
    ORP_NUMBER("CommBaud", commBaud),
    ORP_NUMBER("CommFlow", commFlow),
    ORP_NUMBER("CommDBits", commDBits),
    ORP_NUMBER("CommSBits", commSBits),
    ORP_NUMBER("CommParity", commParity),
    ORP_TEXT("NetIp", netIp),
    ORP_NUMBER("NetPort", netPort),
    ORP_NUMBER("Scale", scale),
    ORP_TEXT("FileCfg", fileCfg),
    ORP_TEXT("ContextHelpFile", contextHelpFile),
    ORP_TEXT("HelpFile", helpFile),
    ORP_TEXT("WrkDir", wrkDir),
    ORP_PLACEMENT("MainPlacement", mainPlacement),
    ORP_PLACEMENT("OrpPlacement", orpPlacement),
    ORP_PLACEMENT("TracePlacement", tracePlacement),
    ORP_PLACEMENT("RxTxPlacement", rxTxPlacement),
};
constexpr std::size_t kValueCount = sizeof kValues / sizeof kValues[0];

#undef ORP_NUMBER
#undef ORP_TEXT
#undef ORP_PLACEMENT

// Read order: the logging and interface switches first, the port number and baud rate last.
const char* const kReadOrderNames[kValueCount] = {
    "RegistrySet", "IFaceType", "IFaceOpen", "RxTx", "RxTxLog", "Trace", "TraceLog",
    "CommFlow", "CommDBits", "CommSBits", "CommParity", "Scale", "NetIp", "NetPort",
    "FileCfg", "HelpFile", "ContextHelpFile", "WrkDir",
    "MainPlacement", "OrpPlacement", "TracePlacement", "RxTxPlacement",
    "CommPort", "CommBaud",
};

const stSettingValue* const* BuildReadOrder() {
    static const stSettingValue* order[kValueCount];
    for (std::size_t i = 0; i < kValueCount; ++i) order[i] = FindSettingValue(kReadOrderNames[i]);
    return order;
}

unsigned char* FieldOf(stSettings& settings, const stSettingValue& value) {
    return reinterpret_cast<unsigned char*>(&settings) + value.offset;
}

void ReadOne(stSettings& settings, SettingsStore& store, const stSettingValue& value) {
    std::string bytes;
    SettingsValueType type = SettingsValueType::kOther;
    const bool present = store.ReadValue(value.name, &bytes, &type);
    unsigned char* field = FieldOf(settings, value);
    switch (value.kind) {
    case SettingKind::kNumber: {
        int32_t number = 0;
        if (present) {
            if (type == SettingsValueType::kDword && bytes.size() == sizeof number)
                std::memcpy(&number, bytes.data(), sizeof number);
            else
                number = ParseSettingNumber(bytes);
        }
        std::memcpy(field, &number, sizeof number);
        break;
    }
    case SettingKind::kText:
        if (present) CopySettingText(reinterpret_cast<char*>(field), value.size, bytes);
        break;
    case SettingKind::kPlacement:
        // Anything but a whole record would leave a half-updated placement: keep the old one.
        if (present && bytes.size() == sizeof(stWindowPlacement))
            std::memcpy(field, bytes.data(), sizeof(stWindowPlacement));
        break;
    }
}

const unsigned char* FieldOf(const stSettings& settings, const stSettingValue& value) {
    return reinterpret_cast<const unsigned char*>(&settings) + value.offset;
}

bool WriteOne(const stSettings& settings, SettingsStore& store, const stSettingValue& value) {
    const unsigned char* field = FieldOf(settings, value);
    switch (value.kind) {
    case SettingKind::kNumber: {
        int32_t number;
        std::memcpy(&number, field, sizeof number);
        const std::string text = FormatSettingNumber(number);
        return store.WriteValue(value.name, SettingsValueType::kString, text.data(), text.size());
    }
    case SettingKind::kText: {
        const char* text = reinterpret_cast<const char*>(field);
        const std::size_t length = strnlen(text, value.size);
        return store.WriteValue(value.name, SettingsValueType::kString, text, length);
    }
    case SettingKind::kPlacement:
        return store.WriteValue(value.name, SettingsValueType::kBinary, field,
                                sizeof(stWindowPlacement));
    }
    return false;
}

}  // namespace

const stSettingValue* SettingValues(std::size_t* count) {
    if (count) *count = kValueCount;
    return kValues;
}

const stSettingValue* const* SettingReadOrder(std::size_t* count) {
    static const stSettingValue* const* order = BuildReadOrder();
    if (count) *count = kValueCount;
    return order;
}

const stSettingValue* FindSettingValue(const char* name) {
    for (const stSettingValue& value : kValues)
        if (std::strcmp(value.name, name) == 0) return &value;
    return nullptr;
}

std::string FormatSettingNumber(int32_t value) { return std::to_string(value); }

int32_t ParseSettingNumber(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    long long magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > static_cast<long long>(INT32_MAX) + 1) magnitude = INT64_C(1) << 32;
    }
    const long long value = negative ? -magnitude : magnitude;
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

void CopySettingText(char* field, std::size_t size, const std::string& bytes) {
    if (size == 0) return;
    std::size_t length = strnlen(bytes.data(), bytes.size());
    if (length > size - 1) length = size - 1;
    std::memcpy(field, bytes.data(), length);
    field[length] = '\0';
}

void SetDefaultSettings(stSettings& settings) {
    for (const stSettingValue& value : kValues) std::memset(FieldOf(settings, value), 0, value.size);
    settings.registrySet = 1;
    settings.commPort = 1;
    settings.commBaud = 4800;
    settings.commDBits = 8;
    settings.commSBits = 1;
    std::strcpy(settings.netIp, "0.0.0.0");
}

int WriteSettings(stSettings& settings, SettingsStore& store, SettingsHost& host) {
    // A window that does not exist leaves its placement in the record as it is.
    stWindowPlacement placement;
    if (host.GetPlacement(PlacementWindow::kPanel, &placement)) settings.orpPlacement = placement;
    if (host.GetPlacement(PlacementWindow::kTrace, &placement)) settings.tracePlacement = placement;
    if (host.GetPlacement(PlacementWindow::kMonitor, &placement)) settings.rxTxPlacement = placement;
    if (host.GetPlacement(PlacementWindow::kHost, &placement)) settings.mainPlacement = placement;
    bool all = true;
    for (const stSettingValue& value : kValues)
        if (!WriteOne(settings, store, value)) all = false;
    return all ? 1 : 0;
}

int InitSettings(stSettings& settings, SettingsStore& store, SettingsHost& host) {
    // The local machine is where the first start puts the key, but an ordinary user account may
    // not write there; the current user's key then serves the same purpose.
    if (!store.CreateKey(SettingsRoot::kLocalMachine) &&
        !store.CreateKey(SettingsRoot::kCurrentUser))
        return 0;
    SetDefaultSettings(settings);
    if (!host.GetCurrentDir(settings.wrkDir, sizeof settings.wrkDir)) settings.wrkDir[0] = '\0';
    settings.wrkDir[sizeof settings.wrkDir - 1] = '\0';
    WriteOne(settings, store, *FindSettingValue("WrkDir"));
    WriteSettings(settings, store, host);
    return 1;
}

int PrepareLogDirectory(stSettings& settings, SettingsHost& host) {
    const std::size_t length = strnlen(settings.wrkDir, sizeof settings.wrkDir);
    // Work directory, separator, "log" and the zero must fit the field; a longer path would
    // name some other directory, so there is then no log directory at all.
    if (length + 5 > sizeof settings.logDir) {
        settings.logDir[0] = '\0';
        host.ReportProblem(kLogDirErrorText);
        return 0;
    }
    std::memcpy(settings.logDir, settings.wrkDir, length);
    settings.logDir[length] = kPathSeparator;
    std::memcpy(settings.logDir + length + 1, "log", 4);
    if (host.DirectoryExists(settings.logDir)) {
        host.SetCurrentDir(settings.logDir);
        return 1;
    }
    if (!host.CreateDir(settings.logDir)) {
        host.ReportProblem(kLogDirErrorText);
        return 0;
    }
    return 1;
}

int ReadSettings(stSettings& settings, SettingsStore& store, SettingsHost& host) {
    if (!store.OpenKey(SettingsRoot::kCurrentUser) &&
        !store.OpenKey(SettingsRoot::kLocalMachine) && !InitSettings(settings, store, host)) {
        host.ShowFatalRegistryError();
        return 0;
    }
    ReadSettingValues(settings, store);
    PrepareLogDirectory(settings, host);
    return 1;
}

void ReadSettingValues(stSettings& settings, SettingsStore& store) {
    std::size_t count = 0;
    const stSettingValue* const* order = SettingReadOrder(&count);
    for (std::size_t i = 0; i < count; ++i) ReadOne(settings, store, *order[i]);
}

int WriteSettingValue(const stSettings& settings, SettingsStore& store, const stSettingValue& value) {
    return WriteOne(settings, store, value) ? 1 : 0;
}

int LoadSettings(stSettings& settings, const SettingsBackend& backend) {
    if (!backend.store || !backend.host) return 0;
    return ReadSettings(settings, *backend.store, *backend.host);
}

int SaveSettings(stSettings& settings, const SettingsBackend& backend) {
    if (!backend.store || !backend.host) return 0;
    return WriteSettings(settings, *backend.store, *backend.host);
}
