// The installed services and the registry keys they leave for the console.
#include "service_fixture.h"

#include "services/axserver/server_settings.h"
#include "services/common/service_control.h"
#include "services/store/record_packing.h"
#include "services/store/store_format.h"
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
    ASSERT_EQ(ERROR_SUCCESS, QueryServiceState(kPolicyServiceName, nullptr, state));
    EXPECT_EQ(static_cast<DWORD>(SERVICE_STOPPED), state);
    ASSERT_EQ(ERROR_SUCCESS, StartServiceAndWait(kPolicyServiceName));
    ASSERT_EQ(ERROR_SUCCESS, QueryServiceState(kPolicyServiceName, nullptr, state));
    EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), state);
    ASSERT_EQ(ERROR_SUCCESS, QueryServiceState(kQuotaServiceName, nullptr, state));
    EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), state);
}

// Writes a store of `count` object quotas at once, as a snapshot: saving them one by one, each
// flushed to disk, would take minutes.
void WriteStore(const std::string& folder, uint32_t count) {
    CreateDirectoryA(folder.c_str(), nullptr);
    StoreFileHeader header = MakeHeader(StoreFileKind::Snapshot, 1, count + 1);
    std::vector<char> bytes(reinterpret_cast<const char*>(&header),
                            reinterpret_cast<const char*>(&header) + sizeof header);
    for (uint32_t id = 1; id <= count; ++id) {
        AllotrixDbRec record;
        record.SetRecordId(id);
        record.SetObjectName("C:", ("\\kelvane-test\\many\\q" + std::to_string(id)).c_str());
        record.TurnAttributeOn(AttrAbsolute);
        record.SetPermQuota(uint64_t{id} << 20);
        record.Actions[0].SetMessage("Over the first threshold");
        PackedRecord packed = PackRecord(record);
        AppendEntry(bytes, EntryKind::Save, packed.data(), uint32_t(packed.size()));
    }
    ui::UniqueFile file(CreateFileA((folder + "\\quota.db").c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    ASSERT_TRUE(file &&
                WriteFile(file.Get(), bytes.data(), DWORD(bytes.size()), &written, nullptr));
    DeleteFileA((folder + "\\quota.jnl").c_str());
}

TEST(ServiceInstallation, AServerWithManyQuotasStartsAndListsThemAll) {
    constexpr uint32_t kQuotas = 6000;
    const std::string store = std::string(kTestRoot) + "\\many-quotas";
    ASSERT_NO_FATAL_FAILURE(StopServices());
    ASSERT_NO_FATAL_FAILURE(WriteStore(store, kQuotas));
    ASSERT_EQ(ERROR_SUCCESS, WriteStoreFolderSetting(store));
    DWORD started = StartServiceAndWait(kQuotaServiceName);
    size_t listed = 0;
    if (started == ERROR_SUCCESS) {
        AXCli client;
        if (client.Connect("") == ERROR_SUCCESS)
            listed = ListAll(client).size();
    }
    StopServiceAndWait(kQuotaServiceName);
    EXPECT_EQ(ERROR_SUCCESS, WriteStoreFolderSetting(kTestStore));
    EnsureServicesRunning();
    EXPECT_EQ(DWORD(ERROR_SUCCESS), started) << "the service did not start in time";
    EXPECT_EQ(kQuotas, listed);
}

} // namespace
