// Runs a threshold's command through the command interpreter, without a console window, for at
// most a bounded time.
#pragma once

#include <windows.h>

#include <string>

struct CommandOutcome {
    DWORD startError = 0;  // the command interpreter could not be started
    bool finished = false; // ended within the time (otherwise it is left running)
    DWORD exitCode = 0;
    std::string output; // the start of what it wrote to its standard output and error
};

// Runs `command` ("cmd /s /c" semantics: redirections and built-in commands work) in
// `workFolder`, its output going to a temporary file there (removed once the command ends). Waits
// until it ends, `timeoutMs` passes or `stopEvent` is set.
CommandOutcome RunCommand(const std::string& command, const std::string& workFolder,
                          DWORD timeoutMs, HANDLE stopEvent);
