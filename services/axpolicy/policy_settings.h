// Where the policy service keeps its files, and the server's mail settings.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// The policy service's folder, beside the quota service's record store ("...\Allotrix\Policy"
// for the store "...\Allotrix\Store"): its crossing state, its log file AXPolicy.log and the
// reports of thresholds without an output directory. Created when missing.
std::string PolicyFolder();

// The SMTP settings of the server (the "Software\Ostrel\Mail" key). The server address may carry
// a port ("mail.example.com:2525").
struct MailSettings {
    std::string host;
    uint16_t port = 25;
    std::string sender;
    std::string username;
    std::string password;
};

// Reads the settings; ERROR_FILE_NOT_FOUND when no SMTP server is set.
DWORD ReadMailSettings(MailSettings& settings);
