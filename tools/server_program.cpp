#include "tools/server_program.h"

#include "base/handles.h"

#include <algorithm>

namespace server_program {

namespace {

// The server program's path as Windows sees it (the build tree of a Linux host is drive Z:).
std::string ServerProgramPath() {
    std::string path = KELVANE_AXSERVER_PATH;
    if (!path.empty() && path[0] == '/') {
        std::replace(path.begin(), path.end(), '/', '\\');
        path = "Z:" + path;
    }
    return path;
}

} // namespace

int RunServerProgram(const std::string& arguments, std::string& error) {
    std::string commandLine = "\"" + ServerProgramPath() + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        error = "cannot run " + commandLine + ": error " + std::to_string(GetLastError());
        return -1;
    }
    DWORD exitCode = 1;
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &exitCode);
    } else {
        error = commandLine + " did not end within a minute";
        TerminateProcess(process.hProcess, 1);
        exitCode = static_cast<DWORD>(-1);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(exitCode);
}

void StopPolicyService() {
    base::UniqueService manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    base::UniqueService policy(
        manager ? OpenServiceA(manager.Get(), "AXPolicy", SERVICE_STOP | SERVICE_QUERY_STATUS)
                : nullptr);
    if (!policy)
        return;
    SERVICE_STATUS status{};
    ControlService(policy.Get(), SERVICE_CONTROL_STOP, &status);
    for (int i = 0; i < 200 && QueryServiceStatus(policy.Get(), &status) &&
                    status.dwCurrentState != SERVICE_STOPPED;
         ++i)
        Sleep(50);
}

void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string path = folder + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

} // namespace server_program
