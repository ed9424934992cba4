#include "registry_keys.h"
#include "server/server_registry.h"
#include "server/template_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

class TemplateReader : public ::testing::Test {
protected:
    void SetUp() override { RemoveAllTemplates(); }
    void TearDown() override { RemoveAllTemplates(); }

    // Reads ordinary template `name` from this computer into `record`.
    LONG Read(const char* name, QuotaEditRecord& record) {
        return ReadTemplate(nullptr, name, nullptr, record, false);
    }
};

// Reads template "Word", whose key `key` holds only `value` = `text`, over `record`.
QuotaEditRecord ReadValue(const char* key, const char* value, const char* text,
                          QuotaEditRecord record) {
    RemoveAllTemplates();
    OrdinaryTemplate("Word").Sub(key).String(value, text);
    EXPECT_EQ(0, ReadTemplate(nullptr, "Word", nullptr, record, false));
    return record;
}

bool Attr(const AllotrixBaseDbRec& record, eQuotaDriverAttributeFlags flag) {
    return record.IsAttributeSet(flag) != 0;
}
bool Pol(const AllotrixActionRec& action, eQuotaPolicyAttributeFlags flag) {
    return action.IsPolicyFlagSet(flag) != 0;
}

} // namespace

TEST_F(TemplateReader, ReadsEveryQuotaValueAndTheTemplateWords) {
    TestKey key = OrdinaryTemplate("Everything");
    key.String("association", "Users of D:").Dword("TemplateFlags", 0x2c05);
    key.Sub("Quota")
        .String("PermQuota", "1048576")
        .String("Overdraft", "4096")
        .String("Write Through", "yes")
        .String("Enforce Quota", "Yes")
        .String("Exclude", "YES")
        .String("DiskFull", "Yes")
        .String("Reset Highwater", "Yes")
        .String("PercentOfCurrentUsed", "Yes")
        .String("PercentOfDevice", "Yes")
        .String("UseDeviceSize", "Yes");

    QuotaEditRecord record;
    record.TurnAttributeOn(AttrNoEnforce);
    char association[500] = {};
    ASSERT_EQ(0, ReadTemplate(nullptr, "Everything", association, record, false));

    EXPECT_STREQ("Users of D:", association);
    EXPECT_EQ(0x2c05u, record.TemplateFlags);
    EXPECT_EQ(1048576u, record.GetPermQuota());
    EXPECT_EQ(4096u, record.GetOverDraft());
    EXPECT_EQ(uint32_t{AttrWriteThrough | AttrExcludeFromAbsolute | AttrDiskFull |
                       AttrResetHighWater | AttrPercentOfCurrentUsed | AttrPercentOfDevice |
                       AttrUseDeviceSize},
              record.GetAttributes());
}

TEST_F(TemplateReader, YesInAnyCaseSetsAFlagAnythingElseClearsItAndEnforceIsInverted) {
    for (const char* text : {"yes", "YES", "yEs", "No", "", "Yes please"}) {
        bool yes = _stricmp(text, "yes") == 0;
        QuotaEditRecord preset; // every flag the opposite of what the text says
        if (!yes) {
            preset.TurnAttributeOn(AttrWriteThrough);
            preset.Actions[0].TurnPolicyFlagOn(PolReportLarge);
        } else {
            preset.TurnAttributeOn(AttrNoEnforce);
        }
        EXPECT_EQ(yes, Attr(ReadValue("Quota", "Write Through", text, preset), AttrWriteThrough))
            << text;
        EXPECT_EQ(!yes, Attr(ReadValue("Quota", "Enforce Quota", text, preset), AttrNoEnforce))
            << text;
        EXPECT_EQ(yes,
                  Pol(ReadValue("Threshold1", "Large", text, preset).Actions[0], PolReportLarge))
            << text;
    }
    // Values the template does not hold leave their flags alone.
    QuotaEditRecord preset;
    preset.TurnAttributeOn(AttrResetHighWater);
    preset.Actions[0].TurnPolicyFlagOn(PolReportNew);
    QuotaEditRecord read = ReadValue("Threshold1", "Aged", "no", preset);
    EXPECT_TRUE(Attr(read, AttrResetHighWater));
    EXPECT_TRUE(Pol(read.Actions[0], PolReportNew));
}

