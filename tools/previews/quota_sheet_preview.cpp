// Shows the quota property sheet on a sample record, for a look at its pages (screenshots):
// quota_sheet_preview.exe [page [sub-page]] opens on tab `page` and, on a threshold page, on its
// sub-page `sub-page`.
#include "client/axcli.h"
#include "quota/quota_prop_sheet.h"
#include "res/resource.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <cstring>

namespace {

int g_page = 0;
int g_subPage = 0;

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
}

} // namespace

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    g_page = argc > 1 ? std::atoi(argv[1]) : 0;
    g_subPage = argc > 2 ? std::atoi(argv[2]) : 0;

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
    AXCli client;
    SetTimer(nullptr, 0, 300, OpenChosenPage);
    return quota::ShowQuotaProperties(record, client, 10ull << 30, "FILESERVER");
}
