#include "services/common/command_line.h"

#include <cstdio>
#include <cstring>

bool IsSwitch(const char* argument, const char* name) {
    return (argument[0] == '-' || argument[0] == '/') && _stricmp(argument + 1, name + 1) == 0;
}

int ReportFailure(const char* program, const char* what, DWORD error) {
    char text[512] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                   text, sizeof text, nullptr);
    fprintf(stderr, "%s: %s: error %lu %s", program, what, error, text[0] ? text : "\n");
    return 1;
}
