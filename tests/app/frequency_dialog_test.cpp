// The frequency dialog's OK button.
#include "app/frequency_dlg.h"
#include "res/resource.h"
#include "ui_test_support.h"

#include <gtest/gtest.h>

TEST(FrequencyDialog, ZeroDisablesOkAndOkTakesTheNewValue) {
    bool zeroDisabled = false, oneEnabled = false;
    CFrequencyDlg dialog(5, nullptr);
    DialogDriver driver("Monitor Frequency", [&](HWND window) {
        HWND edit = GetDlgItem(window, IDC_FREQUENCY_SECONDS);
        HWND ok = GetDlgItem(window, IDOK);
        SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("0"));
        zeroDisabled = !IsWindowEnabled(ok);
        SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("12"));
        oneEnabled = IsWindowEnabled(ok) != FALSE;
        SendMessageA(window, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_TRUE(driver.Ran());
    EXPECT_TRUE(zeroDisabled);
    EXPECT_TRUE(oneEnabled);
    EXPECT_EQ(12u, dialog.Seconds());
}
