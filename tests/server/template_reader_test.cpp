#include "registry_keys.h"
#include "server/template_reader.h"

#include <gtest/gtest.h>

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

} // namespace

TEST_F(TemplateReader, ReadsEveryValueIntoItsField) {
    TestKey key = OrdinaryTemplate("Everything");
    key.String("association", "Users of D:").Dword("TemplateFlags", 0x2c05);
    TestKey quota = key.Sub("Quota");
    quota.String("PermQuota", "1048576").String("Overdraft", "4096");
    for (const char* yes :
         {"Write Through", "Enforce Quota", "Exclude", "DiskFull", "Reset Highwater",
          "PercentOfCurrentUsed", "PercentOfDevice", "UseDeviceSize"})
        quota.String(yes, "Yes");
    const char profile[kMailSecretSize] = {0x0B, 0x13, 0x1B};  // "abc" as stored
    const char password[kMailSecretSize] = {0x0B, 0x0B, 0x0B}; // "aaa" as stored
    const uint8_t weekDays = 0x55;
    TestKey third = key.Sub("Threshold3");
    for (const char* yes :
         {"ThresholdAbove", "ThresholdBelow", "Send", "SendToConsole", "Aged", "DirUsage",
          "Duplicates", "Large", "LastAccess", "New", "UsageByOwner", "Summary", "MailReport"})
        third.String(yes, "Yes");
    third
        .Dword("Threshold", 256 + 85) // the low byte counts
        .Dword("TemplateActionFlags", 0x10000000)
        .String("Message", "%USER% is over %QUOTA%")
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
        .String("OutputDir", "C:\\Reports")
        .String("Format", "HTML")
        .String("Report Set", "Weekly")
        .String("Schedule Job Time", "1:30:00 PM")
        .Dword("Schedule Days Of Month", 0x80000001)
        .Binary("Schedule Days Of Week", &weekDays, 1)
        .Dword("Schedule Flags", 0x1207)
        .Dword("ComboBoxIdx", 3);

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
                       AttrUseDeviceSize | AttrBelow3},
              record.GetAttributes());

    const AllotrixActionRec& action = record.Actions[2];
    EXPECT_EQ(85, record.GetThreshPercent3());
    EXPECT_EQ(0x10000000u, record.TemplateActionFlags[2]);
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

// "Yes" in any case sets a flag and any other text clears it ("Enforce Quota" is inverted); a
// level or format word turns on its flag, an unknown one the first, and leaves the others.
TEST_F(TemplateReader, WordsSetOrClearTheirFlagsAndLeaveTheOthers) {
    struct Case {
        const char* key; // "Quota": the attributes; "ThresholdN": threshold N's policy flags
        const char* value;
        const char* text;
        uint32_t preset, expected;
    };
    const uint32_t trap = PolSnmpTrap, mail = PolMailReport;
    for (Case c : {
             Case{"Quota", "Write Through", "yEs", AttrDiskFull, AttrDiskFull | AttrWriteThrough},
             Case{"Quota", "Write Through", "Yes please", AttrWriteThrough, 0},
             Case{"Quota", "Enforce Quota", "YES", AttrNoEnforce, 0},
             Case{"Quota", "Enforce Quota", "", 0, AttrNoEnforce},
             Case{"Threshold1", "Large", "yes", PolReportNew, PolReportNew | PolReportLarge},
             Case{"Threshold2", "Error", "informational", trap, trap | PolInformational},
             Case{"Threshold2", "Error", "Fatal", trap, trap | PolSevere},
             Case{"Threshold2", "Error", "Informational", PolWarning,
                  PolWarning | PolInformational},
             Case{"Threshold5", "Format", "Comma", mail, mail | PolFormatComma},
             Case{"Threshold5", "Format", "PDF", mail, mail | PolFormatAscii},
         }) {
        SCOPED_TRACE(std::string(c.value) + " = " + c.text);
        RemoveAllTemplates();
        OrdinaryTemplate("Word").Sub(c.key).String(c.value, c.text);
        const bool quota = c.key[0] == 'Q';
        const int action = quota ? 0 : c.key[9] - '1';
        QuotaEditRecord record;
        if (quota)
            record.SetAttributes(c.preset);
        else
            record.Actions[action].SetPolicyFlags(c.preset);
        ASSERT_EQ(0, Read("Word", record));
        EXPECT_EQ(c.expected,
                  quota ? record.GetAttributes() : record.Actions[action].GetPolicyFlags());
    }
}

