// Functions of system libraries that few commands need, loaded when first called. Importing the
// print spooler, for one, makes Wine load the printing system's own libraries into the process:
// some 8 MB in every console that never prints.
#pragma once

#include <windows.h>

namespace ui {

// The function `name` of the system library `library`, which is loaded on the first call and
// stays loaded; null, with the reason in GetLastError, when either cannot be found.
template <typename Function> Function* OnDemandFunction(const char* library, const char* name) {
    HMODULE module = GetModuleHandleA(library);
    if (!module)
        module = LoadLibraryExA(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module)
        return nullptr;
    return reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

} // namespace ui
