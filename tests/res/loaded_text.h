#pragma once

#include <windows.h>

#include <string>

// The text of string resource `id` of this program, or "<missing>" when there is none.
inline std::string LoadedText(UINT id) {
    char buffer[2048];
    int length = LoadStringA(GetModuleHandleA(nullptr), id, buffer, sizeof buffer);
    return length > 0 ? std::string(buffer, length) : std::string("<missing>");
}
