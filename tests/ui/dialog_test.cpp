// Dialogs from templates: data exchange both ways, and a refused value keeps the dialog open with
// the focus on the offending control. A driver thread plays the user.
#include "ui/dialog.h"
#include "ui/event.h"
#include "ui/thread.h"

#include "test_resources.h"
#include "ui_test_support.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

using ui_test::FocusOfThreadOf;
using ui_test::MessageBoxText;
using ui_test::WaitForMessageBox;

class ValuesDialog : public ui::Dialog {
public:
    ValuesDialog() : Dialog(IDD_TEST_VALUES) {}

    unsigned count = 12;
    std::string name = "first";
    bool enabled = true;
    int choice = 2;
    double ratio = 0.5;
    int offset = -3;

    std::atomic<HWND> shown{nullptr};
    ui::Event opened{ui::Event::Reset::Manual};

protected:
    bool OnInitDialog() override {
        bool result = Dialog::OnInitDialog();
        shown = m_hwnd;
        opened.Set();
        return result;
    }
    void DoDataExchange(ui::DataExchange& exchange) override {
        exchange.Text(IDC_TEST_COUNT, count, 1, 100);
        exchange.Text(IDC_TEST_NAME, name);
        exchange.MaxLength(IDC_TEST_NAME, 8);
        exchange.Check(IDC_TEST_ENABLED, enabled);
        exchange.Radio(IDC_TEST_FIRST, choice);
        exchange.Text(IDC_TEST_RATIO, ratio, 0.0, 1.0);
        exchange.Text(IDC_TEST_OFFSET, offset);
    }
};

