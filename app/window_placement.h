// Where the console's window was when it last ended (its normal position and size, and whether
// it was maximised), kept in the per-user profile beside the column layout.
#pragma once

#include <windows.h>

// Puts `window` where it was saved, without showing it; true when it was maximised there.
// A saved place that lies off every monitor is not used.
bool RestoreWindowPlacement(HWND window);
bool SaveWindowPlacement(HWND window);
