// Helpers of the framework tests: waiting for windows that another thread opens, and pumping this
// thread's messages until something happened.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace ui_test {

// Delivers this thread's messages until condition holds or the time is up; returns condition().
bool PumpUntil(const std::function<bool()>& condition, DWORD milliseconds = 5000);

// Polls (without pumping) until condition holds or the time is up; for driver threads.
bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds = 5000);

// The visible message box owned by owner, waiting up to milliseconds for it; null if none.
HWND WaitForMessageBox(HWND owner, DWORD milliseconds = 5000);
std::string MessageBoxText(HWND box);

// The window that has the keyboard focus in the thread that owns window.
HWND FocusOfThreadOf(HWND window);

} // namespace ui_test
