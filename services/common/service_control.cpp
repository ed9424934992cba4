#include "services/common/service_control.h"

#include "base/handles.h"

#include <vector>

namespace {

DWORD OpenService(const char* name, DWORD access, base::UniqueService& manager,
                  base::UniqueService& service) {
    manager.Reset(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager)
        return GetLastError();
    service.Reset(OpenServiceA(manager.Get(), name, access));
    return service ? ERROR_SUCCESS : GetLastError();
}

// Waits while the service is in `pendingState`; returns its state afterwards.
DWORD WaitWhilePending(SC_HANDLE service, DWORD pendingState, DWORD timeoutMs, DWORD& state) {
    DWORD start = GetTickCount();
    for (;;) {
        SERVICE_STATUS status{};
        if (!QueryServiceStatus(service, &status))
            return GetLastError();
        state = status.dwCurrentState;
        if (state != pendingState)
            return ERROR_SUCCESS;
        if (GetTickCount() - start > timeoutMs)
            return ERROR_SERVICE_REQUEST_TIMEOUT;
        Sleep(50);
    }
}

} // namespace

std::string QuotedProgramPath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    return std::string("\"") + path + "\"";
}

DWORD InstallService(const ServiceDefinition& definition) {
    base::UniqueService manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager)
        return GetLastError();
    std::vector<char> dependencies(definition.dependencies.begin(), definition.dependencies.end());
    dependencies.push_back('\0');
    dependencies.push_back('\0');
    base::UniqueService service(CreateServiceA(
        manager.Get(), definition.name.c_str(), definition.displayName.c_str(), SERVICE_ALL_ACCESS,
        SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_NORMAL,
        definition.commandLine.c_str(), nullptr, nullptr, dependencies.data(), nullptr, nullptr));
    if (!service) {
        DWORD error = GetLastError();
        if (error != ERROR_SERVICE_EXISTS)
            return error;
        service.Reset(OpenServiceA(manager.Get(), definition.name.c_str(), SERVICE_ALL_ACCESS));
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
    base::UniqueService manager, service;
    error = OpenService(name, SERVICE_ALL_ACCESS, manager, service);
    if (error == ERROR_SERVICE_DOES_NOT_EXIST)
        return ERROR_SUCCESS;
    if (error != ERROR_SUCCESS)
        return error;
    if (!DeleteService(service.Get()) && GetLastError() != ERROR_SERVICE_MARKED_FOR_DELETE)
        return GetLastError();
    return ERROR_SUCCESS;
}

DWORD StartServiceAndWait(const char* name, DWORD timeoutMs) {
    base::UniqueService manager, service;
    DWORD error = OpenService(name, SERVICE_ALL_ACCESS, manager, service);
    if (error != ERROR_SUCCESS)
        return error;
    if (!StartServiceA(service.Get(), 0, nullptr) &&
        GetLastError() != ERROR_SERVICE_ALREADY_RUNNING)
        return GetLastError();
    DWORD state = 0;
    error = WaitWhilePending(service.Get(), SERVICE_START_PENDING, timeoutMs, state);
    if (error != ERROR_SUCCESS)
        return error;
    if (state != SERVICE_RUNNING) {
        SERVICE_STATUS status{};
        QueryServiceStatus(service.Get(), &status);
        return status.dwWin32ExitCode ? status.dwWin32ExitCode : ERROR_SERVICE_NOT_ACTIVE;
    }
    return ERROR_SUCCESS;
}

DWORD StopServiceAndWait(const char* name, DWORD timeoutMs) {
    base::UniqueService manager, service;
    DWORD error = OpenService(name, SERVICE_ALL_ACCESS, manager, service);
    if (error != ERROR_SUCCESS)
        return error;
    SERVICE_STATUS status{};
    if (!ControlService(service.Get(), SERVICE_CONTROL_STOP, &status)) {
        error = GetLastError();
        if (error != ERROR_SERVICE_NOT_ACTIVE)
            return error;
    }
    DWORD state = 0;
    error = WaitWhilePending(service.Get(), SERVICE_STOP_PENDING, timeoutMs, state);
    if (error == ERROR_SUCCESS && state == SERVICE_RUNNING)
        error = WaitWhilePending(service.Get(), SERVICE_RUNNING, timeoutMs, state);
    return error;
}

DWORD QueryServiceState(const char* name, DWORD& state) {
    base::UniqueService manager, service;
    DWORD error = OpenService(name, SERVICE_QUERY_STATUS, manager, service);
    if (error != ERROR_SUCCESS)
        return error;
    SERVICE_STATUS status{};
    if (!QueryServiceStatus(service.Get(), &status))
        return GetLastError();
    state = status.dwCurrentState;
    return ERROR_SUCCESS;
}
