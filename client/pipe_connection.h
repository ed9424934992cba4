// One connection to the quota service's pipe, carrying request and response messages.
#pragma once

#include "client/wire_protocol.h"
#include "base/handles.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// The name of the service's pipe on `server`: the local pipe when the name is empty or names this
// computer (without regard to case, with or without a leading "\\"), else that computer's pipe.
std::string ServicePipeName(const char* server);
bool NamesLocalComputer(const char* server);
// Whether the pipe name is one of this computer ("\\.\pipe\...").
bool IsLocalPipe(const std::string& pipeName);

class AXConnection {
public:
    AXConnection(const AXConnection&) = delete;
    AXConnection& operator=(const AXConnection&) = delete;

    // Opens the pipe, waiting a few seconds while every instance is busy. 2 when no service
    // listens there; ERROR_SERVICE_NOT_ACTIVE when a local pipe is served by a process that runs
    // neither as an administrator nor as the local system (not the quota service).
    static uint32_t Open(const std::string& pipeName, std::unique_ptr<AXConnection>& connection);

    // Sends one request and reads its response payload within `timeoutMs`. Returns the service's
    // status, or the transport's error (the connection is then closed for good): ERROR_TIMEOUT
    // when the service did not answer in time, ERROR_OPERATION_ABORTED when `cancel` (a
    // manual-reset event, or null) was set meanwhile. A user-interface thread answers the
    // messages other threads send it while it waits.
    uint32_t Transact(wire::Op op, const wire::Writer& request, std::vector<uint8_t>& response,
                      DWORD timeoutMs, HANDLE cancel);

    // Also true once the service has closed its end.
    bool IsBroken();

private:
    AXConnection(base::UniqueFile pipe, base::UniqueHandleKernel ioDone)
        : m_pipe(std::move(pipe)), m_ioDone(std::move(ioDone)) {}
    uint32_t Fail(DWORD error);
    // Moves `size` bytes in one direction, at most until `deadline` (GetTickCount64 time).
    DWORD Transfer(bool write, void* data, size_t size, ULONGLONG deadline, HANDLE cancel);

    std::mutex m_lock;
    base::UniqueFile m_pipe;
    base::UniqueHandleKernel m_ioDone; // manual-reset event of the overlapped reads and writes
    std::atomic<bool> m_broken{false}; // read without the lock a transaction holds
};
