// Window class registration.
#pragma once

#include <windows.h>

namespace base {

struct WindowClass {
    const char* name = nullptr;
    UINT style = CS_DBLCLKS;
    WNDPROC procedure = DefWindowProcA; // windows of the framework are subclassed at creation
    HINSTANCE instance = nullptr;       // null: the program's module
    HICON icon = nullptr;
    HCURSOR cursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    HBRUSH background = nullptr;
    const char* menuName = nullptr;
};

// Registers the class; true also when a class of that name is already registered by this module.
bool RegisterWindowClass(const WindowClass& windowClass);
bool UnregisterWindowClass(const char* name, HINSTANCE instance = nullptr);

// The framework's plain window class (DefWindowProc, arrow cursor, window-colour background),
// registered on first use.
const char* PlainWindowClass();

} // namespace base
