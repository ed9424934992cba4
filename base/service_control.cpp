#include "base/service_control.h"

#include "base/handles.h"

#include <algorithm>
#include <vector>

namespace {

// A pending service that gives no wait hint (or a shorter one) has this long to show progress.
constexpr DWORD kLeastWaitHintMs = 10000;
// How often a pending service is asked again: a tenth of its wait hint, within these bounds.
constexpr DWORD kLeastPollMs = 50;
constexpr DWORD kMostPollMs = 250;

const char* MachineOrLocal(const char* machine) {
    return machine && machine[0] ? machine : nullptr;
}

DWORD OpenService(const char* name, const char* machine, DWORD access,
                  base::UniqueService& service) {
    base::UniqueService manager(
        OpenSCManagerA(MachineOrLocal(machine), nullptr, SC_MANAGER_CONNECT));
    if (!manager)
        return GetLastError();
    service.Reset(OpenServiceA(manager.Get(), name, access));
    return service ? ERROR_SUCCESS : GetLastError();
}

DWORD QueryStatus(const char* name, const char* machine, SERVICE_STATUS& status) {
    base::UniqueService service;
    DWORD error = OpenService(name, machine, SERVICE_QUERY_STATUS, service);
    if (error != ERROR_SUCCESS)
        return error;
    return QueryServiceStatus(service.Get(), &status) ? ERROR_SUCCESS : GetLastError();
}

// The reason a service gave for stopping instead of running.
DWORD WhyNotRunning(const char* name, const char* machine) {
    SERVICE_STATUS status{};
    QueryStatus(name, machine, status);
    if (status.dwWin32ExitCode == ERROR_SERVICE_SPECIFIC_ERROR && status.dwServiceSpecificExitCode)
        return status.dwServiceSpecificExitCode;
    return status.dwWin32ExitCode ? status.dwWin32ExitCode : ERROR_SERVICE_NOT_ACTIVE;
}

} // namespace

std::string QuotedProgramPath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    return std::string("\"") + path + "\"";
}

DWORD InstallService(const ServiceDefinition& definition) {
    base::UniqueService manager(
        OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT | SC_MANAGER_CREATE_SERVICE));
    if (!manager)
        return GetLastError();
    std::vector<char> dependencies(definition.dependencies.begin(), definition.dependencies.end());
    dependencies.push_back('\0');
    dependencies.push_back('\0');
    constexpr DWORD kAccess = SERVICE_CHANGE_CONFIG | SERVICE_QUERY_CONFIG;
    base::UniqueService service(CreateServiceA(
        manager.Get(), definition.name.c_str(), definition.displayName.c_str(), kAccess,
        SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_NORMAL,
        definition.commandLine.c_str(), nullptr, nullptr, dependencies.data(), nullptr, nullptr));
    if (!service) {
        DWORD error = GetLastError();
        if (error != ERROR_SERVICE_EXISTS)
            return error;
        service.Reset(OpenServiceA(manager.Get(), definition.name.c_str(), kAccess));
        if (!service)
            return GetLastError();
        if (!ChangeServiceConfigA(service.Get(), SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START,
                                  SERVICE_ERROR_NORMAL, definition.commandLine.c_str(), nullptr,
                                  nullptr, dependencies.data(), nullptr, nullptr,
                                  definition.displayName.c_str()))
            return GetLastError();
    }
    SERVICE_DESCRIPTIONA description{const_cast<char*>(definition.description.c_str())};
    ChangeServiceConfig2A(service.Get(), SERVICE_CONFIG_DESCRIPTION, &description);
    return ERROR_SUCCESS;
}

DWORD UninstallService(const char* name) {
    DWORD error = StopServiceAndWait(name);
    if (error == ERROR_SERVICE_DOES_NOT_EXIST)
        return ERROR_SUCCESS;
    base::UniqueService service;
    error = OpenService(name, nullptr, DELETE, service);
    if (error == ERROR_SERVICE_DOES_NOT_EXIST)
        return ERROR_SUCCESS;
    if (error != ERROR_SUCCESS)
        return error;
    if (!DeleteService(service.Get()) && GetLastError() != ERROR_SERVICE_MARKED_FOR_DELETE)
        return GetLastError();
    return ERROR_SUCCESS;
}

