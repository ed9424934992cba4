// Installing, removing, querying, starting and stopping services with the service control
// manager of this or another computer. Each call asks the manager only for the rights it needs,
// so querying works without administrator rights. Every function returns 0 or the Windows
// error code of the first step that failed. `machine` is a computer name (with or without a
// leading "\\"); null or empty means this computer.
#pragma once

#include <windows.h>

#include <string>

struct ServiceDefinition {
    std::string name;
    std::string displayName;
    std::string description;
    std::string commandLine;  // program path (quoted) and arguments
    std::string dependencies; // names separated by '\0' (empty for none)
};

// Creates the service, or brings an existing one's configuration up to date. Starts automatically.
DWORD InstallService(const ServiceDefinition& service);
// Stops the service (and waits for it) and removes it; 0 also when it was not installed.
DWORD UninstallService(const char* name);

// The service's current state (SERVICE_STOPPED, SERVICE_RUNNING, ...).
DWORD QueryServiceState(const char* name, const char* machine, DWORD& state);
// Asks the service to start, without waiting.
DWORD StartServiceByName(const char* name, const char* machine);
// Asks the service to stop, without waiting.
DWORD StopServiceByName(const char* name, const char* machine);
// Waits while the service is in `pendingState` (SERVICE_START_PENDING or SERVICE_STOP_PENDING),
// for as long as it reports progress through its check points within its wait hints; gives
// ERROR_SERVICE_REQUEST_TIMEOUT when it stops making progress. `state` is the state it reached.
DWORD WaitWhileServicePending(const char* name, const char* machine, DWORD pendingState,
                              DWORD& state);

// Starts the service and waits until it runs; 0 also when it already ran.
DWORD StartServiceAndWait(const char* name, const char* machine = nullptr);
// Stops the service and waits until it has stopped; 0 also when it was not running.
DWORD StopServiceAndWait(const char* name, const char* machine = nullptr);

// The full path of the running program, quoted for a service command line.
std::string QuotedProgramPath();
