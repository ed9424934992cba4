#include "services/axpolicy/policy_settings.h"

#include "services/axserver/server_settings.h"
#include "base/handles.h"

#include <cstdlib>

namespace {

std::string ReadValue(HKEY key, const char* name) {
    char text[82] = {};
    DWORD size = sizeof text - 1;
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size) !=
        ERROR_SUCCESS)
        return "";
    return text;
}

} // namespace

std::string PolicyFolder() {
    std::string store = StoreFolderSetting();
    while (!store.empty() && (store.back() == '\\' || store.back() == '/'))
        store.pop_back();
    size_t slash = store.find_last_of("\\/");
    std::string folder = (slash == std::string::npos ? store : store.substr(0, slash)) + "\\Policy";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

DWORD ReadMailSettings(MailSettings& settings) {
    base::UniqueKey key;
    DWORD error =
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Ostrel\\Mail", 0, KEY_QUERY_VALUE, key.Put());
    if (error != ERROR_SUCCESS)
        return error;
    std::string server = ReadValue(key.Get(), "SMTP Server");
    size_t colon = server.rfind(':');
    if (colon != std::string::npos) {
        settings.port = static_cast<uint16_t>(atoi(server.c_str() + colon + 1));
        server.resize(colon);
    }
    if (server.empty() || settings.port == 0)
        return ERROR_FILE_NOT_FOUND;
    settings.host = server;
    settings.sender = ReadValue(key.Get(), "Sender");
    settings.username = ReadValue(key.Get(), "Username");
    settings.password = ReadValue(key.Get(), "Password");
    return ERROR_SUCCESS;
}
