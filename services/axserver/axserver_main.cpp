// axserver: the quota service. Installs and removes itself, runs under the service control
// manager, or runs in the foreground for debugging.
#include "services/axserver/change_audit.h"
#include "services/axserver/pipe_server.h"
#include "services/axserver/quota_service.h"
#include "services/axserver/server_settings.h"
#include "services/axserver/store_folder.h"
#include "services/axserver/store_report.h"
#include "services/common/command_line.h"
#include "services/common/event_log.h"
#include "base/service_control.h"
#include "services/common/service_host.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr char kPipeName[] = "\\\\.\\pipe\\AXServer";

const char kUsage[] =
    "Usage: axserver COMMAND [OPTIONS]\n"
    "\n"
    "Commands:\n"
    "  -install     install (or update) the AXServer service and the registry keys of the\n"
    "               console; options: -store FOLDER (where the quota records are kept),\n"
    "               -kind N (the server kind reported to clients)\n"
    "  -uninstall   stop and remove the AXServer service (the record store is kept)\n"
    "  -start       start the installed service and wait until it serves\n"
    "  -stop        stop the service (stop AXPolicy first)\n"
    "  -status      show whether AXServer and AXPolicy run (exit code 0 when both run)\n"
    "  -console     run in the foreground until Ctrl+C; option: -store FOLDER\n"
    "  -service     run under the service control manager (used by the service itself)\n"
    "  -help        show this text\n";

int Fail(const char* what, DWORD error) {
    return ReportFailure("axserver", what, error);
}

// The service's whole life: open the store, serve the pipe until told to stop.
DWORD RunServer(const std::string& storeFolder, HANDLE stopEvent,
                const std::function<void()>& running) {
    // Another server's store is left alone.
    if (PipeServer::IsServed(kPipeName))
        return ERROR_SERVICE_ALREADY_RUNNING;
    std::string note;
    DWORD error = SecureStoreFolder(storeFolder, note);
    if (error != ERROR_SUCCESS) {
        ReportStoreFailure(storeFolder, error,
                           "its rights could not be restricted to SYSTEM and "
                           "Administrators");
        return error;
    }
    if (!note.empty())
        ReportStoreWarning(note);
    StartChangeAudit(storeFolder);
    QuotaService service;
    error = service.Start(storeFolder);
    if (error != ERROR_SUCCESS) {
        ReportStoreFailure(storeFolder, error, service.StoreProblem());
        return error;
    }
    ReportStoreRecovery(storeFolder, service.Recovery());
    PipeServer pipe(service, ServerIdentity{ServerKindSetting(), storeFolder});
    error = pipe.Start(kPipeName);
    if (error != ERROR_SUCCESS)
        return error;
    running();
    WaitForSingleObject(stopEvent, INFINITE);
    pipe.Stop();
    service.Stop();
    return ERROR_SUCCESS;
}

const char* OptionValue(int argc, char** argv, const char* name) {
    for (int i = 2; i + 1 < argc; ++i)
        if (_stricmp(argv[i], name) == 0)
            return argv[i + 1];
    return nullptr;
}

int Install(int argc, char** argv) {
    const char* store = OptionValue(argc, argv, "-store");
    const char* kind = OptionValue(argc, argv, "-kind");
    ServiceDefinition definition{kQuotaServiceName, "Allotrix Quota Server",
                                 "Keeps the disk-space quotas of this server and measures their "
                                 "usage.",
                                 QuotedProgramPath() + " -service", ""};
    DWORD error = InstallService(definition);
    if (error != ERROR_SUCCESS)
        return Fail("installing the service", error);
    // Without -store an earlier installation's folder is kept.
    std::string folder = store ? store : StoreFolderSetting();
    if ((error = WriteStoreFolderSetting(folder)) != ERROR_SUCCESS)
        return Fail("writing the store folder", error);
    if (kind && (error = WriteServerKindSetting(strtoul(kind, nullptr, 10))) != ERROR_SUCCESS)
        return Fail("writing the server kind", error);
    if ((error = InstallEventSource(kQuotaServiceName)) != ERROR_SUCCESS)
        return Fail("registering the event source", error);
    if ((error = CreateConsoleKeys()) != ERROR_SUCCESS)
        return Fail("creating the console's registry keys", error);
    printf("AXServer installed; records are kept in %s\n", folder.c_str());
    return 0;
}