// A value larger than its limit is skipped; a text longer than its field is cut to it, also
// when stored without its terminating zero.
TEST_F(TemplateReader, ValuesOverTheirLimitAreSkippedAndLongTextsCutToTheirField) {
    const std::string message(1023, 'm');
    const std::string unterminated(kMailTextSize, 's');
    const char profile[kMailSecretSize + 1] = {0x0B};
    TestKey key = OrdinaryTemplate("Limits");
    key.Sub("Quota")
        .String("PermQuota", std::string(255, '0') + "1234") // 260 bytes with the zero
        .String("Overdraft", std::string(256, '0') + "5678");
    key.Sub("Threshold1")
        .String("Message", message)
        .String("Policy", message + "p")
        .Binary("Profile", profile, sizeof profile)
        .String("OutputDir", "D:\\" + std::string(256, 'd'))
        .Binary("Subject", unterminated.data(), unterminated.size());

    QuotaEditRecord record;
    record.SetOverDraft(77);
    AllotrixActionRec& action = record.Actions[0];
    action.ReportMail.SetMailProfile("kept");
    ASSERT_EQ(0, Read("Limits", record));
    EXPECT_EQ(1234u, record.GetPermQuota());
    EXPECT_EQ(77u, record.GetOverDraft());
    EXPECT_EQ(message, action.GetMessageA());
    EXPECT_STREQ("", action.GetPolicyToExecute());
    char clear[kMailSecretSize];
    action.ReportMail.GetMailProfile(clear);
    EXPECT_STREQ("kept", clear);
    EXPECT_EQ("D:\\" + std::string(kMailTextSize - 4, 'd'), action.ReportMail.OutputDirectory);
    EXPECT_EQ(unterminated.substr(0, kMailTextSize - 1), action.ReportMail.MailSubject);
}

TEST_F(TemplateReader, MissingPartsKeepTheRecordThisComputerIsLocalAndFallbacksAreApart) {
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
    // This computer by name, in any case, is the local registry.
    std::string name = LocalComputerName();
    CharLowerA(name.data());
    for (const std::string& server : {name, "\\\\" + LocalComputerName()}) {
        QuotaEditRecord named;
        ASSERT_EQ(0, ReadTemplate(server.c_str(), "Sparse", nullptr, named, false)) << server;
        EXPECT_EQ(60, named.GetThreshPercent2());
    }
    char association[500] = "untouched";
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              ReadTemplate(nullptr, "No Such Template", association, record, false));
    EXPECT_EQ(5000u, record.GetPermQuota());
    EXPECT_STREQ("untouched", association);

    FallbackTemplate("<User Fallback>").Sub("Quota").String("PermQuota", "2048");
    OrdinaryTemplate("<User Fallback>").Sub("Quota").String("PermQuota", "1");
    EXPECT_TRUE(IsFallbackTemplateName("<DIRECTORY fallback>"));
    EXPECT_FALSE(IsFallbackTemplateName("User Fallback"));
    for (bool fallback : {true, false}) {
        QuotaEditRecord read;
        ASSERT_EQ(0, ReadTemplate(nullptr, "<User Fallback>", nullptr, read, fallback));
        EXPECT_EQ(fallback ? 2048u : 1u, read.GetPermQuota());
    }
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              ReadTemplate(nullptr, "<Directory Fallback>", nullptr, record, true));
}
