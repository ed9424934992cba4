// The installed services and the registry keys they leave for the console.
#include "service_fixture.h"

#include "services/axserver/server_settings.h"
#include "services/common/service_control.h"
#include "ui/handles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string ReadText(const char* key, const char* value) {
    char text[260] = {};
    DWORD size = sizeof text;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, key, value, RRF_RT_REG_SZ, nullptr, text, &size) !=
        ERROR_SUCCESS)
        return "(missing)";
    return text;
}

bool KeyExists(const char* path) {
    ui::UniqueKey key;
    return RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, key.Put()) == ERROR_SUCCESS;
}

TEST(ServiceInstallation, ConsoleKeysExistWithAuditingValues) {
    const char* version = "Software\\Ostrel\\Allotrix\\4.0";
    std::string server = ReadText(version, "ServerAuditing");
    std::string policy = ReadText(version, "PolicyAuditing");
    EXPECT_TRUE(server == "Enabled" || server == "Disabled") << server;
    EXPECT_TRUE(policy == "Enabled" || policy == "Disabled") << policy;
    EXPECT_TRUE(KeyExists("Software\\Ostrel\\Mail"));
    EXPECT_TRUE(KeyExists("Software\\Ostrel\\Allotrix\\Templates"));
    EXPECT_TRUE(KeyExists("SYSTEM\\CurrentControlSet\\Services\\AxFilter\\Parameters"));
    EXPECT_EQ(std::string(kTestStore), ReadText(kParametersKey, "StoreFolder"));
}

TEST(ServiceInstallation, PolicyServiceDependsOnQuotaServiceAndStartsAndStops) {
    ui::UniqueService manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    ASSERT_TRUE(manager);
    ui::UniqueService policy(OpenServiceA(manager.Get(), kPolicyServiceName, SERVICE_ALL_ACCESS));
    ASSERT_TRUE(policy);
    std::vector<BYTE> buffer(8192);
    DWORD needed = 0;
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
    ASSERT_TRUE(
        QueryServiceConfigA(policy.Get(), config, static_cast<DWORD>(buffer.size()), &needed));
    EXPECT_EQ(static_cast<DWORD>(SERVICE_AUTO_START), config->dwStartType);
    // The dependency as the service control manager keeps it. Wine stores the value with a
    // length past its terminating zeros (whatever follows in memory comes along), so only the
    // first name is certain.
    char dependencies[1024] = {};
    DWORD size = sizeof dependencies;
    ASSERT_EQ(ERROR_SUCCESS,
              RegGetValueA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\AXPolicy",
                           "DependOnService", RRF_RT_REG_MULTI_SZ, nullptr, dependencies, &size));
    EXPECT_STREQ(kQuotaServiceName, dependencies);

    DWORD state = 0;
    ASSERT_EQ(ERROR_SUCCESS, StopServiceAndWait(kPolicyServiceName));
    ASSERT_EQ(ERROR_SUCCESS, QueryServiceState(kPolicyServiceName, state));
    EXPECT_EQ(static_cast<DWORD>(SERVICE_STOPPED), state);
    ASSERT_EQ(ERROR_SUCCESS, StartServiceAndWait(kPolicyServiceName));
    ASSERT_EQ(ERROR_SUCCESS, QueryServiceState(kPolicyServiceName, state));
    EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), state);
    ASSERT_EQ(ERROR_SUCCESS, QueryServiceState(kQuotaServiceName, state));
    EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), state);
}

} // namespace
