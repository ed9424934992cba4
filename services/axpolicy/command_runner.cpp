#include "services/axpolicy/command_runner.h"

#include "ui/handles.h"

#include <vector>

namespace {

constexpr DWORD kOutputKept = 400;

std::string Interpreter() {
    char path[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableA("ComSpec", path, sizeof path);
    return length > 0 && length < sizeof path ? path : "cmd.exe";
}

std::string ReadStart(const std::string& path) {
    ui::UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr));
    char buffer[kOutputKept] = {};
    DWORD read = 0;
    if (file)
        ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr);
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
    std::string outputPath = name;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    ui::UniqueFile output(CreateFileA(outputPath.c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_TEMPORARY, nullptr));
    ui::UniqueFile input(CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     &inherit, OPEN_EXISTING, 0, nullptr));
    if (!output || !input) {
        outcome.startError = GetLastError();
        DeleteFileA(outputPath.c_str());
        return outcome;
    }

    // Only the two standard handles are inherited.
    HANDLE inherited[] = {input.Get(), output.Get()};
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
    startup.StartupInfo.hStdOutput = output.Get();
    startup.StartupInfo.hStdError = output.Get();
    startup.lpAttributeList = list;
    std::string line = "\"" + Interpreter() + "\" /s /c \"" + command + "\"";
    PROCESS_INFORMATION process{};
    BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE,
                                  CREATE_NO_WINDOW | EXTENDED_STARTUPINFO_PRESENT, nullptr,
                                  workFolder.c_str(), &startup.StartupInfo, &process);
    if (!started)
        outcome.startError = GetLastError();
    DeleteProcThreadAttributeList(list);
    output.Reset();
    input.Reset();
    if (started) {
        ui::UniqueHandleKernel processHandle(process.hProcess), threadHandle(process.hThread);
        HANDLE waits[] = {processHandle.Get(), stopEvent};
        DWORD waited = WaitForMultipleObjects(stopEvent ? 2 : 1, waits, FALSE, timeoutMs);
        outcome.finished = waited == WAIT_OBJECT_0;
        if (outcome.finished)
            GetExitCodeProcess(processHandle.Get(), &outcome.exitCode);
    }
    outcome.output = ReadStart(outputPath);
    // A command still running keeps its output file open; it then stays behind in the folder.
    DeleteFileA(outputPath.c_str());
    return outcome;
}
