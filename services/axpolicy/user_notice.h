// A message the user logged on at the console sees, shown without waiting for an answer.
#pragma once

#include <windows.h>

#include <string>

// Sends the message to the console session; where that cannot be done (Wine has no terminal
// services), starts "axpolicy -notify" on the interactive desktop to show it in a message box.
DWORD NotifyUser(const std::string& title, const std::string& text);

// The body of "axpolicy -notify TITLE TEXT": shows the message box and returns when it closes.
int ShowNotice(const char* title, const char* text);
