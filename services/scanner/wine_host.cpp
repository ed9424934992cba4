#include "services/scanner/wine_host.h"

#include <atomic>
#include <fstream>

#include "base/handles.h"

namespace {

using AnyFunction = void (*)();

FARPROC WineExport(const char* name) {
    return GetProcAddress(GetModuleHandleA("kernel32.dll"), name);
}

bool WriteText(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    return bool(file);
}

} // namespace

bool RunningUnderWine() {
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

std::string HostPath(const std::string& path) {
    using Convert = char*(CDECL*)(const wchar_t*);
    auto convert = reinterpret_cast<Convert>(
        reinterpret_cast<AnyFunction>(WineExport("wine_get_unix_file_name")));
    wchar_t wide[MAX_PATH];
    if (!convert || !MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH))
        return {};
    char* host = convert(wide);
    if (!host)
        return {};
    std::string result = host;
    HeapFree(GetProcessHeap(), 0, host);
    return result;
}

std::string WindowsPathOfHost(const std::string& hostPath) {
    using Convert = wchar_t*(CDECL*)(const char*);
    auto convert = reinterpret_cast<Convert>(
        reinterpret_cast<AnyFunction>(WineExport("wine_get_dos_file_name")));
    wchar_t* wide = convert ? convert(hostPath.c_str()) : nullptr;
    if (!wide)
        return {};
    char path[MAX_PATH];
    int length = WideCharToMultiByte(CP_ACP, 0, wide, -1, path, MAX_PATH, nullptr, nullptr);
    HeapFree(GetProcessHeap(), 0, wide);
    return length > 0 ? std::string(path) : std::string();
}

std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

int RunHostShell(const std::string& script, DWORD timeoutMs) {
    static std::atomic<int> counter{0};
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string base = std::string(temp) + "kelvane-host-" + std::to_string(GetCurrentProcessId()) +
                       "-" + std::to_string(counter++);
    std::string scriptFile = base + ".sh", statusFile = base + ".status";
    std::string hostScript = HostPath(scriptFile), hostStatus = HostPath(statusFile);
    if (hostScript.empty() || hostStatus.empty())
        return -1;
    std::string wrapped = "(\n" + script + "\n)\necho $? > " + ShellQuoted(hostStatus + ".part") +
                          "\nmv " + ShellQuoted(hostStatus + ".part") + " " +
                          ShellQuoted(hostStatus) + "\n";
    if (!WriteText(scriptFile, wrapped))
        return -1;
    std::string command = "Z:\\bin\\sh \"" + hostScript + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    int status = -1;
    if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                       nullptr, &startup, &process)) {
        // A Linux program gets no process of Wine's: no process handle comes back, and the thread
        // handle left beside it may be one of ours (closing it closed a client's pipe).
        base::UniqueHandleKernel processHandle(process.hProcess);
        base::UniqueHandleKernel threadHandle(process.hProcess ? process.hThread : nullptr);
        for (ULONGLONG start = GetTickCount64(); GetTickCount64() - start < timeoutMs; Sleep(10)) {
            std::ifstream result(statusFile);
            if (result >> status)
                break;
        }
    }
    DeleteFileA(scriptFile.c_str());
    DeleteFileA(statusFile.c_str());
    return status;
}
