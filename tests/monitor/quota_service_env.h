// The real quota service for a test: installed with a record store of the test's own, started,
// and stopped and removed again at the end.
#pragma once

#include "client/axcli.h"

#include <windows.h>

#include <string>

class QuotaServiceEnvironment {
public:
    // Installs AXServer reporting server kind `kind` over an empty store and starts it.
    explicit QuotaServiceEnvironment(int kind = kServerKindFull);
    ~QuotaServiceEnvironment();
    QuotaServiceEnvironment(const QuotaServiceEnvironment&) = delete;
    QuotaServiceEnvironment& operator=(const QuotaServiceEnvironment&) = delete;

    bool IsRunning() const { return m_running; }
    // Runs "axserver <arguments>" and returns its exit code (or a failure text in `output`).
    static int RunServerProgram(const std::string& arguments);

    // A folder below the test's own folder, created on first use ("C:\...\name").
    std::string Folder(const std::string& name) const;
    // Saves a quota on the folder with a separate client: the object's own quota when `owner`
    // is empty. Returns the client's status.
    uint32_t SaveQuota(const std::string& folder, uint64_t permQuota, uint32_t attributes = 0,
                       const char* owner = "") const;
    uint32_t DeleteQuota(const std::string& folder, const char* owner = "") const;
    bool Stop();

private:
    std::string m_root;
    bool m_running = false;
};
