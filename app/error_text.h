// Turns a Windows or network status code into the words the console shows.
#pragma once

#include <windows.h>

// Writes the text for `code` into `buffer` (at most `size` bytes with the terminating zero) and
// returns its length: the system's message text where it has one, else a fixed text for a few
// network codes, else an empty text and 0. A buffer that cannot be written for `size` bytes is
// left alone and the thread's last error code is returned.
DWORD GetErrorText(DWORD code, char* buffer, DWORD size);
