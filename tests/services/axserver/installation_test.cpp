// The installed services and the registry keys they leave for the console.
#include "quota_service.h"

#include "services/axserver/server_settings.h"
#include "services/axserver/store_folder.h"
#include "base/service_control.h"
#include "services/store/record_packing.h"
#include "services/store/store_format.h"
#include "temp_folder.h"
#include "base/handles.h"

#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <fstream>
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
    base::UniqueKey key;
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

TEST(ServiceInstallation, PolicyServiceStartsAutomaticallyAfterTheQuotaService) {
    base::UniqueService manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    ASSERT_TRUE(manager);
    base::UniqueService policy(OpenServiceA(manager.Get(), kPolicyServiceName, SERVICE_ALL_ACCESS));
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
}

TEST(ServiceInstallation, ReinstallingWithoutAStoreFolderKeepsTheQuotas) {
    TestFolder folder("reinstall");
    {
        AXCli client;
        ASSERT_EQ(0u, client.Connect(""));
        AllotrixDbRec record = MakeRecord(folder, "", 777'000);
        ASSERT_EQ(0u, client.Save(&record, 0));
    }
    ASSERT_EQ(0, RunServerProgram("-uninstall"));
    EXPECT_EQ("(missing)", ReadText(kParametersKey, "StoreFolder"));
    int installed = RunServerProgram("-install");
    std::string folderSetting = ReadText(kParametersKey, "StoreFolder");
    ForgetInstallation(); // the policy service is installed again below
    ASSERT_EQ(0, installed);
    EXPECT_EQ(std::string(kTestStore), folderSetting);
    EnsureServicesRunning();
    AXCli client;
    ASSERT_EQ(0u, client.Connect(""));
    AllotrixBaseDbRec listed;
    ASSERT_TRUE(FindListed(client, folder, "", listed));
    EXPECT_EQ(777'000u, listed.GetPermQuota());
}

TEST(ServiceInstallation, ADamagedJournalIsRecoveredToldAndKeptAside) {
    TestFolder folder("damaged");
    {
        AXCli client;
        ASSERT_EQ(0u, client.Connect(""));
        AllotrixDbRec record = MakeRecord(folder, "", 555'000);
        ASSERT_EQ(0u, client.Save(&record, 0));
    }
    ASSERT_NO_FATAL_FAILURE(StopServices());
    std::string journal = std::string(kTestStore) + "\\quota.jnl";
    {
        std::fstream file(journal, std::ios::in | std::ios::out | std::ios::binary);
        file.seekg(20); // in the header
        const char byte = static_cast<char>(file.get() ^ 0x10);
        file.seekp(20);
        ASSERT_TRUE(file.put(byte));
    }
    EnsureServicesRunning();
    std::string told = ReadText(kParametersKey, "LastStoreRecovery");
    EXPECT_NE(std::string::npos, told.find("quota.jnl: its header was damaged")) << told;
    EXPECT_NE(std::string::npos, told.find("kept as quota.jnl.damaged-")) << told;
    AXCli client;
    ASSERT_EQ(0u, client.Connect(""));
    AllotrixBaseDbRec listed;
    ASSERT_TRUE(FindListed(client, folder, "", listed)) << "the quota was recovered";
    EXPECT_EQ(555'000u, listed.GetPermQuota());
}

TEST(ServiceInstallation, TheStoreFolderIsMadeForSystemAndAdministratorsOnly) {
    const std::string folder = std::string(kTestRoot) + "\\secured-store";
    RemoveTree(folder);
    std::string note;
    ASSERT_EQ(0u, SecureStoreFolder(folder, note));
    EXPECT_EQ("", note);
    base::UniqueLocal descriptor;
    ASSERT_EQ(0u, GetNamedSecurityInfoA(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                        nullptr, nullptr, nullptr, nullptr, descriptor.Put()));
    char* text = nullptr;
    ASSERT_TRUE(ConvertSecurityDescriptorToStringSecurityDescriptorA(
        descriptor.Get(), SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr));
    base::UniqueLocal textOwner(text);
    EXPECT_EQ(std::string::npos, std::string(text).find(";WD)")) << text << " grants everyone";
    EXPECT_EQ(std::string::npos, std::string(text).find(";BU)")) << text << " grants users";

    // A folder made with inherited rights is restricted, or the failure to keep that is told.
    RemoveTree(folder);
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_EQ(0u, SecureStoreFolder(folder, note));
    EXPECT_NE(std::string::npos, note.find(folder)) << note;
    RemoveTree(folder);
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
    base::UniqueFile file(CreateFileA((folder + "\\quota.db").c_str(), GENERIC_WRITE, 0, nullptr,
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
