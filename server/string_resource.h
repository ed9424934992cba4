// Texts of the program's string table.
#pragma once

#include <windows.h>

#include <string>

// The string resource `id` of the running program; empty when there is none.
std::string LoadResourceString(UINT id);
