// The installed services, the registry keys they leave for the console, and their record store.
#include "quota_service.h"

#include "base/handles.h"
#include "services/axserver/server_settings.h"
#include "services/axserver/store_folder.h"
#include "temp_folder.h"

#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

std::string ReadText(const char* key, const char* value) {
    char text[260] = {};
    DWORD size = sizeof text;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, key, value, RRF_RT_REG_SZ | RRF_RT_REG_MULTI_SZ, nullptr,
                     text, &size) != ERROR_SUCCESS)
        return "(missing)";
    return text;
}

TEST(ServiceInstallation, LeavesTheConsoleKeysAndStartsThePolicyServiceAfterTheQuotaService) {
    for (const char* value : {"ServerAuditing", "PolicyAuditing"}) {
        std::string text = ReadText("Software\\Ostrel\\Allotrix\\4.0", value);
        EXPECT_TRUE(text == "Enabled" || text == "Disabled") << value << ": " << text;
    }
    for (const char* path : {"Software\\Ostrel\\Mail", "Software\\Ostrel\\Allotrix\\Templates",
                             "SYSTEM\\CurrentControlSet\\Services\\AxFilter\\Parameters"}) {
        base::UniqueKey key;
        EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, key.Put()))
            << path;
    }
    EXPECT_EQ(std::string(kTestStore), ReadText(kParametersKey, "StoreFolder"));

    const char* policy = "SYSTEM\\CurrentControlSet\\Services\\AXPolicy";
    DWORD start = 0, size = sizeof start;
    EXPECT_EQ(ERROR_SUCCESS, RegGetValueA(HKEY_LOCAL_MACHINE, policy, "Start", RRF_RT_REG_DWORD,
                                          nullptr, &start, &size));
    EXPECT_EQ(DWORD(SERVICE_AUTO_START), start);
    // Wine keeps the dependencies with a length past their terminating zeros: only the first name
    // is certain.
    EXPECT_EQ(kQuotaServiceName, ReadText(policy, "DependOnService"));
}

TEST(ServiceInstallation, QuotasOutliveAReinstallWithoutAStoreFolderAndADamagedJournal) {
    TestFolder folder("reinstall");
    ASSERT_EQ(0u, SaveQuota(folder.Path(), 777'000, AttrAbsolute));
    ASSERT_EQ(0, RunServerProgram("-uninstall"));
    EXPECT_EQ("(missing)", ReadText(kParametersKey, "StoreFolder"));
    int installed = RunServerProgram("-install");
    std::string folderSetting = ReadText(kParametersKey, "StoreFolder");
    ForgetInstallation(); // the policy service is installed again below
    ASSERT_EQ(0, installed);
    EXPECT_EQ(std::string(kTestStore), folderSetting);
    EnsureServicesRunning();
    ASSERT_NO_FATAL_FAILURE(StopServices());
    {
        std::fstream journal(std::string(kTestStore) + "\\quota.jnl",
                             std::ios::in | std::ios::out | std::ios::binary);
        journal.seekg(20); // in the header
        const char byte = static_cast<char>(journal.get() ^ 0x10);
        journal.seekp(20);
        ASSERT_TRUE(journal.put(byte));
    }
    EnsureServicesRunning();
    std::string told = ReadText(kParametersKey, "LastStoreRecovery");
    EXPECT_NE(std::string::npos, told.find("quota.jnl: its header was damaged")) << told;
    EXPECT_NE(std::string::npos, told.find("kept as quota.jnl.damaged-")) << told;
    AXCli client;
    ASSERT_EQ(0u, client.Connect(""));
    AllotrixBaseDbRec listed;
    ASSERT_TRUE(FindListed(client, folder, "", listed));
    EXPECT_EQ(777'000u, listed.GetPermQuota());
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

} // namespace
