// The quota and policy services of this build in the test prefix, for the tests that drive them:
// installed once per test program on the test store (by linking kelvane_test_services), or a quota
// service of one test's own over an empty store (QuotaServiceEnvironment).
#pragma once

#include "client/axcli.h"
#include "tools/child_process.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// Where the tests keep their folders and the service its records (on drive C: of the prefix).
constexpr char kTestRoot[] = "C:\\kelvane-test";
constexpr char kTestStore[] = "C:\\kelvane-test\\store";

using child_process::WindowsPathOf;

// Runs a command line to its end; its exit code (a program that cannot run fails the test).
int RunProgram(const std::string& commandLine, std::string* output = nullptr);
// Runs "axserver <arguments>"; its exit code.
int RunServerProgram(const std::string& arguments);

// Installs (when missing or built anew) and starts both services; fails the test on error.
void EnsureServicesRunning();
void StopServices();
void RestartQuotaService();
// Makes the next EnsureServicesRunning install the services again.
void ForgetInstallation();

// The quota service run in the foreground as a child process on the test store, so that a test
// can end it abruptly as a crash would. The services must be stopped meanwhile.
class ForegroundServer {
public:
    ForegroundServer();
    bool IsServing() const { return m_serving; }
    DWORD ProcessId() const { return m_process.Id(); }
    void Kill();

private:
    child_process::ChildProcess m_process; // killed at the end when still running
    bool m_serving = false;
};

// A quota service of the test's own: installed reporting server kind `kind` over an empty store,
// started, and stopped and removed at the end (the next program installs its services anew).
class QuotaServiceEnvironment {
public:
    explicit QuotaServiceEnvironment(int kind = kServerKindFull);
    ~QuotaServiceEnvironment();
    QuotaServiceEnvironment(const QuotaServiceEnvironment&) = delete;
    QuotaServiceEnvironment& operator=(const QuotaServiceEnvironment&) = delete;

    bool IsRunning() const { return m_running; }
    // A folder below the test's own folder, created on first use ("C:\...\name").
    std::string Folder(const std::string& name) const;
    bool Stop();

private:
    std::string m_root;
    bool m_running = false;
};

// Saves or deletes a quota on `folder` with a client of its own (the object's own quota when
// `owner` is empty); the client's status.
uint32_t SaveQuota(const std::string& folder, uint64_t permQuota, uint32_t attributes = 0,
                   const char* owner = "");
uint32_t DeleteQuota(const std::string& folder, const char* owner = "");

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
// The current user, owner of the files the tests write, as "COMPUTER\name".
std::string CurrentAccount();
std::string ComputerName();
std::string UserName();
// Every record of an enumeration through `client`; an error fails the test.
std::vector<AllotrixBaseDbRec> ListAll(AXCli& client);
// Whether a listed owner is `owner`, named with or without its domain.
bool IsOwner(const char* listed, const std::string& owner);
bool FindListed(AXCli& client, const TestFolder& folder, const std::string& owner,
                AllotrixBaseDbRec& found);

// Polls the listed record until `done` says yes or `timeoutMs` passes; `last` is the last seen.
template <typename Predicate>
bool WaitForRecord(AXCli& client, const TestFolder& folder, const std::string& owner,
                   Predicate done, AllotrixBaseDbRec& last, DWORD timeoutMs = 10000) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(50))
        if (FindListed(client, folder, owner, last) && done(last))
            return true;
    return false;
}

// The record's scan has finished: no scan pending, none running.
inline bool Scanned(const AllotrixBaseDbRec& record) {
    return !record.IsAttributeSet(AttrStatus40000000) && !record.IsAttributeSet(AttrStatus100);
}
