// Puts the quota and policy services of this build in place in the test prefix, once per test
// process: installed from the built programs, pointed at a store folder of the test run, running.
#pragma once

#include "client/axcli.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// Where the tests keep their folders and the service its records (on drive C: of the prefix).
constexpr char kTestRoot[] = "C:\\kelvane-test";
constexpr char kTestStore[] = "C:\\kelvane-test\\store";

// A path of the Linux file system as Windows programs under Wine see it (on drive Z:).
std::string WindowsPathOf(const char* unixPath);

// Runs a command line to its end (at most 30 seconds); its exit code.
DWORD RunProgram(const std::string& commandLine);
// The built quota service program, as Windows programs see it.
std::string ServerProgram();

// Installs (when missing or built anew) and starts both services; fails the test on error.
void EnsureServicesRunning();
// Stops both services through the service control manager.
void StopServices();
// Restarts the quota service through the service control manager.
void RestartQuotaService();
// Marks the installed services as not this build's, so that the next EnsureServicesRunning
// installs them again.
void ForgetInstallation();

// The quota service run in the foreground as a child process on the test store, so that a test
// can end it abruptly as a crash would. The services must be stopped meanwhile.
class ForegroundServer {
public:
    ForegroundServer();
    ~ForegroundServer(); // kills it when still running
    bool IsServing() const { return m_serving; }
    DWORD ProcessId() const { return m_process.dwProcessId; }
    void Kill();

private:
    PROCESS_INFORMATION m_process{};
    bool m_serving = false;
};

// A fresh, empty folder below the test root, removed with its quotas when the test ends.
class TestFolder {
public:
    explicit TestFolder(const std::string& name);
    ~TestFolder();
    const std::string& Path() const { return m_path; }
    std::string Device() const { return m_path.substr(0, 2); }
    std::string File() const { return m_path.substr(2); }
    // Writes a file of `size` bytes at `relative` (folders are created), returns its path.
    std::string WriteFile(const std::string& relative, size_t size) const;
    std::string MakeFolder(const std::string& relative) const;

private:
    std::string m_path;
};

// A record for `folder` with the given owner (empty: the object's own quota) and quota.
AllotrixDbRec MakeRecord(const TestFolder& folder, const std::string& owner, uint64_t quota);
// The current user as "COMPUTER\name", owner of the files the tests write.
std::string CurrentAccount();
// Every record of an enumeration through `client`, statuses other than 0 and 1332 fail the test.
std::vector<AllotrixBaseDbRec> ListAll(AXCli& client);
// Polls the listed record until `done` says yes or `timeoutMs` passes; returns the last one seen.
template <typename Predicate>
bool WaitForRecord(AXCli& client, const TestFolder& folder, const std::string& owner,
                   Predicate done, AllotrixBaseDbRec& last, DWORD timeoutMs = 10000);
// Whether a listed owner is `owner`, named with or without its domain.
bool IsOwner(const char* listed, const std::string& owner);
bool FindListed(AXCli& client, const TestFolder& folder, const std::string& owner,
                AllotrixBaseDbRec& found);

template <typename Predicate>
bool WaitForRecord(AXCli& client, const TestFolder& folder, const std::string& owner,
                   Predicate done, AllotrixBaseDbRec& last, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    do {
        if (FindListed(client, folder, owner, last) && done(last))
            return true;
        Sleep(50);
    } while (GetTickCount() - start < timeoutMs);
    return false;
}

// The record's scan has finished: no scan pending, none running.
inline bool Scanned(const AllotrixBaseDbRec& record) {
    return !record.IsAttributeSet(AttrStatus40000000) && !record.IsAttributeSet(AttrStatus100);
}
