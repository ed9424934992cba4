// Private window messages of the console's main window.
#pragma once

#include <windows.h>

// From the tray icon; lParam is the mouse message.
constexpr UINT WM_AXMON_TRAY = WM_USER + 1;
// From any program: close the console.
constexpr UINT WM_AXMON_EXIT = WM_APP + 141;

// The class of the main window; a second console finds the first by it.
constexpr char kMainWindowClass[] = "OstrelAXMgrClass";
