// Texts from the program's string table, and the one way their "%s" blanks are filled.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

namespace base {

// The string resource `id` of `instance` (null: the program), empty when there is none.
std::string LoadText(UINT id, HINSTANCE instance = nullptr);

// `pattern` with each "%s" replaced by the next of `arguments`, in order.
std::string FormatText(const std::string& pattern, std::initializer_list<std::string> arguments);

// FormatText of the string resource `id`.
std::string LoadFormattedText(UINT id, std::initializer_list<std::string> arguments);

} // namespace base
