// Starting a program as a child process, for tests, benchmarks and previews.
#pragma once

#include "base/handles.h"

#include <windows.h>

#include <string>

namespace child_process {

// A started program; ended by force at the end if still running.
class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess() { Kill(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts `commandLine`; its standard output and error go to `output` when given (an
    // inheritable handle). Returns the start's error (0: started).
    DWORD Start(const std::string& commandLine, HANDLE output = nullptr);
    bool IsStarted() const { return static_cast<bool>(m_process); }
    DWORD Id() const { return m_id; }
    // Whether it ended within `timeoutMs`.
    bool WaitForEnd(DWORD timeoutMs) const;
    DWORD ExitCode() const;
    void Kill();

private:
    base::UniqueHandleKernel m_process;
    DWORD m_id = 0;
};

// Runs `commandLine` to its end (at most `timeoutMs`) and returns its exit code, or -1 with the
// reason in `error`. With `output`, what it writes to its standard output and error.
int RunProgram(const std::string& commandLine, std::string& error, std::string* output = nullptr,
               DWORD timeoutMs = 60000);

// The whole content of a file (also while another process writes it); empty when it cannot be read.
std::string ReadFileText(const std::string& path);

// A path of the Linux file system as Windows programs under Wine see it (drive Z:); other paths
// are returned as they are.
std::string WindowsPathOf(const std::string& path);

} // namespace child_process
