#include "services/common/event_log.h"

#include "base/error_text.h"

#include "base/handles.h"

#include "service_events.h"

#include <cstdio>

namespace {

constexpr char kEventSources[] = "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\";
// The log file is renamed to .old and started afresh once it passes this size.
constexpr DWORD kLogFileLimit = 4 * 1024 * 1024;

struct EventSourceTraits {
    static HANDLE Invalid() { return nullptr; }
    static void Close(HANDLE h) { DeregisterEventSource(h); }
};
using UniqueEventSource = base::UniqueHandle<HANDLE, EventSourceTraits>;

const char* LevelName(WORD type) {
    switch (type) {
    case EVENTLOG_ERROR_TYPE:
        return "Error";
    case EVENTLOG_WARNING_TYPE:
        return "Warning";
    default:
        return "Information";
    }
}

} // namespace

std::string DescribeError(DWORD error) {
    std::string words = ErrorText(error);
    while (!words.empty() && (words.back() == '\n' || words.back() == '\r' || words.back() == ' '))
        words.pop_back();
    return "error " + std::to_string(error) + (words.empty() ? "" : ": " + words);
}

DWORD InstallEventSource(const char* source) {
    base::UniqueKey key;
    std::string path = std::string(kEventSources) + source;
    DWORD error = RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, key.Put(), nullptr);
    if (error != ERROR_SUCCESS)
        return error;
    char program[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, sizeof program);
    DWORD types = EVENTLOG_ERROR_TYPE | EVENTLOG_WARNING_TYPE | EVENTLOG_INFORMATION_TYPE;
    error = RegSetValueExA(key.Get(), "EventMessageFile", 0, REG_EXPAND_SZ,
                           reinterpret_cast<const BYTE*>(program),
                           static_cast<DWORD>(strlen(program) + 1));
    if (error == ERROR_SUCCESS)
        error = RegSetValueExA(key.Get(), "TypesSupported", 0, REG_DWORD,
                               reinterpret_cast<const BYTE*>(&types), sizeof types);
    return error;
}

void RemoveEventSource(const char* source) {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(kEventSources) + source).c_str());
}

bool AuditingSwitchOn(const char* valueName) {
    char text[260] = {};
    for (const char* key : {"Software\\Ostrel\\Allotrix\\4.0", "Software\\Ostrel\\Allotrix\\2.1"}) {
        base::UniqueKey opened;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_QUERY_VALUE, opened.Put()) !=
            ERROR_SUCCESS)
            continue;
        DWORD size = sizeof text - 1;
        if (RegQueryValueExA(opened.Get(), valueName, nullptr, nullptr,
                             reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS)
            return false;
        return strstr(text, "Enabled") != nullptr;
    }
    return false;
}

EventLog::EventLog(std::string source, std::string logFile)
    : m_source(std::move(source)), m_logFile(std::move(logFile)) {}

DWORD EventLog::Write(WORD type, const std::string& text, const std::string& server) {
    AppendToFile(type, text, server);
    UniqueEventSource source(
        RegisterEventSourceA(server.empty() ? nullptr : server.c_str(), m_source.c_str()));
    if (!source)
        return GetLastError();
    const char* strings[] = {text.c_str()};
    if (!ReportEventA(source.Get(), type, 0, MSG_SERVICE_TEXT, nullptr, 1, 0, strings, nullptr))
        return GetLastError();
    return ERROR_SUCCESS;
}

void EventLog::AppendToFile(WORD type, const std::string& text, const std::string& server) {
    if (m_logFile.empty())
        return;
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char stamp[64];
    snprintf(stamp, sizeof stamp, "%04u-%02u-%02u %02u:%02u:%02u %s", now.wYear, now.wMonth,
             now.wDay, now.wHour, now.wMinute, now.wSecond, LevelName(type));
    std::string line = stamp;
    if (!server.empty())
        line += " (to " + server + ")";
    line += ": " + text;
    for (char& c : line)
        if (c == '\r' || c == '\n')
            c = ' ';
    line += "\r\n";

    std::lock_guard<std::mutex> hold(m_lock);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (GetFileAttributesExA(m_logFile.c_str(), GetFileExInfoStandard, &data) &&
        (data.nFileSizeHigh || data.nFileSizeLow > kLogFileLimit))
        MoveFileExA(m_logFile.c_str(), (m_logFile + ".old").c_str(), MOVEFILE_REPLACE_EXISTING);
    base::UniqueFile file(CreateFileA(m_logFile.c_str(), FILE_APPEND_DATA,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return;
    DWORD written = 0;
    WriteFile(file.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}
