// axpolicy: the policy service, which carries out the threshold actions of the quotas kept by
// AXServer. It depends on the quota service; it installs and removes itself, runs under the
// service control manager, or in the foreground for debugging.
#include "services/axpolicy/policy_service.h"
#include "services/axpolicy/policy_settings.h"
#include "services/axpolicy/user_notice.h"
#include "services/common/command_line.h"
#include "services/common/event_log.h"
#include "base/service_control.h"
#include "services/common/service_host.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr char kServiceName[] = "AXPolicy";
constexpr char kQuotaServiceName[] = "AXServer";

const char kUsage[] = "Usage: axpolicy COMMAND\n"
                      "\n"
                      "Commands:\n"
                      "  -install     install (or update) the AXPolicy service; it depends on "
                      "AXServer\n"
                      "  -uninstall   stop and remove the AXPolicy service\n"
                      "  -start       start the service (AXServer is started first if needed)\n"
                      "  -stop        stop the service\n"
                      "  -console     run in the foreground until Ctrl+C\n"
                      "  -service     run under the service control manager\n"
                      "  -notify TITLE TEXT  show a notice to the user (used by the service)\n"
                      "  -help        show this text\n";

int Fail(const char* what, DWORD error) {
    return ReportFailure("axpolicy", what, error);
}

DWORD RunPolicy(HANDLE stopEvent, const std::function<void()>& running) {
    PolicyService service(PolicyFolder());
    return service.Run(stopEvent, running);
}

} // namespace

int main(int argc, char** argv) {
    const char* command = argc > 1 ? argv[1] : "";
    auto is = [command](const char* name) { return IsSwitch(command, name); };
    if (is("-service")) {
        DWORD error = RunAsService(kServiceName, RunPolicy);
        return error == ERROR_SUCCESS ? 0 : Fail("running as a service", error);
    }
    if (is("-notify"))
        return argc == 4 ? ShowNotice(argv[2], argv[3]) : 2;
    if (is("-console")) {
        printf("AXPolicy running with its files in %s; Ctrl+C ends it.\n", PolicyFolder().c_str());
        fflush(stdout);
        return RunInForeground(RunPolicy) == ERROR_SUCCESS ? 0 : 1;
    }
    if (is("-install")) {
        ServiceDefinition definition{kServiceName, "Allotrix Quota Policy",
                                     "Carries out the threshold actions of the disk-space "
                                     "quotas kept by AXServer.",
                                     QuotedProgramPath() + " -service",
                                     std::string(kQuotaServiceName)};
        DWORD error = InstallService(definition);
        if (error != ERROR_SUCCESS)
            return Fail("installing the service", error);
        if ((error = InstallEventSource(kServiceName)) != ERROR_SUCCESS)
            return Fail("registering the event source", error);
        printf("AXPolicy installed; its log and state are kept in %s\n", PolicyFolder().c_str());
        return 0;
    }
    if (is("-uninstall")) {
        DWORD error = UninstallService(kServiceName);
        if (error != ERROR_SUCCESS)
            return Fail("removing the service", error);
        RemoveEventSource(kServiceName);
        return 0;
    }
    if (is("-start")) {
        DWORD error = StartServiceAndWait(kQuotaServiceName);
        if (error == ERROR_SUCCESS)
            error = StartServiceAndWait(kServiceName);
        return error == ERROR_SUCCESS ? 0 : Fail("starting AXPolicy", error);
    }
    if (is("-stop")) {
        DWORD error = StopServiceAndWait(kServiceName);
        return error == ERROR_SUCCESS ? 0 : Fail("stopping AXPolicy", error);
    }
    bool help = is("-help") || is("--help") || is("-?");
    fputs(kUsage, help ? stdout : stderr);
    return help ? 0 : 2;
}
