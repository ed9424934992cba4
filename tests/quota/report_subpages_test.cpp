// The report-set and reports sub-pages of a threshold page and the mail dialog they share,
// worked as a user works them in the quota sheet.
#include "quota/threshold_subpage.h"
#include "res/resource.h"
#include "sheet_driver.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kReportSetItem = 3;
constexpr int kReportsItem = 4;

// Runs the sheet on `record` and `steps` on its first threshold page (the second on kind 3),
// then OK.
int RunOnThresholdPage(QuotaEditRecord& record, const std::function<void(HWND page)>& steps,
                       int serverKind = kServerKindFull) {
    return user::Run(
        record, 0,
        [&](HWND sheet) {
            steps(user::Page(sheet, 1));
            user::Press(sheet, PSBTN_OK);
        },
        serverKind);
}
HWND TimeControl(HWND page) {
    return FindWindowExA(page, nullptr, DATETIMEPICK_CLASSA, nullptr);
}
void CheckDays(HWND list, const std::vector<int>& days) {
    for (int i = 0, count = ListView_GetItemCount(list); i < count; ++i)
        ListView_SetCheckState(list, i, std::find(days.begin(), days.end(), i) != days.end());
}

// Enabled or not: interval, time, days of week, days of month.
std::string ScheduleState(HWND page) {
    std::string state;
    for (HWND control : {GetDlgItem(page, IDC_SCHEDULE_INTERVAL), TimeControl(page),
                         GetDlgItem(page, IDC_DAYS_OF_WEEK), GetDlgItem(page, IDC_DAYS_OF_MONTH)})
        state += IsWindowEnabled(control) ? '1' : '0';
    return state;
}

QuotaEditRecord RecordWithReportSet(const char* name) {
    QuotaEditRecord record = ObjectRecord(1048576);
    AllotrixActionRec& action = record.Actions[0];
    action.SetReportSet(name);
    action.ScheduleChoice = 3;
    std::strcpy(action.ScheduleJobTime, "9:05:00 AM");
    action.DaysOfWeek = 0x7F;
    action.DaysOfMonth = 0x7FFFFFFF;
    return record;
}

} // namespace

