// The services' entries in the Windows event log, each also appended to a log file of the
// service (Wine keeps no event log: the file is where its entries can be read there).
#pragma once

#include <windows.h>

#include <mutex>
#include <string>

// Registers `source` as an event source of the Application log, with this program as its message
// file; RemoveEventSource removes it again.
DWORD InstallEventSource(const char* source);
void RemoveEventSource(const char* source);

// True when the auditing value `valueName` ("ServerAuditing", "PolicyAuditing") of the server's
// registry contains "Enabled".
bool AuditingSwitchOn(const char* valueName);

// The system's text for `error` with its code: "error 5: Access is denied.".
std::string DescribeError(DWORD error);

class EventLog {
public:
    // Entries go to `source` in the event log and to `logFile` (empty: no file).
    EventLog(std::string source, std::string logFile);

    // Writes `text` at level `type` (EVENTLOG_INFORMATION_TYPE, ...) to the event log of `server`
    // (empty: this computer) and to the file. Returns 0 or the event log's error.
    DWORD Write(WORD type, const std::string& text, const std::string& server = "");

    const std::string& LogFile() const { return m_logFile; }

private:
    void AppendToFile(WORD type, const std::string& text, const std::string& server);

    std::string m_source;
    std::string m_logFile;
    std::mutex m_lock;
};
