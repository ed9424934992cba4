#include "services/common/command_line.h"

#include "base/error_text.h"

#include <cstdio>
#include <cstring>

bool IsSwitch(const char* argument, const char* name) {
    return (argument[0] == '-' || argument[0] == '/') && _stricmp(argument + 1, name + 1) == 0;
}

int ReportFailure(const char* program, const char* what, DWORD error) {
    const std::string text = ErrorText(error);
    fprintf(stderr, "%s: %s: error %lu %s", program, what, error,
            text.empty() ? "\n" : text.c_str());
    return 1;
}