// A monitoring-only server has no quota page, three thresholds and no adjustment.
TEST(ReportSubPages, OfferedByServerKind) {
    struct Case {
        int kind, pages;
        bool adjustable;
        std::vector<std::string> lastItems;
    };
    const Case cases[] = {
        {kServerKindFull,
         6,
         true,
         {"Command To Execute", "Report Set To Execute", "Reports To Generate"}},
        {kServerKindNoSettings, 6, true, {"Command To Execute", "Reports To Generate"}},
        {kServerKindMonitorOnly, 3, false, {"Command To Execute", "Report Set To Execute"}},
    };
    for (const Case& c : cases) {
        QuotaEditRecord record = RecordWithReportSet("");
        std::vector<std::string> items;
        RunOnThresholdPage(
            record,
            [&](HWND page) {
                EXPECT_EQ(c.pages, TabCtrl_GetItemCount(user::Tabs(GetParent(page))));
                const auto count = SendDlgItemMessageA(page, IDC_CONFIGURATION, CB_GETCOUNT, 0, 0);
                for (LRESULT i = 2; i < count; ++i) {
                    char text[64] = "";
                    SendDlgItemMessageA(page, IDC_CONFIGURATION, CB_GETLBTEXT,
                                        static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
                    items.push_back(text);
                }
                user::Choose(page, IDC_CONFIGURATION, 2);
                EXPECT_EQ(c.adjustable, Enabled(page, IDC_ADJUST_QUOTA));
            },
            c.kind);
        EXPECT_EQ(c.lastItems, items) << "server kind " << c.kind;
    }
}

// The schedule offers what its choice uses and saves only that.
TEST(ReportSubPages, ScheduleOffersAndSavesWhatItsChoiceUses) {
    SYSTEMTIME today{};
    GetLocalTime(&today);
    const uint8_t tomorrowBit =
        static_cast<uint8_t>(1u << (today.wDayOfWeek ? today.wDayOfWeek : 6));
    struct Case {
        int choice;
        const char* enabled; // see ScheduleState
        const char* jobTime;
        uint8_t week;
        uint32_t month;
    };
    const Case cases[] = {
        {0, "1000", "", 0, 0},
        {1, "1100", "1:30:00 PM", 0, 0},
        {2, "1100", "1:30:00 PM", tomorrowBit, 0},
        // Monday and Friday, the 1st and the 15th.
        {3, "1111", "1:30:00 PM", 0x11, 0x4001},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.choice);
        QuotaEditRecord record = RecordWithReportSet("FILESERVER\\Weekly Usage");
        EXPECT_EQ(1, RunOnThresholdPage(record, [&](HWND page) {
                      user::Choose(page, IDC_CONFIGURATION, kReportSetItem);
                      EXPECT_EQ("FILESERVER\\Weekly Usage", ControlText(page, IDC_REPORT_SET_NAME));
                      SYSTEMTIME time{};
                      SendMessageA(TimeControl(page), DTM_GETSYSTEMTIME, 0,
                                   reinterpret_cast<LPARAM>(&time));
                      EXPECT_EQ(9, time.wHour);
                      EXPECT_EQ(5, time.wMinute);
                      user::Choose(page, IDC_SCHEDULE_INTERVAL, c.choice);
                      EXPECT_EQ(c.enabled, ScheduleState(page));
                      CheckDays(GetDlgItem(page, IDC_DAYS_OF_WEEK), {0, 4});
                      CheckDays(GetDlgItem(page, IDC_DAYS_OF_MONTH), {0, 14});
                      time.wHour = 13;
                      time.wMinute = 30;
                      time.wSecond = 0;
                      SendMessageA(TimeControl(page), DTM_SETSYSTEMTIME, GDT_VALID,
                                   reinterpret_cast<LPARAM>(&time));
                  }));
        const AllotrixActionRec& action = record.Actions[0];
        EXPECT_STREQ("FILESERVER\\Weekly Usage", action.ReportSet);
        EXPECT_EQ(c.choice, action.ScheduleChoice);
        EXPECT_STREQ(c.jobTime, action.ScheduleJobTime);
        EXPECT_EQ(c.week, action.DaysOfWeek);
        EXPECT_EQ(c.month, action.DaysOfMonth);
    }
}

TEST(ReportSubPages, ReportsFormatsAndTheirControls) {
    struct Case {
        uint32_t policy;
        int uncheck;           // the box the user clears
        uint32_t formatsSaved; // the format bits after OK
        bool outputAfter, mailToAfter;
    };
    const Case cases[] = {
        // No format stored: "Ascii"; clearing the last report disables output and mail.
        {PolReportLarge, IDC_REPORT_LARGE, PolFormatAscii, false, false},
        {PolReportLarge | PolReportSummary | PolFormatHtml | PolMailReport, IDC_REPORT_LARGE,
         PolFormatHtml, true, true},
        // Clearing "Mail Report" disables "Mail to..." and clears its bit at once.
        {PolReportSummary | PolFormatComma | PolMailReport, IDC_MAIL_REPORT, PolFormatComma, true,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.policy);
        QuotaEditRecord record = RecordWithReportSet("");
        record.Actions[0].SetPolicyFlags(c.policy);
        std::strcpy(record.Actions[0].ReportMail.OutputDirectory, "C:\\Reports");
        EXPECT_EQ(1, RunOnThresholdPage(record, [&](HWND page) {
                      user::Choose(page, IDC_CONFIGURATION, kReportSetItem);
                      EXPECT_EQ("0000", ScheduleState(page)) << "no schedule without a report set";
                      SetDlgItemTextA(page, IDC_REPORT_SET_NAME, "FILESERVER\\Daily");
                      EXPECT_EQ("1111", ScheduleState(page));
                      user::Choose(page, IDC_CONFIGURATION, kReportsItem);
                      EXPECT_FALSE(IsWindowVisible(TimeControl(page)));
                      EXPECT_TRUE(Enabled(page, IDC_OUTPUT_DIRECTORY));
                      user::Check(page, c.uncheck, false);
                      for (int id : {IDC_OUTPUT_DIRECTORY, IDC_FORMAT_ASCII, IDC_MAIL_REPORT})
                          EXPECT_EQ(c.outputAfter, Enabled(page, id)) << id;
                      EXPECT_EQ(c.mailToAfter, Enabled(page, IDC_REPORT_MAIL_TO));
                  }));
        const uint32_t saved = record.Actions[0].GetPolicyFlags();
        EXPECT_EQ(c.formatsSaved, saved & (PolFormatAscii | PolFormatHtml | PolFormatComma));
        EXPECT_EQ(c.uncheck == IDC_MAIL_REPORT || c.policy == PolReportLarge,
                  (saved & PolMailReport) == 0);
        EXPECT_STREQ("C:\\Reports", record.Actions[0].ReportMail.OutputDirectory);
    }
}