DWORD QueryServiceState(const char* name, const char* machine, DWORD& state) {
    SERVICE_STATUS status{};
    DWORD error = QueryStatus(name, machine, status);
    if (error == ERROR_SUCCESS)
        state = status.dwCurrentState;
    return error;
}

DWORD StartServiceByName(const char* name, const char* machine) {
    base::UniqueService service;
    DWORD error = OpenService(name, machine, SERVICE_START, service);
    if (error != ERROR_SUCCESS)
        return error;
    return StartServiceA(service.Get(), 0, nullptr) ? ERROR_SUCCESS : GetLastError();
}

DWORD StopServiceByName(const char* name, const char* machine) {
    base::UniqueService service;
    DWORD error = OpenService(name, machine, SERVICE_STOP, service);
    if (error != ERROR_SUCCESS)
        return error;
    SERVICE_STATUS status{};
    return ControlService(service.Get(), SERVICE_CONTROL_STOP, &status) ? ERROR_SUCCESS
                                                                        : GetLastError();
}

DWORD WaitWhileServicePending(const char* name, const char* machine, DWORD pendingState,
                              DWORD& state) {
    base::UniqueService service;
    DWORD error = OpenService(name, machine, SERVICE_QUERY_STATUS, service);
    if (error != ERROR_SUCCESS)
        return error;
    SERVICE_STATUS status{};
    if (!QueryServiceStatus(service.Get(), &status))
        return GetLastError();
    DWORD checkPoint = status.dwCheckPoint;
    DWORD lastProgress = GetTickCount();
    while (status.dwCurrentState == pendingState) {
        DWORD waitHint = std::max(status.dwWaitHint, kLeastWaitHintMs);
        Sleep(std::clamp(waitHint / 10, kLeastPollMs, kMostPollMs));
        if (!QueryServiceStatus(service.Get(), &status))
            return GetLastError();
        if (status.dwCheckPoint != checkPoint) {
            checkPoint = status.dwCheckPoint;
            lastProgress = GetTickCount();
        } else if (GetTickCount() - lastProgress > waitHint) {
            return ERROR_SERVICE_REQUEST_TIMEOUT;
        }
    }
    state = status.dwCurrentState;
    return ERROR_SUCCESS;
}

DWORD StartServiceAndWait(const char* name, const char* machine) {
    DWORD state = 0;
    DWORD error = WaitWhileServicePending(name, machine, SERVICE_STOP_PENDING, state);
    if (error == ERROR_SUCCESS && state != SERVICE_RUNNING) {
        error = StartServiceByName(name, machine);
        if (error == ERROR_SERVICE_ALREADY_RUNNING)
            error = ERROR_SUCCESS;
    }
    if (error == ERROR_SUCCESS)
        error = WaitWhileServicePending(name, machine, SERVICE_START_PENDING, state);
    if (error == ERROR_SUCCESS && state != SERVICE_RUNNING)
        error = WhyNotRunning(name, machine);
    return error;
}

DWORD StopServiceAndWait(const char* name, const char* machine) {
    DWORD state = 0;
    DWORD error = WaitWhileServicePending(name, machine, SERVICE_START_PENDING, state);
    if (error != ERROR_SUCCESS || state == SERVICE_STOPPED)
        return error;
    error = StopServiceByName(name, machine);
    if (error != ERROR_SUCCESS && error != ERROR_SERVICE_NOT_ACTIVE)
        return error;
    // The stop request may still find the service reporting that it runs.
    for (DWORD pending : {SERVICE_STOP_PENDING, SERVICE_RUNNING, SERVICE_STOP_PENDING}) {
        if ((error = WaitWhileServicePending(name, machine, pending, state)) != ERROR_SUCCESS)
            return error;
    }
    return state == SERVICE_STOPPED ? ERROR_SUCCESS : ERROR_SERVICE_REQUEST_TIMEOUT;
}
