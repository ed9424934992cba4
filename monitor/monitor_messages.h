// Private window messages of the quota monitor.
#pragma once

#include <windows.h>

// Posted by the refresh thread to the monitor view after each completed refresh cycle.
constexpr UINT WM_AXMON_REFRESHED = WM_APP + 111;
// Sent by the refresh thread to the main window after each connect attempt; wParam 1 when the
// quota service answered, 0 when it did not.
constexpr UINT WM_AXMON_CONNECTED = WM_APP + 140;
