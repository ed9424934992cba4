// What the services page shows for one service: its state text, its status text and whether it
// counts as running.
#pragma once

#include <windows.h>

#include <string>

struct ServiceStateText {
    std::string state;  // "Running", "Stopped", "Pending" or "Paused"
    std::string status; // empty, "Not Installed" or the system's text for the query's error
    bool running = false;
};

// From the result of QueryServiceState: `error` 0 with the service's `state`, or the error.
ServiceStateText DescribeServiceState(DWORD error, DWORD state);
