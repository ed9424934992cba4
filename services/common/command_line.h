// Small helpers shared by the service programs' command lines.
#pragma once

#include <windows.h>

// True when `argument` is the switch `name` ("-install"), written with "-" or "/", in any case.
bool IsSwitch(const char* argument, const char* name);
// Prints "PROGRAM: WHAT: error N TEXT" on stderr and returns the exit code 1.
int ReportFailure(const char* program, const char* what, DWORD error);
