// Works the quota property sheet as a user does, from the helper thread of a DialogDriver.
#pragma once

#include "client/axcli.h"
#include "quota/quota_prop_sheet.h"
#include "ui_test_support.h"

#include <commctrl.h>
#include <gtest/gtest.h>

// The object's own quota on C:\Data\Sales.
inline QuotaEditRecord ObjectRecord(uint64_t permQuota, uint32_t attributes = AttrAbsolute) {
    QuotaEditRecord record;
    record.SetObjectName("C:", "\\Data\\Sales");
    record.SetPermQuota(permQuota);
    record.SetAttributes(attributes);
    return record;
}

namespace user {

// Shows the sheet on `record` and runs `steps` on it; the sheet's result.
inline int Run(QuotaEditRecord& record, uint64_t capacity, const std::function<void(HWND)>& steps,
               int serverKind = kServerKindFull) {
    AXCli client;
    client.ServerKind = serverKind;
    DialogDriver driver("Allotrix - Properties for", steps);
    const int result = quota::ShowQuotaProperties(record, client, capacity, "");
    EXPECT_TRUE(driver.Ran());
    return result;
}

inline HWND Tabs(HWND sheet) {
    return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0));
}
// Shows tab `index` and returns its page. (Choosing the current tab again would make the page
// check its values as when leaving it.)
inline HWND Page(HWND sheet, int index) {
    if (TabCtrl_GetCurSel(Tabs(sheet)) != index)
        SendMessageA(sheet, PSM_SETCURSEL, static_cast<WPARAM>(index), 0);
    return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}
// Posted: a message box the button may bring up must not block the helper.
inline void Press(HWND sheet, int button) {
    PostMessageA(sheet, PSM_PRESSBUTTON, static_cast<WPARAM>(button), 0);
}

// The user picks item `index` of list `id`.
inline void Choose(HWND page, int id, int index) {
    SendDlgItemMessageA(page, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}
inline int Chosen(HWND page, int id) {
    return static_cast<int>(SendDlgItemMessageA(page, id, CB_GETCURSEL, 0, 0));
}
inline void Check(HWND page, int id, bool checked) {
    CheckDlgButton(page, id, checked ? BST_CHECKED : BST_UNCHECKED);
    ::Click(page, id);
}
inline bool Checked(HWND page, int id) {
    return IsDlgButtonChecked(page, id) == BST_CHECKED;
}

} // namespace user
