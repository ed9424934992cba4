// Running the quota server program (axserver) to install, start, stop and remove its service,
// for tests and benchmarks.
#pragma once

#include <windows.h>

#include <string>

namespace server_program {

// The built quota server program, as Windows programs see it.
std::string ServerProgramPath();

// Runs "axserver <arguments>" and waits up to a minute; returns its exit code, or -1 (with the
// reason in `error`) when it cannot be run or does not end.
int RunServerProgram(const std::string& arguments, std::string& error);

// Stops the policy service, which depends on the quota service: the quota service cannot stop
// while it runs.
void StopPolicyService();

// Deletes `folder` with everything below it; whether it is gone.
bool RemoveTree(const std::string& folder);

} // namespace server_program
