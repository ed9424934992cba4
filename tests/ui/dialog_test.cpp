// Dialogs from templates: a refused value keeps the dialog open with the focus on the offending
// control (the exchange itself is checked through the console's own pages), and a modeless
// dialog gets its keys through the application's message loop. A driver thread plays the user.
#include "ui/app.h"
#include "ui/dialog.h"

#include "test_resources.h"
#include "ui_test_support.h"

#include <gtest/gtest.h>

namespace {

class ValuesDialog : public ui::Dialog {
public:
    ValuesDialog() : Dialog(IDD_TEST_VALUES) {}

    unsigned count = 12;
    std::string name = "first";
    double ratio = 0.5;

protected:
    void DoDataExchange(ui::DataExchange& exchange) override {
        exchange.Text(IDC_TEST_COUNT, count, 1, 100);
        exchange.Text(IDC_TEST_NAME, name);
        exchange.MaxLength(IDC_TEST_NAME, 8);
        exchange.Text(IDC_TEST_RATIO, ratio, 0.0, 1.0);
    }
};

// The window that has the keyboard focus in the thread that owns window.
HWND FocusOfThreadOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

} // namespace

TEST(DialogRefusal, BadValueIsExplainedAndTheDialogStaysOpenOnTheControl) {
    const struct {
        int control;
        const char *text, *message;
    } refusals[] = {
        {IDC_TEST_COUNT, "abc", "Please enter a whole number between 1 and 100."},
        {IDC_TEST_COUNT, "0", "Please enter a whole number between 1 and 100."},
        {IDC_TEST_COUNT, "101", "Please enter a whole number between 1 and 100."},
        {IDC_TEST_COUNT, "99999999999999999999", "Please enter a whole number between 1 and 100."},
        {IDC_TEST_RATIO, "half", "Please enter a number."},
        {IDC_TEST_RATIO, "1.5", "Please enter a number between 0 and 1."},
        {IDC_TEST_NAME, "ninechars", "Please enter no more than 8 characters."},
    };
    for (const auto& refusal : refusals) {
        ValuesDialog dialog;
        MessageBoxWatch boxes;
        HWND focusAfterMessage = nullptr, control = nullptr;
        DialogDriver driver("Values", [&](HWND window) {
            control = GetDlgItem(window, refusal.control);
            SetDlgItemTextA(window, refusal.control, refusal.text);
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            if (!WaitUntil([&] { return boxes.Answered(); }))
                return;
            // The dialog's thread puts the focus back once the message box has returned.
            WaitUntil([&] { return FocusOfThreadOf(window) == control; }, 2000);
            focusAfterMessage = FocusOfThreadOf(window);
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        });
        EXPECT_EQ(dialog.DoModal(), IDCANCEL) << refusal.text;
        EXPECT_EQ(boxes.Texts(), std::vector<std::string>{refusal.message});
        EXPECT_EQ(focusAfterMessage, control) << refusal.text;
        EXPECT_EQ(dialog.count, 12u) << "a refused exchange is abandoned, not half stored";
    }
}

TEST(DialogModeless, GetsTheKeysOfItsControlsFromTheMessageLoop) {
    ui::App app;
    ValuesDialog dialog;
    ASSERT_TRUE(dialog.CreateModeless());
    MSG tab{GetDlgItem(dialog.Handle(), IDC_TEST_COUNT), WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_TRUE(app.PreTranslate(tab));
    MSG elsewhere{nullptr, WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_FALSE(app.PreTranslate(elsewhere));
    dialog.Send(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED));
    EXPECT_FALSE(app.PreTranslate(tab));
}