std::string ItemText(HWND dialog, int id) {
    char text[256] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

// Runs the dialog modally while body plays the user on another thread.
template <typename Body> INT_PTR RunWithDriver(ValuesDialog& dialog, Body body) {
    ui::Thread driver;
    driver.Start([&]() -> DWORD {
        if (!dialog.opened.Wait(5000))
            return 1;
        HWND window = dialog.shown;
        body(window);
        if (IsWindow(window)) // a failed expectation leaves the dialog open: end it
            PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        return 0;
    });
    return dialog.DoModal();
}

TEST(DialogDataExchange, MembersFillTheControlsAndComeBackEdited) {
    ValuesDialog dialog;
    std::string shownCount, shownName, shownRatio;
    bool shownEnabled = false, shownThird = false;
    INT_PTR result = RunWithDriver(dialog, [&](HWND window) {
        shownCount = ItemText(window, IDC_TEST_COUNT);
        shownName = ItemText(window, IDC_TEST_NAME);
        shownRatio = ItemText(window, IDC_TEST_RATIO);
        shownEnabled = IsDlgButtonChecked(window, IDC_TEST_ENABLED) == BST_CHECKED;
        shownThird = IsDlgButtonChecked(window, IDC_TEST_THIRD) == BST_CHECKED;

        SetDlgItemTextA(window, IDC_TEST_COUNT, " 57 ");
        SetDlgItemTextA(window, IDC_TEST_NAME, "second");
        SetDlgItemTextA(window, IDC_TEST_RATIO, "0.25");
        SetDlgItemTextA(window, IDC_TEST_OFFSET, "-40");
        SendDlgItemMessageA(window, IDC_TEST_ENABLED, BM_SETCHECK, BST_UNCHECKED, 0);
        SendDlgItemMessageA(window, IDC_TEST_THIRD, BM_SETCHECK, BST_UNCHECKED, 0);
        SendDlgItemMessageA(window, IDC_TEST_FIRST, BM_SETCHECK, BST_CHECKED, 0);
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        ui_test::WaitUntil([&] { return !IsWindow(window); });
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(shownCount, "12");
    EXPECT_EQ(shownName, "first");
    EXPECT_EQ(shownRatio, "0.5");
    EXPECT_TRUE(shownEnabled);
    EXPECT_TRUE(shownThird);
    EXPECT_EQ(dialog.count, 57u);
    EXPECT_EQ(dialog.name, "second");
    EXPECT_DOUBLE_EQ(dialog.ratio, 0.25);
    EXPECT_EQ(dialog.offset, -40);
    EXPECT_FALSE(dialog.enabled);
    EXPECT_EQ(dialog.choice, 0);
}

struct Refusal {
    int control;
    const char* text;
    const char* message;
};

class DialogRefusal : public testing::TestWithParam<Refusal> {};

TEST_P(DialogRefusal, BadValueIsExplainedAndTheDialogStaysOpenOnTheControl) {
    const Refusal& refusal = GetParam();
    ValuesDialog dialog;
    std::string message;
    bool openAfterMessage = false;
    HWND focusAfterMessage = nullptr, control = nullptr;
    INT_PTR result = RunWithDriver(dialog, [&](HWND window) {
        control = GetDlgItem(window, refusal.control);
        SetDlgItemTextA(window, refusal.control, refusal.text);
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        HWND box = WaitForMessageBox(window);
        if (!box)
            return;
        message = MessageBoxText(box);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        ui_test::WaitUntil([&] { return !IsWindow(box); });
        // The dialog's thread puts the focus back once the message box has returned.
        ui_test::WaitUntil([&] { return FocusOfThreadOf(window) == control; }, 2000);
        openAfterMessage = IsWindow(window) != FALSE;
        focusAfterMessage = FocusOfThreadOf(window);
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(message, refusal.message);
    EXPECT_TRUE(openAfterMessage);
    EXPECT_EQ(focusAfterMessage, control);
    EXPECT_EQ(dialog.count, 12u) << "a refused exchange is abandoned, not half stored";
}

INSTANTIATE_TEST_SUITE_P(
    Values, DialogRefusal,
    testing::Values(
        Refusal{IDC_TEST_COUNT, "abc", "Please enter a whole number between 1 and 100."},
        Refusal{IDC_TEST_COUNT, "", "Please enter a whole number between 1 and 100."},
        Refusal{IDC_TEST_COUNT, "0", "Please enter a whole number between 1 and 100."},
        Refusal{IDC_TEST_COUNT, "101", "Please enter a whole number between 1 and 100."},
        Refusal{IDC_TEST_COUNT, "-5", "Please enter a whole number between 1 and 100."},
        Refusal{IDC_TEST_COUNT, "99999999999999999999",
                "Please enter a whole number between 1 and 100."},
        Refusal{IDC_TEST_OFFSET, "1.5", "Please enter a whole number."},
        Refusal{IDC_TEST_RATIO, "half", "Please enter a number."},
        Refusal{IDC_TEST_RATIO, "1.5", "Please enter a number between 0 and 1."},
        Refusal{IDC_TEST_NAME, "ninechars", "Please enter no more than 8 characters."}));

TEST(DialogDataExchange, MaxLengthLimitsTyping) {
    ValuesDialog dialog;
    LRESULT limit = 0;
    RunWithDriver(dialog, [&](HWND window) {
        limit = SendDlgItemMessageA(window, IDC_TEST_NAME, EM_GETLIMITTEXT, 0, 0);
    });
    EXPECT_EQ(limit, 8);
}

TEST(DialogModeless, LivesBesideTheCallerAndRoutesItsKeys) {
    ValuesDialog dialog;
    ASSERT_TRUE(dialog.CreateModeless());
    HWND window = dialog.Handle();
    EXPECT_EQ(dialog.ItemText(IDC_TEST_COUNT), "12");

    MSG tab{GetDlgItem(window, IDC_TEST_COUNT), WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_TRUE(ui::Dialog::PreTranslateModeless(tab)) << "dialog keys go to the dialog";
    MSG elsewhere{nullptr, WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_FALSE(ui::Dialog::PreTranslateModeless(elsewhere));

    dialog.SetItemText(IDC_TEST_COUNT, "33");
    dialog.Send(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED));
    EXPECT_FALSE(IsWindow(window)) << "OK ends a modeless dialog by destroying it";
    EXPECT_EQ(dialog.count, 33u);
    EXPECT_FALSE(ui::Dialog::PreTranslateModeless(tab));
}

} // namespace
