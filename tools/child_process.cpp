#include "tools/child_process.h"

#include <algorithm>

namespace child_process {

DWORD ChildProcess::Start(const std::string& commandLine, HANDLE output) {
    Kill();
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (output) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = output;
        startup.hStdError = output;
    }
    PROCESS_INFORMATION process{};
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, output != nullptr, 0, nullptr,
                        nullptr, &startup, &process))
        return GetLastError();
    CloseHandle(process.hThread);
    m_process.Reset(process.hProcess);
    m_id = process.dwProcessId;
    return 0;
}

bool ChildProcess::WaitForEnd(DWORD timeoutMs) const {
    return WaitForSingleObject(m_process.Get(), timeoutMs) == WAIT_OBJECT_0;
}

DWORD ChildProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(m_process.Get(), &code);
    return code;
}

void ChildProcess::Kill() {
    if (!m_process)
        return;
    if (!WaitForEnd(0)) {
        TerminateProcess(m_process.Get(), 9);
        WaitForEnd(10000);
    }
    m_process.Reset();
    m_id = 0;
}

std::string ReadFileText(const std::string& path) {
    base::UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                      nullptr));
    std::string text;
    char buffer[8192];
    DWORD read = 0;
    while (file && ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
        text.append(buffer, read);
    return text;
}

namespace {

// A temporary file that the child writes its output to, read back and deleted at the end.
class OutputFile {
public:
    OutputFile() {
        char folder[MAX_PATH] = {};
        GetTempPathA(sizeof folder, folder);
        GetTempFileNameA(folder, "kvo", 0, m_path);
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        m_file.Reset(CreateFileA(m_path, GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_TEMPORARY, nullptr));
    }
    ~OutputFile() { DeleteFileA(m_path); }
    HANDLE Handle() const { return m_file.Get(); }
    std::string Read() {
        m_file.Reset();
        return ReadFileText(m_path);
    }

private:
    char m_path[MAX_PATH] = {};
    base::UniqueFile m_file;
};

} // namespace

int RunProgram(const std::string& commandLine, std::string& error, std::string* output,
               DWORD timeoutMs) {
    OutputFile file;
    ChildProcess child;
    if (DWORD failure = child.Start(commandLine, output ? file.Handle() : nullptr)) {
        error = "cannot run " + commandLine + ": error " + std::to_string(failure);
        return -1;
    }
    if (!child.WaitForEnd(timeoutMs)) {
        error = commandLine + " did not end within " + std::to_string(timeoutMs / 1000) + " s";
        return -1;
    }
    const int code = static_cast<int>(child.ExitCode());
    if (output)
        *output = file.Read();
    return code;
}

std::string WindowsPathOf(const std::string& path) {
    if (path.empty() || path[0] != '/')
        return path;
    std::string windows = "Z:" + path;
    std::replace(windows.begin(), windows.end(), '/', '\\');
    return windows;
}

} // namespace child_process
