// Shows the quota property sheet on a sample record, for a look at its pages (screenshots):
// quota_sheet_preview.exe [page [sub-page [mail]]] opens on tab `page` and, on a threshold page,
// on its sub-page `sub-page`; with `mail`, it opens that sub-page's mail dialog.
#include "app/address_book.h"
#include "client/axcli.h"
#include "quota/quota_prop_sheet.h"
#include "quota/threshold_subpage.h"
#include "res/resource.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <cstring>

namespace {

int g_page = 0;
int g_subPage = 0;
bool g_mail = false;

void CALLBACK OpenChosenPage(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND sheet = FindWindowA(nullptr, nullptr);
    for (; sheet; sheet = GetWindow(sheet, GW_HWNDNEXT)) {
        char caption[256] = "";
        GetWindowTextA(sheet, caption, sizeof caption);
        if (std::strstr(caption, "Allotrix - Properties"))
            break;
    }
    if (!sheet)
        return;
    KillTimer(nullptr, timer);
    SendMessageA(sheet, PSM_SETCURSEL, static_cast<WPARAM>(g_page), 0);
    HWND page = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    if (HWND configuration = GetDlgItem(page, IDC_CONFIGURATION)) {
        SendMessageA(configuration, CB_SETCURSEL, static_cast<WPARAM>(g_subPage), 0);
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_CONFIGURATION, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(configuration));
    }
    if (g_mail) {
        for (int id : {IDC_MAIL_TO, IDC_REPORT_MAIL_TO}) {
            if (IsWindowVisible(GetDlgItem(page, id)))
                PostMessageA(GetDlgItem(page, id), BM_CLICK, 0, 0);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    g_page = argc > 1 ? std::atoi(argv[1]) : 0;
    g_subPage = argc > 2 ? std::atoi(argv[2]) : 0;
    g_mail = argc > 3;
    quota::RegisterAddressBook(app::ShowAddressBook);

    QuotaEditRecord record;
    record.SetObjectName("C:", "\\Data\\Sales");
    record.SetAttributes(AttrAbsolute | AttrWriteThrough);
    record.SetPermQuota(3 * 1048576);
    record.SetOverDraft(512 * 1024);
    record.SetThreshPercent1(90);
    record.Actions[0].SetMessage("[OBJECT NAME] is [PERCENT USED] percent full.");
    record.Actions[0].TurnPolicyFlagOn(PolNotifyUser);
    record.Actions[0].TurnPolicyFlagOn(PolSendToConsole);
    record.Actions[0].TurnPolicyFlagOn(PolWarning);
    record.Actions[0].TurnPolicyFlagOn(PolAbove);
    record.Actions[0].SetServerName("FILESERVER");
    record.Actions[0].SetPolicyToExecute("net send [USER] \"Quota almost full\"");
    record.Actions[0].SetAdjustQuota(2621440);
    record.Actions[0].SetRepeat(3);
    record.Actions[0].SetReportSet("FILESERVER\\Weekly Usage");
    record.Actions[0].ScheduleChoice = 3;
    std::strcpy(record.Actions[0].ScheduleJobTime, "1:30:00 PM");
    record.Actions[0].DaysOfWeek = 0x11;
    record.Actions[0].DaysOfMonth = 0x4001;
    for (auto flag : {PolReportLarge, PolReportSummary, PolFormatHtml, PolMailReport})
        record.Actions[0].TurnPolicyFlagOn(flag);
    ReportMailInfo& mail = record.Actions[0].ReportMail;
    std::strcpy(mail.OutputDirectory, "C:\\Reports\\Sales");
    std::strcpy(mail.MailTo, "Storage Team;ann");
    std::strcpy(mail.MailCc, "Help Desk");
    std::strcpy(mail.MailSubject, "[OBJECT NAME] is [PERCENT USED] percent full");
    mail.SetMailProfile("Quota Alerts");
    AXCli client;
    SetTimer(nullptr, 0, 300, OpenChosenPage);
    return quota::ShowQuotaProperties(record, client, 10ull << 30, "FILESERVER");
}
