// Property sheets call their pages' overridables in the order the user's actions imply; a page
// that refuses to be left keeps the sheet on it.
#include "ui/property_sheet.h"
#include "ui/event.h"
#include "ui/thread.h"

#include "test_resources.h"
#include "ui_test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

namespace {

class Log {
public:
    void Add(const std::string& entry) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_entries.push_back(entry);
    }
    std::vector<std::string> Entries() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_entries;
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_entries.clear();
    }

private:
    std::mutex m_mutex;
    std::vector<std::string> m_entries;
};

class LoggingPage : public ui::PropertyPage {
public:
    LoggingPage(UINT id, const std::string& name, Log& log)
        : PropertyPage(id, name == "one" ? "First page" : std::string()), m_name(name), m_log(log) {
    }
    unsigned value = 5;
    unsigned stored = 0;

protected:
    bool OnInitDialog() override {
        m_log.Add(m_name + " init");
        return PropertyPage::OnInitDialog();
    }
    bool OnSetActive() override {
        m_log.Add(m_name + " set-active");
        return PropertyPage::OnSetActive();
    }
    bool OnKillActive() override {
        bool accepted = PropertyPage::OnKillActive();
        m_log.Add(m_name + (accepted ? " kill-active" : " kill-active refused"));
        return accepted;
    }
    bool OnApply() override {
        m_log.Add(m_name + " apply");
        return PropertyPage::OnApply();
    }
    void OnOK() override { stored = value; }
    void OnReset() override { m_log.Add(m_name + " reset"); }
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
    std::atomic<HWND> shown{nullptr};
    ui::Event opened{ui::Event::Reset::Manual};
    std::atomic<int> applyClicks{0};

protected:
    void OnInitialized() override {
        m_log.Add("sheet initialized");
        shown = m_hwnd;
        opened.Set();
    }
    bool OnCommand(UINT id, UINT, HWND) override {
        if (id == 0x3021) // the Apply button, which a sheet may give another meaning
            ++applyClicks;
        return false;
    }

private:
    Log& m_log;
};

