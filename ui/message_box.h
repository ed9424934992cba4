// Message boxes with the application's caption.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

// The caption of every message box the program shows (the application's title).
void SetMessageCaption(const std::string& caption);
const std::string& MessageCaption();

int ShowMessage(HWND owner, const std::string& text, UINT flags = MB_OK | MB_ICONEXCLAMATION);

} // namespace ui
