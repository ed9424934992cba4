// The message that tells the console's main window whether the quota service answers.
#pragma once

#include <windows.h>

// Sent to the main window by the monitor's refresh thread after each connect attempt, and by
// the services page after it started (wParam 1) or stopped (wParam 0) the quota service.
// wParam 1: the quota service answers; 0: it does not.
constexpr UINT WM_AXMON_CONNECTED = WM_APP + 140;
