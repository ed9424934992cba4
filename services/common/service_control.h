// Installing, removing, starting and stopping services with the service control manager.
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
// Starts the service and waits until it runs; 0 also when it already ran.
DWORD StartServiceAndWait(const char* name, DWORD timeoutMs = 30000);
// Stops the service and waits until it has stopped; 0 also when it was not running.
DWORD StopServiceAndWait(const char* name, DWORD timeoutMs = 30000);
// The current state (SERVICE_RUNNING, ...) of an installed service.
DWORD QueryServiceState(const char* name, DWORD& state);
// The full path of the running program, quoted for a service command line.
std::string QuotedProgramPath();
