#include "base/window_class.h"

namespace base {

namespace {
HINSTANCE ModuleOr(HINSTANCE instance) {
    return instance ? instance : GetModuleHandleA(nullptr);
}
} // namespace

bool RegisterWindowClass(const WindowClass& windowClass) {
    WNDCLASSEXA data{};
    data.cbSize = sizeof data;
    data.style = windowClass.style;
    data.lpfnWndProc = windowClass.procedure;
    data.hInstance = ModuleOr(windowClass.instance);
    data.hIcon = windowClass.icon;
    data.hCursor = windowClass.cursor;
    data.hbrBackground = windowClass.background;
    data.lpszMenuName = windowClass.menuName;
    data.lpszClassName = windowClass.name;
    if (RegisterClassExA(&data))
        return true;
    return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool UnregisterWindowClass(const char* name, HINSTANCE instance) {
    return UnregisterClassA(name, ModuleOr(instance)) != FALSE;
}

const char* PlainWindowClass() {
    static const char* const name = [] {
        WindowClass windowClass;
        windowClass.name = "Kelvane.Window";
        windowClass.background = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        RegisterWindowClass(windowClass);
        return "Kelvane.Window";
    }();
    return name;
}

} // namespace base
