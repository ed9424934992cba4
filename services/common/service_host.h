// Runs a service's body under the service control manager or in the foreground.
#pragma once

#include <windows.h>

#include <functional>

// The body starts its work, calls `running()` once it serves, waits for `stopEvent`, ends its
// work and returns 0 or the Windows error that ended it.
using ServiceBody = std::function<DWORD(HANDLE stopEvent, const std::function<void()>& running)>;

// Hands the process to the service control manager as the service `name` (one service per
// process). Returns 0 after the service stopped, or the dispatcher's error (1063 when the program
// was not started by the service control manager).
DWORD RunAsService(const char* name, ServiceBody body);

// Runs the body in the foreground until Ctrl+C or Ctrl+Break.
DWORD RunInForeground(ServiceBody body);
