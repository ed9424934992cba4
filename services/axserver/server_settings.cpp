#include "services/axserver/server_settings.h"

#include "base/handles.h"
#include "services/axserver/filter_settings.h"

#include <shlobj.h>

namespace {

DWORD CreateKey(const char* path, base::UniqueKey& key) {
    return RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_ALL_ACCESS, nullptr, key.Put(), nullptr);
}

DWORD SetTextIfMissing(HKEY key, const char* name, const char* text) {
    if (RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
        return ERROR_SUCCESS;
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(strlen(text) + 1));
}

} // namespace

std::string DefaultStoreFolder() {
    char base[MAX_PATH] = {};
    if (SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, base) != S_OK)
        strcpy(base, "C:\\ProgramData");
    return std::string(base) + "\\Ostrel\\Allotrix\\Store";
}

std::string StoreFolderSetting() {
    for (const char* path : {kParametersKey, kKeptSettingsKey}) {
        char folder[MAX_PATH] = {};
        DWORD size = sizeof folder - 1;
        if (RegGetValueA(HKEY_LOCAL_MACHINE, path, "StoreFolder", RRF_RT_REG_SZ, nullptr, folder,
                         &size) == ERROR_SUCCESS &&
            folder[0])
            return folder;
    }
    return DefaultStoreFolder();
}

int ServerKindSetting() {
    DWORD kind = 0;
    DWORD size = sizeof kind;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, kParametersKey, "ServerKind", RRF_RT_REG_DWORD, nullptr,
                     &kind, &size) != ERROR_SUCCESS)
        return 0;
    return static_cast<int>(kind);
}

DWORD WriteStoreFolderSetting(const std::string& folder) {
    for (const char* path : {kParametersKey, kKeptSettingsKey}) {
        base::UniqueKey key;
        DWORD error = CreateKey(path, key);
        if (error == ERROR_SUCCESS)
            error = RegSetValueExA(key.Get(), "StoreFolder", 0, REG_SZ,
                                   reinterpret_cast<const BYTE*>(folder.c_str()),
                                   static_cast<DWORD>(folder.size() + 1));
        if (error != ERROR_SUCCESS)
            return error;
    }
    return ERROR_SUCCESS;
}

DWORD WriteServerKindSetting(DWORD kind) {
    base::UniqueKey key;
    DWORD error = CreateKey(kParametersKey, key);
    if (error != ERROR_SUCCESS)
        return error;
    return RegSetValueExA(key.Get(), "ServerKind", 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&kind), sizeof kind);
}

DWORD CreateConsoleKeys() {
    base::UniqueKey key;
    DWORD error = CreateKey("Software\\Ostrel\\Allotrix\\4.0", key);
    if (error == ERROR_SUCCESS)
        error = SetTextIfMissing(key.Get(), "ServerAuditing", "Disabled");
    if (error == ERROR_SUCCESS)
        error = SetTextIfMissing(key.Get(), "PolicyAuditing", "Disabled");
    for (const char* path : {"Software\\Ostrel\\Mail", "Software\\Ostrel\\Allotrix\\Templates",
                             kFilterParametersKey}) {
        if (error != ERROR_SUCCESS)
            break;
        error = CreateKey(path, key);
    }
    return error;
}
