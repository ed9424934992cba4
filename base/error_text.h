// Turns a Windows or network status code into the words the console shows.
#pragma once

#include <windows.h>

#include <string>

// Writes the text for `code` into `buffer` (at most `size` bytes with the terminating zero) and
// returns its length: the system's message text where it has one, else a fixed text for a few
// network codes, else an empty text and 0. A buffer that cannot be written for `size` bytes is
// left alone and the thread's last error code is returned.
DWORD GetErrorText(DWORD code, char* buffer, DWORD size);

// The text of GetErrorText, written into a buffer of `bufferSize` bytes, as a string (with the
// system's line break at its end, where it has one); empty when there is none.
std::string ErrorText(DWORD code, DWORD bufferSize = 512);

// ErrorText without the trailing line break, or "error N" when there is no text: for a line of
// a command-line tool.
std::string ErrorLine(DWORD code);
