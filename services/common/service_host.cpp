#include "services/common/service_host.h"

#include "base/handles.h"

#include <string>
#include <utility>

namespace {

// The service control manager calls back without context: one service per process.
struct HostedService {
    std::string name;
    ServiceBody body;
    SERVICE_STATUS_HANDLE statusHandle = nullptr;
    SERVICE_STATUS status{};
    base::UniqueHandleKernel stopEvent;
    DWORD checkPoint = 0;
};
HostedService g_service;
base::UniqueHandleKernel g_foregroundStop;

void Report(DWORD state, DWORD exitCode = 0) {
    g_service.status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    g_service.status.dwCurrentState = state;
    g_service.status.dwControlsAccepted =
        state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN : 0;
    g_service.status.dwWin32ExitCode = exitCode;
    bool pending = state == SERVICE_START_PENDING || state == SERVICE_STOP_PENDING;
    g_service.status.dwCheckPoint = pending ? ++g_service.checkPoint : 0;
    g_service.status.dwWaitHint = pending ? 10000 : 0;
    SetServiceStatus(g_service.statusHandle, &g_service.status);
}

DWORD WINAPI ControlHandler(DWORD control, DWORD, void*, void*) {
    switch (control) {
    case SERVICE_CONTROL_STOP:
    case SERVICE_CONTROL_SHUTDOWN:
        Report(SERVICE_STOP_PENDING);
        SetEvent(g_service.stopEvent.Get());
        return NO_ERROR;
    case SERVICE_CONTROL_INTERROGATE:
        return NO_ERROR;
    default:
        return ERROR_CALL_NOT_IMPLEMENTED;
    }
}

void WINAPI ServiceMain(DWORD, char**) {
    g_service.statusHandle =
        RegisterServiceCtrlHandlerExA(g_service.name.c_str(), ControlHandler, nullptr);
    if (!g_service.statusHandle)
        return;
    Report(SERVICE_START_PENDING);
    DWORD result = g_service.body(g_service.stopEvent.Get(), [] { Report(SERVICE_RUNNING); });
    Report(SERVICE_STOPPED, result);
}

BOOL WINAPI ConsoleHandler(DWORD) {
    SetEvent(g_foregroundStop.Get());
    return TRUE;
}

} // namespace

DWORD RunAsService(const char* name, ServiceBody body) {
    g_service.name = name;
    g_service.body = std::move(body);
    g_service.stopEvent.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    SERVICE_TABLE_ENTRYA table[] = {{const_cast<char*>(g_service.name.c_str()), ServiceMain},
                                    {nullptr, nullptr}};
    DWORD result = StartServiceCtrlDispatcherA(table) ? ERROR_SUCCESS : GetLastError();
    g_service.stopEvent.Reset();
    return result;
}

DWORD RunInForeground(ServiceBody body) {
    g_foregroundStop.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    SetConsoleCtrlHandler(ConsoleHandler, TRUE);
    DWORD result = body(g_foregroundStop.Get(), [] {});
    SetConsoleCtrlHandler(ConsoleHandler, FALSE);
    g_foregroundStop.Reset();
    return result;
}
