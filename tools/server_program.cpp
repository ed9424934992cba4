#include "tools/server_program.h"

#include "base/handles.h"
#include "tools/child_process.h"

namespace server_program {

std::string ServerProgramPath() {
    return child_process::WindowsPathOf(KELVANE_AXSERVER_PATH);
}

int RunServerProgram(const std::string& arguments, std::string& error) {
    return child_process::RunProgram("\"" + ServerProgramPath() + "\" " + arguments, error);
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

bool RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA found;
    base::UniqueFind search(FindFirstFileA((folder + "\\*").c_str(), &found));
    if (search) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string path = folder + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(search.Get(), &found));
    }
    search.Reset();
    RemoveDirectoryA(folder.c_str());
    return GetFileAttributesA(folder.c_str()) == INVALID_FILE_ATTRIBUTES;
}

} // namespace server_program
