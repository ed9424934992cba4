#include "registry_keys.h"
#include "server/template_reader.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Imports the demonstration templates the way tools/seed-templates.sh does.
void ImportSeedFile() {
    std::string path = "Z:" + std::string(KELVANE_SEED_FILE);
    for (char& c : path)
        if (c == '/')
            c = '\\';
    std::string command = "regedit.exe /S \"" + path + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process));
    WaitForSingleObject(process.hProcess, 60000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

} // namespace

TEST(SeedTemplates, DemonstrationTemplatesReadBackAsIntended) {
    RemoveAllTemplates();
    ImportSeedFile();

    QuotaEditRecord home;
    ASSERT_EQ(0, ReadTemplate(nullptr, "Home Folders", nullptr, home, false));
    EXPECT_EQ(104857600u, home.GetPermQuota());
    EXPECT_TRUE(home.IsAttributeSet(AttrDiskFull));
    EXPECT_FALSE(home.IsAttributeSet(AttrNoEnforce));
    EXPECT_EQ(100, home.GetThreshPercent1());
    EXPECT_EQ(90, home.GetThreshPercent2());
    EXPECT_TRUE(home.Actions[1].IsPolicyFlagSet(PolWarning));

    QuotaEditRecord projects;
    ASSERT_EQ(0, ReadTemplate(nullptr, "Project Shares", nullptr, projects, false));
    EXPECT_TRUE(projects.IsAttributeSet(AttrPercentOfDevice));
    EXPECT_EQ(25u, projects.GetPermQuota());
    EXPECT_EQ(uint32_t{TplResetHighWater}, projects.TemplateFlags);
    EXPECT_EQ(uint32_t{TplActMessage}, projects.TemplateActionFlags[1]);
    char profile[kMailSecretSize] = {};
    projects.Actions[0].ReportMail.GetMailProfile(profile);
    EXPECT_STREQ("Storage Reports", profile);
    EXPECT_EQ(0x1F, projects.Actions[0].DaysOfWeek);

    QuotaEditRecord monitorOnly;
    ASSERT_EQ(0, ReadTemplate(nullptr, "Monitor Only", nullptr, monitorOnly, false));
    EXPECT_TRUE(monitorOnly.IsAttributeSet(AttrNoEnforce));
    EXPECT_EQ(uint32_t{TplPermQuota | TplOverdraft}, monitorOnly.TemplateFlags);

    QuotaEditRecord user;
    ASSERT_EQ(0, ReadTemplate(nullptr, "<User Fallback>", nullptr, user, true));
    EXPECT_EQ(52428800u, user.GetPermQuota());
    QuotaEditRecord directory;
    ASSERT_EQ(0, ReadTemplate(nullptr, "<Directory Fallback>", nullptr, directory, true));
    EXPECT_TRUE(directory.IsAttributeSet(AttrUseDeviceSize));
    EXPECT_TRUE(directory.IsAttributeSet(AttrBelow5));
    RemoveAllTemplates();
}
