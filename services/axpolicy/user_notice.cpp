#include "services/axpolicy/user_notice.h"

#include "base/handles.h"

#include <wtsapi32.h>

namespace {

// Quotes one argument the way the C run-time splits a command line.
std::string Quoted(const std::string& argument) {
    std::string out = "\"";
    size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"')
            backslashes = backslashes * 2 + 1;
        out.append(backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, '\\');
    return out + "\"";
}

} // namespace

DWORD NotifyUser(const std::string& title, const std::string& text) {
    DWORD response = 0;
    std::string titleCopy = title, textCopy = text;
    if (WTSSendMessageA(WTS_CURRENT_SERVER_HANDLE, WTSGetActiveConsoleSessionId(), titleCopy.data(),
                        static_cast<DWORD>(title.size()), textCopy.data(),
                        static_cast<DWORD>(text.size()), MB_OK | MB_ICONWARNING, 0, &response,
                        FALSE))
        return ERROR_SUCCESS;
    char program[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, sizeof program);
    std::string line = Quoted(program) + " -notify " + Quoted(title) + " " + Quoted(text);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    char desktop[] = "WinSta0\\Default";
    startup.lpDesktop = desktop;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &process))
        return GetLastError();
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ERROR_SUCCESS;
}

int ShowNotice(const char* title, const char* text) {
    MessageBoxA(nullptr, text, title, MB_OK | MB_ICONWARNING | MB_SETFOREGROUND | MB_TOPMOST);
    return 0;
}
