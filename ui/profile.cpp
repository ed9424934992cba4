#include "ui/profile.h"

#include "base/handles.h"

namespace ui {

namespace {
std::string g_root = "Software\\Kelvane";

base::UniqueKey OpenSection(const char* section, bool create) {
    std::string path = g_root + "\\" + section;
    base::UniqueKey key;
    LONG status = create ? RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0,
                                           KEY_READ | KEY_WRITE, nullptr, key.Put(), nullptr)
                         : RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.Put());
    if (status != ERROR_SUCCESS)
        key.Release();
    return key;
}
} // namespace

void Profile::SetRoot(const std::string& company, const std::string& application) {
    g_root = "Software\\" + company + "\\" + application;
}

const std::string& Profile::RootPath() {
    return g_root;
}

UINT Profile::GetInt(const char* section, const char* value, UINT defaultValue) {
    base::UniqueKey key = OpenSection(section, false);
    DWORD data = 0, type = 0, size = sizeof data;
    if (!key ||
        RegQueryValueExA(key.Get(), value, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD)
        return defaultValue;
    return data;
}

bool Profile::WriteInt(const char* section, const char* value, UINT data) {
    base::UniqueKey key = OpenSection(section, true);
    DWORD dword = data;
    return key &&
           RegSetValueExA(key.Get(), value, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dword),
                          sizeof dword) == ERROR_SUCCESS;
}

std::string Profile::GetString(const char* section, const char* value,
                               const std::string& defaultValue) {
    base::UniqueKey key = OpenSection(section, false);
    DWORD type = 0, size = 0;
    if (!key ||
        RegQueryValueExA(key.Get(), value, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return defaultValue;
    std::string text(size, '\0');
    if (RegQueryValueExA(key.Get(), value, nullptr, nullptr, reinterpret_cast<BYTE*>(text.data()),
                         &size) != ERROR_SUCCESS)
        return defaultValue;
    text.resize(strnlen(text.c_str(), size));
    return text;
}

bool Profile::WriteString(const char* section, const char* value, const std::string& data) {
    base::UniqueKey key = OpenSection(section, true);
    return key &&
           RegSetValueExA(key.Get(), value, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>(data.size() + 1)) == ERROR_SUCCESS;
}

} // namespace ui