TEST_F(TemplateReader, LevelAndFormatWordsTurnOnOneFlagAndLeaveTheOthers) {
    struct Case {
        const char* key;
        const char* value;
        const char* text;
        uint32_t preset;
        uint32_t expected;
    };
    const uint32_t trap = PolSnmpTrap, mail = PolMailReport;
    for (Case c :
         {Case{"Threshold2", "Error", "Severe", trap, trap | PolSevere},
          Case{"Threshold2", "Error", "informational", trap, trap | PolInformational},
          Case{"Threshold2", "Error", "WARNING", trap, trap | PolWarning},
          Case{"Threshold2", "Error", "Fatal", trap, trap | PolSevere},
          Case{"Threshold2", "Error", "", trap, trap | PolSevere},
          Case{"Threshold2", "Error", "Informational", PolWarning, PolWarning | PolInformational},
          Case{"Threshold5", "Format", "Comma", mail, mail | PolFormatComma},
          Case{"Threshold5", "Format", "html", mail, mail | PolFormatHtml},
          Case{"Threshold5", "Format", "ascii", mail, mail | PolFormatAscii},
          Case{"Threshold5", "Format", "PDF", mail, mail | PolFormatAscii}}) {
        int action = c.key[9] - '1';
        QuotaEditRecord preset;
        preset.Actions[action].SetPolicyFlags(c.preset);
        EXPECT_EQ(c.expected,
                  ReadValue(c.key, c.value, c.text, preset).Actions[action].GetPolicyFlags())
            << c.value << " " << c.text;
    }
}

TEST_F(TemplateReader, ReadsEveryThresholdValue) {
    TestKey t3 = OrdinaryTemplate("Full").Sub("Threshold3");
    const char profile[kMailSecretSize] = {0x0B, 0x13, 0x1B};  // "abc" as stored
    const char password[kMailSecretSize] = {0x0B, 0x0B, 0x0B}; // "aaa" as stored
    const uint8_t weekDays = 0x55;
    t3.Dword("Threshold", 256 + 85) // the low byte counts
        .Dword("TemplateActionFlags", 0x10000000)
        .String("ThresholdAbove", "Yes")
        .String("ThresholdBelow", "Yes")
        .String("Message", "%USER% is over %QUOTA%")
        .String("Send", "Yes")
        .String("SendToConsole", "Yes")
        .String("Error", "Warning")
        .String("Server", "EVENTS1")
        .Binary("Profile", profile, sizeof profile)
        .Binary("Password", password, sizeof password)
        .String("User", "ann;bob")
        .String("CC", "carl")
        .String("Subject", "Quota report")
        .String("Policy", "cmd /c cleanup.cmd")
        .String("AdjustQuota", "10485760")
        .String("AutoAdjustRepeat", "3")
        .String("Aged", "Yes")
        .String("DirUsage", "Yes")
        .String("Duplicates", "Yes")
        .String("Large", "Yes")
        .String("LastAccess", "Yes")
        .String("New", "Yes")
        .String("UsageByOwner", "Yes")
        .String("Summary", "Yes")
        .String("OutputDir", "C:\\Reports")
        .String("Format", "HTML")
        .String("MailReport", "Yes")
        .String("Report Set", "Weekly")
        .String("Schedule Job Time", "1:30:00 PM")
        .Dword("Schedule Days Of Month", 0x80000001)
        .Binary("Schedule Days Of Week", &weekDays, 1)
        .Dword("Schedule Flags", 0x1207)
        .Dword("ComboBoxIdx", 3);

    QuotaEditRecord record;
    ASSERT_EQ(0, Read("Full", record));
    const AllotrixActionRec& action = record.Actions[2];
    EXPECT_EQ(85, record.GetThreshPercent3());
    EXPECT_EQ(0x10000000u, record.TemplateActionFlags[2]);
    EXPECT_EQ(uint32_t{AttrBelow3}, record.GetAttributes());
    EXPECT_EQ(uint32_t{PolAbove | PolNotifyUser | PolSendToConsole | PolWarning | PolReportAged |
                       PolReportDirUsage | PolReportDuplicates | PolReportLarge |
                       PolReportLastAccess | PolReportNew | PolReportUsageByOwner |
                       PolReportSummary | PolFormatHtml | PolMailReport},
              action.GetPolicyFlags());
    EXPECT_STREQ("%USER% is over %QUOTA%", action.GetMessageA());
    EXPECT_STREQ("EVENTS1", action.GetServerName());
    char clear[kMailSecretSize];
    action.ReportMail.GetMailProfile(clear);
    EXPECT_STREQ("abc", clear);
    action.ReportMail.GetMailPassword(clear);
    EXPECT_STREQ("aaa", clear);
    EXPECT_STREQ("ann;bob", action.ReportMail.MailTo);
    EXPECT_STREQ("carl", action.ReportMail.MailCc);
    EXPECT_STREQ("Quota report", action.ReportMail.MailSubject);
    EXPECT_STREQ("cmd /c cleanup.cmd", action.GetPolicyToExecute());
    EXPECT_EQ(10485760u, action.GetAdjustQuota());
    EXPECT_EQ(3u, action.GetRepeat());
    EXPECT_STREQ("C:\\Reports", action.ReportMail.OutputDirectory);
    EXPECT_STREQ("Weekly", action.ReportSet);
    EXPECT_STREQ("1:30:00 PM", action.ScheduleJobTime);
    EXPECT_EQ(0x80000001u, action.DaysOfMonth);
    EXPECT_EQ(0x55, action.DaysOfWeek);
    EXPECT_EQ(0x07, action.ScheduleFlags);
    EXPECT_EQ(3, action.ScheduleChoice);
    for (int other : {0, 1, 3, 4})
        EXPECT_EQ(0u, record.Actions[other].GetPolicyFlags()) << other;
}