TEST(ReportSubPages, MailDialogKeepsTheProfileScrambledAndNoPassword) {
    std::string profileAsked, toAsked;
    quota::RegisterAddressBook([&](ReportMailInfo& mail) {
        char profile[kMailSecretSize] = "";
        mail.GetMailProfile(profile);
        profileAsked = profile;
        toAsked = mail.MailTo;
        std::strcpy(mail.MailTo, "x;y;");
        return std::string();
    });
    for (bool ok : {true, false}) {
        SCOPED_TRACE(ok);
        QuotaEditRecord record = RecordWithReportSet("");
        record.Actions[0].SetPolicyFlags(PolReportSummary | PolMailReport);
        ReportMailInfo& stored = record.Actions[0].ReportMail;
        stored.SetMailProfile("Sales");
        stored.SetMailPassword("old");
        std::strcpy(stored.MailTo, "ann");
        std::strcpy(stored.MailSubject, "Quota");
        const ReportMailInfo before = stored;
        EXPECT_EQ(1, RunOnThresholdPage(record, [&](HWND page) {
                      user::Choose(page, IDC_CONFIGURATION, kReportsItem);
                      PostMessageA(GetDlgItem(page, IDC_REPORT_MAIL_TO), BM_CLICK, 0, 0);
                      HWND mail = nullptr;
                      // Visible once its controls are loaded.
                      ASSERT_TRUE(WaitUntil([&] {
                          mail = FindWindowA(nullptr, "Allotrix - Mail");
                          return mail && IsWindowVisible(mail);
                      }));
                      EXPECT_EQ("Profile:", ControlText(mail, IDC_MAIL_PROFILE_LABEL));
                      EXPECT_EQ("Sales", ControlText(mail, IDC_MAIL_INFO_PROFILE));
                      EXPECT_EQ("", ControlText(mail, IDC_MAIL_INFO_PASSWORD));
                      EXPECT_FALSE(Enabled(mail, IDC_MAIL_INFO_PASSWORD));
                      EXPECT_EQ("Quota", ControlText(mail, IDC_MAIL_INFO_SUBJECT));
                      SetDlgItemTextA(mail, IDC_MAIL_INFO_PROFILE, "Quota Alerts");
                      SetDlgItemTextA(mail, IDC_MAIL_INFO_TO, "bob;");
                      Click(mail, IDC_ADDRESS_TO);
                      EXPECT_EQ("x;y", ControlText(mail, IDC_MAIL_INFO_TO));
                      SendMessageA(mail, WM_COMMAND, ok ? IDOK : IDCANCEL, 0);
                      WaitUntil([&] { return !IsWindow(mail); });
                  }));
        EXPECT_EQ("Quota Alerts", profileAsked);
        EXPECT_EQ("bob;", toAsked);
        if (!ok) {
            EXPECT_EQ(0, std::memcmp(&before, &stored, sizeof before));
            continue;
        }
        char clear[kMailSecretSize] = "";
        stored.GetMailProfile(clear);
        EXPECT_STREQ("Quota Alerts", clear);
        EXPECT_EQ(ScrambleByte('Q'), static_cast<uint8_t>(stored.MailProfile[0]));
        EXPECT_EQ(std::string(kMailSecretSize, ScrambleByte(0)),
                  std::string(stored.MailPassword, kMailSecretSize));
        EXPECT_STREQ("x;y", stored.MailTo);
        EXPECT_EQ(2u, stored.ToCount);
    }
    quota::RegisterAddressBook({});
}