template <typename Body> INT_PTR RunWithDriver(TestSheet& sheet, Body body) {
    ui::Thread driver;
    driver.Start([&]() -> DWORD {
        if (!sheet.opened.Wait(5000))
            return 1;
        HWND window = sheet.shown;
        body(window);
        if (IsWindow(window))
            PostMessageA(window, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        return 0;
    });
    return sheet.DoModal();
}

HWND PageWindow(HWND sheet) {
    return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

using Entries = std::vector<std::string>;

TEST(Sheet, OverridablesFollowTheUsersActionsInOrder) {
    Log log;
    TestSheet sheet(log);
    LoggingPage one(IDD_TEST_PAGE_ONE, "one", log), two(IDD_TEST_PAGE_TWO, "two", log);
    sheet.AddPage(one);
    sheet.AddPage(two);
    std::string pageValue;
    INT_PTR result = RunWithDriver(sheet, [&](HWND window) {
        char text[16] = {};
        GetDlgItemTextA(PageWindow(window), IDC_TEST_PAGE_VALUE, text, sizeof text);
        pageValue = text;
        SendMessageA(window, PSM_SETCURSEL, 1, 0);
        SetDlgItemTextA(PageWindow(window), IDC_TEST_PAGE_VALUE, "7");
        SendMessageA(window, PSM_SETCURSEL, 0, 0);
        SendMessageA(window, PSM_SETCURSEL, 1, 0);
        PostMessageA(window, PSM_PRESSBUTTON, PSBTN_OK, 0);
        ui_test::WaitUntil([&] { return !IsWindow(window); });
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(pageValue, "5");
    EXPECT_EQ(
        log.Entries(),
        (Entries{"sheet initialized", "one init", "one set-active", "one kill-active", "two init",
                 "two set-active", "two kill-active", "one set-active", "one kill-active",
                 "two set-active", "two kill-active", "one apply", "two apply"}));
    EXPECT_EQ(one.stored, 5u);
    EXPECT_EQ(two.stored, 7u);
}

TEST(Sheet, PageNeverShownIsNotApplied) {
    Log log;
    TestSheet sheet(log);
    LoggingPage one(IDD_TEST_PAGE_ONE, "one", log), two(IDD_TEST_PAGE_TWO, "two", log);
    sheet.AddPage(one);
    sheet.AddPage(two);
    INT_PTR result = RunWithDriver(sheet, [&](HWND window) {
        PostMessageA(window, PSM_PRESSBUTTON, PSBTN_OK, 0);
        ui_test::WaitUntil([&] { return !IsWindow(window); });
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(one.stored, 5u);
    EXPECT_EQ(two.stored, 0u);
    for (const auto& entry : log.Entries())
        EXPECT_EQ(entry.rfind("two", 0), std::string::npos) << entry;
}

TEST(Sheet, RefusingPageKeepsTheSheetOnItAndCancelResets) {
    Log log;
    TestSheet sheet(log);
    LoggingPage one(IDD_TEST_PAGE_ONE, "one", log), two(IDD_TEST_PAGE_TWO, "two", log);
    sheet.AddPage(one);
    sheet.AddPage(two);
    std::string message;
    bool stayedOnFirst = false;
    INT_PTR result = RunWithDriver(sheet, [&](HWND window) {
        HWND first = PageWindow(window);
        SetDlgItemTextA(first, IDC_TEST_PAGE_VALUE, "12");
        PostMessageA(window, PSM_SETCURSEL, 1, 0);
        HWND box = ui_test::WaitForMessageBox(window);
        if (!box)
            return;
        message = ui_test::MessageBoxText(box);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        ui_test::WaitUntil([&] { return !IsWindow(box); });
        stayedOnFirst = PageWindow(window) == first;
        PostMessageA(window, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        ui_test::WaitUntil([&] { return !IsWindow(window); });
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(message, "Please enter a whole number between 1 and 9.");
    EXPECT_TRUE(stayedOnFirst);
    EXPECT_EQ(log.Entries(), (Entries{"sheet initialized", "one init", "one set-active",
                                      "one kill-active refused", "one reset"}));
    EXPECT_EQ(one.stored, 0u);
}

TEST(Sheet, FlagsShapeTheButtonsAndTitle) {
    Log log;
    TestSheet sheet(log);
    LoggingPage one(IDD_TEST_PAGE_ONE, "one", log), two(IDD_TEST_PAGE_TWO, "two", log);
    sheet.AddPage(one);
    sheet.AddPage(two);
    sheet.SetNoApplyButton();
    sheet.SetTitle("SERVER1", true);
    bool applyShown = true, helpShown = true;
    std::string caption, firstTab;
    RunWithDriver(sheet, [&](HWND window) {
        HWND apply = GetDlgItem(window, 0x3021);
        HWND help = GetDlgItem(window, IDHELP);
        applyShown = apply && IsWindowVisible(apply);
        helpShown = help && IsWindowVisible(help);
        char text[128] = {};
        GetWindowTextA(window, text, sizeof text);
        caption = text;
        HWND tabs = reinterpret_cast<HWND>(SendMessageA(window, PSM_GETTABCONTROL, 0, 0));
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(tabs, TCM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        firstTab = text;
    });
    EXPECT_FALSE(applyShown);
    EXPECT_FALSE(helpShown);
    EXPECT_NE(caption.find("SERVER1"), std::string::npos) << caption;
    EXPECT_NE(caption, "SERVER1") << "the property-title style words the caption";
    EXPECT_EQ(firstTab, "First page");
}

TEST(Sheet, SheetReceivesItsButtonCommands) {
    Log log;
    TestSheet sheet(log);
    LoggingPage one(IDD_TEST_PAGE_ONE, "one", log);
    sheet.AddPage(one);
    RunWithDriver(sheet, [&](HWND window) {
        SendMessageA(PageWindow(window), PSM_CHANGED, reinterpret_cast<WPARAM>(PageWindow(window)),
                     0);
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(0x3021, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, 0x3021)));
    });
    EXPECT_EQ(sheet.applyClicks, 1);
}

} // namespace