TEST_F(TemplateReader, ValuesLargerThanTheirLimitAreSkipped) {
    const std::string longNumber = std::string(255, '0') + "1234"; // 260 bytes with the zero
    const std::string tooLongNumber = std::string(256, '0') + "5678";
    const std::string message(1023, 'm');
    const std::string mail(256, 'u');
    const char profile[kMailSecretSize + 1] = {0x0B};
    const uint32_t wideFlags[2] = {0x400, 0};
    OrdinaryTemplate("Limits").Binary("TemplateFlags", wideFlags, sizeof wideFlags);
    OrdinaryTemplate("Limits")
        .Sub("Quota")
        .String("PermQuota", longNumber)
        .String("Overdraft", tooLongNumber);
    OrdinaryTemplate("Limits")
        .Sub("Threshold1")
        .String("Message", message)
        .String("Policy", message + "p")
        .String("User", mail)
        .String("CC", mail + "c")
        .Binary("Profile", profile, kMailSecretSize + 1)
        .String("Send", std::string(259, ' '))
        .String("SendToConsole", "Yes" + std::string(258, ' '));

    QuotaEditRecord record;
    record.SetOverDraft(77);
    record.Actions[0].TurnPolicyFlagOn(PolSendToConsole);
    record.Actions[0].TurnPolicyFlagOn(PolNotifyUser);
    ASSERT_EQ(0, Read("Limits", record));
    EXPECT_EQ(0u, record.TemplateFlags);
    EXPECT_EQ(1234u, record.GetPermQuota());
    EXPECT_EQ(77u, record.GetOverDraft());
    const AllotrixActionRec& action = record.Actions[0];
    EXPECT_EQ(message, action.GetMessageA());
    EXPECT_STREQ("", action.GetPolicyToExecute());
    EXPECT_EQ(mail, action.ReportMail.MailTo);
    EXPECT_STREQ("", action.ReportMail.MailCc);
    EXPECT_EQ(0, action.ReportMail.MailProfile[0]);
    EXPECT_FALSE(Pol(action, PolNotifyUser));   // 260 bytes: read, and not "Yes"
    EXPECT_TRUE(Pol(action, PolSendToConsole)); // 262 bytes: skipped
}