const char* StateName(DWORD state) {
    switch (state) {
    case SERVICE_STOPPED:
        return "stopped";
    case SERVICE_START_PENDING:
        return "starting";
    case SERVICE_STOP_PENDING:
        return "stopping";
    case SERVICE_RUNNING:
        return "running";
    default:
        return "paused";
    }
}

// Prints each service's state; 0 when both run.
int Status() {
    bool allRunning = true;
    for (const char* name : {kQuotaServiceName, kPolicyServiceName}) {
        DWORD state = 0;
        DWORD error = QueryServiceState(name, nullptr, state);
        if (error == ERROR_SERVICE_DOES_NOT_EXIST)
            printf("%s: not installed\n", name);
        else if (error != ERROR_SUCCESS)
            printf("%s: unknown (error %lu)\n", name, error);
        else
            printf("%s: %s\n", name, StateName(state));
        allRunning = allRunning && error == ERROR_SUCCESS && state == SERVICE_RUNNING;
    }
    if (allRunning)
        printf("Records are kept in %s\n", StoreFolderSetting().c_str());
    std::string report = LastStoreReport();
    if (!report.empty())
        printf("Last store recovery: %s\n", report.c_str());
    return allRunning ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const char* command = argc > 1 ? argv[1] : "";
    auto is = [command](const char* name) { return IsSwitch(command, name); };
    if (is("-service")) {
        std::string store = StoreFolderSetting();
        DWORD error = RunAsService(kQuotaServiceName, [&store](HANDLE stop, const auto& running) {
            return RunServer(store, stop, running);
        });
        return error == ERROR_SUCCESS ? 0 : Fail("running as a service", error);
    }
    if (is("-console")) {
        const char* store = OptionValue(argc, argv, "-store");
        std::string folder = store ? store : StoreFolderSetting();
        printf("AXServer serving %s with records in %s; Ctrl+C ends it.\n", kPipeName,
               folder.c_str());
        fflush(stdout);
        DWORD error = RunInForeground([&folder](HANDLE stop, const auto& running) {
            return RunServer(folder, stop, running);
        });
        return error == ERROR_SUCCESS ? 0 : Fail("serving", error);
    }
    if (is("-install"))
        return Install(argc, argv);
    if (is("-status"))
        return Status();
    if (is("-uninstall")) {
        DWORD error = UninstallService(kPolicyServiceName);
        if (error == ERROR_SUCCESS)
            error = UninstallService(kQuotaServiceName);
        if (error != ERROR_SUCCESS)
            return Fail("removing the service", error);
        RemoveEventSource(kPolicyServiceName);
        RemoveEventSource(kQuotaServiceName);
        printf("AXServer removed (AXPolicy, which depends on it, too).\n");
        return 0;
    }
    if (is("-start")) {
        DWORD error = StartServiceAndWait(kQuotaServiceName);
        if (error == ERROR_SUCCESS)
            return 0;
        int result = Fail("starting AXServer", error);
        std::string report = LastStoreReport();
        if (!report.empty())
            fprintf(stderr, "Last store report: %s\n", report.c_str());
        return result;
    }
    if (is("-stop")) {
        DWORD state = 0;
        if (QueryServiceState(kPolicyServiceName, nullptr, state) == ERROR_SUCCESS &&
            state != SERVICE_STOPPED)
            return Fail("stopping AXServer (stop AXPolicy first)",
                        ERROR_DEPENDENT_SERVICES_RUNNING);
        DWORD error = StopServiceAndWait(kQuotaServiceName);
        return error == ERROR_SUCCESS ? 0 : Fail("stopping AXServer", error);
    }
    bool help = is("-help") || is("--help") || is("-?");
    fputs(kUsage, help ? stdout : stderr);
    return help ? 0 : 2;
}
