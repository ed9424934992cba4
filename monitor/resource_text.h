// Texts from the program's string table.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

namespace monitor {

// The string resource `id` of the program, empty when there is none.
std::string LoadResourceText(UINT id);

// `pattern` with each "%s" replaced by the next of `arguments`, in order.
std::string FormatText(const std::string& pattern, std::initializer_list<std::string> arguments);

} // namespace monitor