TEST_F(TemplateReader, TextsLongerThanTheirFieldAreCutWithoutOverrun) {
    const std::string directory = "D:\\" + std::string(256, 'd'); // 259 characters
    const std::string time = "12:00:00 in the afternoon, local time";
    const std::string unterminated(kMailTextSize, 's'); // no terminating zero at all
    OrdinaryTemplate("Cut")
        .Sub("Threshold4")
        .String("OutputDir", directory)
        .String("Schedule Job Time", time)
        .Binary("Subject", unterminated.data(), unterminated.size())
        .Binary("User", unterminated.data(), kMailTextSize - 1);

    QuotaEditRecord record;
    AllotrixActionRec& action = record.Actions[3];
    action.ReportMail.SetMailProfile("kept");
    ASSERT_EQ(0, Read("Cut", record));
    EXPECT_EQ(directory.substr(0, kMailTextSize - 1), action.ReportMail.OutputDirectory);
    EXPECT_EQ(time.substr(0, kScheduleTimeSize - 1), action.ScheduleJobTime);
    EXPECT_EQ(0u, action.DaysOfMonth);
    EXPECT_EQ(unterminated.substr(0, kMailTextSize - 1), action.ReportMail.MailSubject);
    EXPECT_EQ(unterminated.substr(0, kMailTextSize - 1), action.ReportMail.MailTo);
    EXPECT_STREQ("", action.ReportMail.MailCc);
    char clear[kMailSecretSize];
    action.ReportMail.GetMailProfile(clear);
    EXPECT_STREQ("kept", clear);
}

TEST_F(TemplateReader, MissingPartsOrAMissingTemplateKeepTheRecordsValues) {
    OrdinaryTemplate("Sparse").Sub("Threshold2").Dword("Threshold", 60);
    QuotaEditRecord record;
    record.SetPermQuota(5000);
    record.SetThreshPercent1(90);
    record.Actions[0].SetMessage("unchanged");
    ASSERT_EQ(0, Read("Sparse", record));
    EXPECT_EQ(5000u, record.GetPermQuota());
    EXPECT_EQ(90, record.GetThreshPercent1());
    EXPECT_EQ(60, record.GetThreshPercent2());
    EXPECT_STREQ("unchanged", record.Actions[0].GetMessageA());
    EXPECT_EQ(0u, record.TemplateFlags);

    char association[500] = "untouched";
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              ReadTemplate(nullptr, "No Such Template", association, record, false));
    EXPECT_EQ(5000u, record.GetPermQuota());
    EXPECT_STREQ("untouched", association);
}

TEST_F(TemplateReader, FallbackTemplatesLiveAmongTheFilterParameters) {
    FallbackTemplate("<User Fallback>").Sub("Quota").String("PermQuota", "2048");
    OrdinaryTemplate("<User Fallback>").Sub("Quota").String("PermQuota", "1");
    EXPECT_TRUE(IsFallbackTemplateName("<user fallback>"));
    EXPECT_TRUE(IsFallbackTemplateName("<DIRECTORY FALLBACK>"));
    EXPECT_FALSE(IsFallbackTemplateName("User Fallback"));

    QuotaEditRecord fallback;
    ASSERT_EQ(0, ReadTemplate(nullptr, "<User Fallback>", nullptr, fallback, true));
    EXPECT_EQ(2048u, fallback.GetPermQuota());
    QuotaEditRecord ordinary;
    ASSERT_EQ(0, ReadTemplate(nullptr, "<User Fallback>", nullptr, ordinary, false));
    EXPECT_EQ(1u, ordinary.GetPermQuota());
    QuotaEditRecord missing;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              ReadTemplate(nullptr, "<Directory Fallback>", nullptr, missing, true));
}

TEST_F(TemplateReader, LocalComputerByNameInAnyCaseUsesTheLocalRegistryOthersTheirOwn) {
    OrdinaryTemplate("Named").Sub("Quota").String("PermQuota", "300");
    std::string name = LocalComputerName();
    ASSERT_FALSE(name.empty());
    std::string lower = name;
    for (char& c : lower)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    for (const std::string& server : {lower, "\\\\" + name}) {
        HKEY key = nullptr;
        ASSERT_EQ(0, ConnectServerRegistry(server.c_str(), &key));
        EXPECT_EQ(HKEY_LOCAL_MACHINE, key);
        CloseServerRegistry(key);
        QuotaEditRecord record;
        ASSERT_EQ(0, ReadTemplate(server.c_str(), "Named", nullptr, record, false));
        EXPECT_EQ(300u, record.GetPermQuota());
    }
    // HKEY_LOCAL_MACHINE is still open after all that.
    HKEY check = nullptr;
    EXPECT_EQ(0, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kTemplatesKey, 0, KEY_READ, &check));
    RegCloseKey(check);

    QuotaEditRecord record;
    LONG status = ReadTemplate("NOSUCHHOST-KV", "Anything", nullptr, record, false);
    EXPECT_NE(0, status);
    HKEY key = nullptr;
    EXPECT_EQ(status, ConnectServerRegistry("\\\\NOSUCHHOST-KV", &key));
}
