// Property sheets call their pages' overridables in the order the user's actions imply; a page
// that refuses to be left keeps the sheet on it. A driver thread plays the user.
#include "ui/property_sheet.h"

#include "test_resources.h"
#include "ui_test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

namespace {

// The overridables called, in order (all run on the sheet's thread).
using Log = std::vector<std::string>;

class LoggingPage : public ui::PropertyPage {
public:
    LoggingPage(UINT id, const std::string& name, Log& log)
        : PropertyPage(id, name == "one" ? "First page" : std::string()), m_name(name), m_log(log) {
    }
    unsigned value = 5;
    unsigned stored = 0;

protected:
    bool OnInitDialog() override {
        m_log.push_back(m_name + " init");
        return PropertyPage::OnInitDialog();
    }
    bool OnSetActive() override {
        m_log.push_back(m_name + " set-active");
        return PropertyPage::OnSetActive();
    }
    bool OnKillActive() override {
        bool accepted = PropertyPage::OnKillActive();
        m_log.push_back(m_name + (accepted ? " kill-active" : " kill-active refused"));
        return accepted;
    }
    bool OnApply() override {
        m_log.push_back(m_name + " apply");
        return PropertyPage::OnApply();
    }
    void OnOK() override { stored = value; }
    void OnReset() override { m_log.push_back(m_name + " reset"); }
    void DoDataExchange(ui::DataExchange& exchange) override {
        exchange.Text(IDC_TEST_PAGE_VALUE, value, 1, 9);
    }

private:
    std::string m_name;
    Log& m_log;
};

class TestSheet : public ui::PropertySheet {
public:
    explicit TestSheet(Log& log) : PropertySheet("Test"), m_log(log) {}
    std::atomic<int> applyClicks{0};

protected:
    void OnInitialized() override { m_log.push_back("sheet initialized"); }
    bool OnCommand(UINT id, UINT, HWND) override {
        if (id == 0x3021) // the Apply button, which a sheet may give another meaning
            ++applyClicks;
        return false;
    }

private:
    Log& m_log;
};

HWND PageWindow(HWND sheet) {
    return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

class Sheet : public testing::Test {
protected:
    // Runs the sheet modally while `steps` plays the user on another thread.
    INT_PTR Run(std::function<void(HWND)> steps, const char* caption = "Test") {
        DialogDriver driver(caption, std::move(steps));
        return sheet.DoModal();
    }

    Log log;
    TestSheet sheet{log};
    LoggingPage one{IDD_TEST_PAGE_ONE, "one", log}, two{IDD_TEST_PAGE_TWO, "two", log};
    void SetUp() override {
        sheet.AddPage(one);
        sheet.AddPage(two);
    }
};

TEST_F(Sheet, OverridablesFollowTheUsersActionsInOrder) {
    std::string pageValue;
    INT_PTR result = Run([&](HWND window) {
        pageValue = ControlText(PageWindow(window), IDC_TEST_PAGE_VALUE);
        SendMessageA(window, PSM_SETCURSEL, 1, 0);
        SetDlgItemTextA(PageWindow(window), IDC_TEST_PAGE_VALUE, "7");
        SendMessageA(window, PSM_SETCURSEL, 0, 0);
        SendMessageA(window, PSM_SETCURSEL, 1, 0);
        PostMessageA(window, PSM_PRESSBUTTON, PSBTN_OK, 0);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(pageValue, "5");
    EXPECT_EQ(log,
              (Log{"sheet initialized", "one init", "one set-active", "one kill-active", "two init",
                   "two set-active", "two kill-active", "one set-active", "one kill-active",
                   "two set-active", "two kill-active", "one apply", "two apply"}));
    EXPECT_EQ(one.stored, 5u);
    EXPECT_EQ(two.stored, 7u);
}

TEST_F(Sheet, PageNeverShownIsNotApplied) {
    INT_PTR result = Run([&](HWND window) { PostMessageA(window, PSM_PRESSBUTTON, PSBTN_OK, 0); });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(one.stored, 5u);
    EXPECT_EQ(two.stored, 0u);
    for (const auto& entry : log)
        EXPECT_EQ(entry.rfind("two", 0), std::string::npos) << entry;
}

TEST_F(Sheet, RefusingPageKeepsTheSheetOnItAndCancelResets) {
    MessageBoxWatch boxes;
    bool stayedOnFirst = false;
    INT_PTR result = Run([&](HWND window) {
        HWND first = PageWindow(window);
        SetDlgItemTextA(first, IDC_TEST_PAGE_VALUE, "12");
        PostMessageA(window, PSM_SETCURSEL, 1, 0);
        if (!WaitUntil([&] { return boxes.Answered(); }))
            return;
        stayedOnFirst = PageWindow(window) == first;
        PostMessageA(window, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(boxes.Texts(),
              std::vector<std::string>{"Please enter a whole number between 1 and 9."});
    EXPECT_TRUE(stayedOnFirst);
    EXPECT_EQ(log, (Log{"sheet initialized", "one init", "one set-active",
                        "one kill-active refused", "one reset"}));
    EXPECT_EQ(one.stored, 0u);
}

TEST_F(Sheet, FlagsShapeTheButtonsAndTitle) {
    sheet.SetNoApplyButton();
    sheet.SetTitle("SERVER1", true);
    bool applyShown = true, helpShown = true;
    std::string caption, firstTab;
    Run(
        [&](HWND window) {
            HWND apply = GetDlgItem(window, 0x3021);
            HWND help = GetDlgItem(window, IDHELP);
            applyShown = apply && IsWindowVisible(apply);
            helpShown = help && IsWindowVisible(help);
            caption = WindowTextOf(window);
            char text[128] = {};
            TCITEMA item{};
            item.mask = TCIF_TEXT;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(reinterpret_cast<HWND>(SendMessageA(window, PSM_GETTABCONTROL, 0, 0)),
                         TCM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
            firstTab = text;
            PostMessageA(window, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        },
        "SERVER1");
    EXPECT_FALSE(applyShown);
    EXPECT_FALSE(helpShown);
    EXPECT_NE(caption, "SERVER1") << "the property-title style words the caption";
    EXPECT_EQ(firstTab, "First page");
}

TEST_F(Sheet, SheetReceivesItsButtonCommands) {
    Run([&](HWND window) {
        HWND page = PageWindow(window);
        SendMessageA(page, PSM_CHANGED, reinterpret_cast<WPARAM>(page), 0);
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(0x3021, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, 0x3021)));
        PostMessageA(window, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    });
    EXPECT_EQ(sheet.applyClicks, 1);
}

} // namespace
