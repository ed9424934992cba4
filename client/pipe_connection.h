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

    // Sends one request and reads its response payload. Returns the service's status, or the
    // transport's error (the connection is then broken for good).
    uint32_t Transact(wire::Op op, const wire::Writer& request, std::vector<uint8_t>& response);

    // Also true once the service has closed its end.
    bool IsBroken();

private:
    explicit AXConnection(base::UniqueFile pipe) : m_pipe(std::move(pipe)) {}
    uint32_t Fail(DWORD error);

    std::mutex m_lock;
    base::UniqueFile m_pipe;
    std::atomic<bool> m_broken{false}; // read without the lock a transaction holds
};
