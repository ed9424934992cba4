#include "services/axpolicy/command_runner.h"

#include "base/handles.h"

#include <vector>

namespace {

constexpr DWORD kOutputKept = 400;

std::string Interpreter() {
    char path[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableA("ComSpec", path, sizeof path);
    return length > 0 && length < sizeof path ? path : "cmd.exe";
}

// The start of what the command wrote, read through the handle it shared.
std::string ReadStart(HANDLE file) {
    char buffer[kOutputKept] = {};
    DWORD read = 0;
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    ReadFile(file, buffer, sizeof buffer, &read, nullptr);
    std::string text(buffer, read);
    for (char& c : text)
        if (c == '\r' || c == '\n')
            c = ' ';
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

} // namespace

CommandOutcome RunCommand(const std::string& command, const std::string& workFolder,
                          DWORD timeoutMs, HANDLE stopEvent) {
    CommandOutcome outcome;
    char name[MAX_PATH] = {};
    if (!GetTempFileNameA(workFolder.c_str(), "cmd", 0, name)) {
        outcome.startError = GetLastError();
        return outcome;
    }
    // The file goes when the last handle to it closes, the command's included.
    base::UniqueFile output(CreateFileA(
        name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    base::UniqueFile input(CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       &inherit, OPEN_EXISTING, 0, nullptr));
    base::UniqueFile childOutput;
    if (output)
        DuplicateHandle(GetCurrentProcess(), output.Get(), GetCurrentProcess(), childOutput.Put(),
                        0, TRUE, DUPLICATE_SAME_ACCESS);
    if (!output || !input || !childOutput) {
        outcome.startError = GetLastError();
        DeleteFileA(name);
        return outcome;
    }

    // Only the two standard handles are inherited.
    HANDLE inherited[] = {input.Get(), childOutput.Get()};
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    std::vector<char> attributes(size);
    auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributes.data());
    InitializeProcThreadAttributeList(list, 1, 0, &size);
    UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited,
                              sizeof inherited, nullptr, nullptr);
    STARTUPINFOEXA startup{};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.StartupInfo.wShowWindow = SW_HIDE;
    startup.StartupInfo.hStdInput = input.Get();
    startup.StartupInfo.hStdOutput = childOutput.Get();
    startup.StartupInfo.hStdError = childOutput.Get();
    startup.lpAttributeList = list;
    std::string line = "\"" + Interpreter() + "\" /s /c \"" + command + "\"";
    PROCESS_INFORMATION process{};
    BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE,
                                  CREATE_NO_WINDOW | EXTENDED_STARTUPINFO_PRESENT, nullptr,
                                  workFolder.c_str(), &startup.StartupInfo, &process);
    if (!started)
        outcome.startError = GetLastError();
    DeleteProcThreadAttributeList(list);
    childOutput.Reset();
    input.Reset();
    if (started) {
        base::UniqueHandleKernel processHandle(process.hProcess), threadHandle(process.hThread);
        HANDLE waits[] = {processHandle.Get(), stopEvent};
        DWORD waited = WaitForMultipleObjects(stopEvent ? 2 : 1, waits, FALSE, timeoutMs);
        outcome.finished = waited == WAIT_OBJECT_0;
        if (outcome.finished)
            GetExitCodeProcess(processHandle.Get(), &outcome.exitCode);
    }
    // A command still running shares the file's position: its output is left alone.
    if (outcome.finished)
        outcome.output = ReadStart(output.Get());
    return outcome;
}
