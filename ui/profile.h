// The per-user settings of the application: HKEY_CURRENT_USER\Software\<company>\<application>,
// one subkey per section.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

class Profile {
public:
    // The key every section lives under; set once at start-up (e.g. "Ostrel", "Kelvane").
    static void SetRoot(const std::string& company, const std::string& application);
    static const std::string& RootPath();

    static UINT GetInt(const char* section, const char* value, UINT defaultValue);
    static bool WriteInt(const char* section, const char* value, UINT data);
    static std::string GetString(const char* section, const char* value,
                                 const std::string& defaultValue);
    static bool WriteString(const char* section, const char* value, const std::string& data);
};

} // namespace ui
