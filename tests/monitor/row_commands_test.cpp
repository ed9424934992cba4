// The row commands of the grid against the real quota service: Properties, Delete and Apply
// Template on the current cell's row, each with what the server holds afterwards, their failure;
// and the user's place in the grid across a refresh and a sort.
#include "quota_service.h"
#include "tests/server/registry_keys.h"
#include "ui_test_support.h"
#include "view_fixture.h"

#include "base/error_text.h"
#include "res/resource.h"

#include <commctrl.h>

#include <algorithm>
#include <set>
#include <string>

namespace {

constexpr uint64_t kMB = 1024 * 1024;
constexpr DWORD kWaitMs = 30000;
constexpr char kTemplate[] = "Row Template";
constexpr char kChooserCaption[] = "Select a Template";

HWND CurrentPage(HWND sheet) {
    return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

class RowCommandsTest : public ViewTest {
protected:
    void SetUp() override { ASSERT_TRUE(m_service.IsRunning()); }

    // Opens the document on the service and the view over it.
    void Open() {
        ASSERT_TRUE(m_document.OnOpenDocument("C:\\"));
        OpenView().SetFrequencySource([] { return 3600u; }); // no refresh but the test's
    }
    // The data row showing the quota of `folder` and `owner` (the full account name), or 0.
    int RowOf(const std::string& folder, const std::string& owner = "") const {
        for (int row = 1; row <= m_view->GetRowCount(); ++row) {
            const AllotrixBaseDbRec& record = m_view->EntryOfRow(row)->record;
            if (_stricmp(record.GetMappedName(1), folder.c_str()) == 0 &&
                _stricmp(record.GetFileOwner(), owner.c_str()) == 0)
                return row;
        }
        return 0;
    }
    // The quota on the server, read with a client of the test's own; its status.
    uint32_t Stored(const std::string& folder, const std::string& owner,
                    AllotrixDbRec& record) const {
        AXCli client;
        std::string device = folder.substr(0, 2), file = folder.substr(2), who = owner;
        const uint32_t status = client.Connect("");
        return status ? status : client.Get(&record, device.data(), file.data(), who.data(), 0);
    }
    // The command on `row`, chosen as from the context menu or the keyboard.
    void RunOn(int row, UINT command) {
        ASSERT_TRUE(m_view->SetCurrentCell(row, 1));
        ASSERT_TRUE(m_view->RouteCommand(command, 0, nullptr));
        EXPECT_TRUE(m_view->IsTimerArmed()) << "the refresh stays suspended";
    }
    // Refreshes at once and waits until the result is shown (the timer is armed again).
    bool Refreshed() {
        bool fired = false;
        m_view->RefreshSoon(1);
        return PumpMessagesUntil(
            [&] { return (fired = fired || !m_view->IsTimerArmed()) && m_view->IsTimerArmed(); },
            kWaitMs);
    }

    QuotaServiceEnvironment m_service;
};

// The chooser of Apply Template, answered with its first template.
DialogDriver ChooseFirstTemplate() {
    return DialogDriver(kChooserCaption, [](HWND chooser) {
        PostMessageA(chooser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
}

} // namespace

TEST_F(RowCommandsTest, ARefreshAndASortKeepTheUsersPlaceOnTheSameQuotas) {
    std::vector<std::string> folders;
    for (int i = 0; i < 40; ++i) {
        folders.push_back(m_service.Folder((i < 10 ? "Q0" : "Q") + std::to_string(i)));
        ASSERT_EQ(kAxOk, SaveQuota(folders.back(), 10 * kMB, AttrAbsolute));
    }
    Open();
    MoveWindow(m_view->Handle(), 0, 0, 900, m_view->GetRowHeight() * 11, TRUE);
    constexpr int kObjectColumn = 4;
    ClickHeading(kObjectColumn); // descending: Q39 on row 1
    auto objectAt = [&](int row) {
        const std::string path = m_view->EntryOfRow(row)->record.GetMappedName(1);
        return path.substr(path.find_last_of('\\') + 1);
    };
    ASSERT_EQ("Q39", objectAt(1));
    // Rows 17 to 19 selected from row 17, the current cell on Q18, the grid scrolled to Q25.
    for (int row : {17, 18, 19})
        m_view->SelectRow(row, true);
    m_view->SetAnchorRow(17);
    ASSERT_TRUE(m_view->SetCurrentCell(22, 3));
    m_view->ScrollToRow(15);
    ASSERT_EQ("Q25", objectAt(m_view->GetTopRow()));

    // The current quota and a selected one go, and a new one comes before them all.
    ASSERT_EQ(kAxOk, DeleteQuota(folders[18]));
    ASSERT_EQ(kAxOk, DeleteQuota(folders[22]));
    ASSERT_EQ(kAxOk, SaveQuota(m_service.Folder("Q99"), 10 * kMB, AttrAbsolute));
    ASSERT_TRUE(PumpMessagesUntil([&] { return Refreshed() && objectAt(1) == "Q99"; }, kWaitMs));

    for (const char* step : {"refresh", "sort"}) {
        std::set<std::string> selected;
        for (int row : m_view->GetSelectedRows())
            selected.insert(objectAt(row));
        EXPECT_EQ((std::set<std::string>{"Q23", "Q21"}), selected) << step;
        EXPECT_EQ("Q23", objectAt(m_view->GetAnchorRow())) << step;
        int row = 0, col = 0;
        ASSERT_TRUE(m_view->GetCurrentCell(row, col)) << step;
        EXPECT_EQ("Q17", objectAt(row)) << step << ": the nearest remaining quota";
        EXPECT_EQ(3, col) << step;
        EXPECT_EQ("Q25", objectAt(m_view->GetTopRow())) << step;
        ClickHeading(kObjectColumn); // ascending
    }
}

// Properties, Apply Template and Delete on one object's quota and an owner's.
TEST_F(RowCommandsTest, CommandsChangeTheServerAndAStoppedServiceOrAGoneQuotaIsReported) {
    RemoveAllTemplates();
    OrdinaryTemplate(kTemplate).Sub("Quota").String("PermQuota", "5242880");
    const std::string folder = m_service.Folder("Commands");
    ASSERT_EQ(kAxOk, SaveQuota(folder, 10 * kMB, AttrAbsolute));
    ASSERT_EQ(kAxOk, SaveQuota(folder, 20 * kMB, 0, "Users"));
    Open();
    const std::string owner = "BUILTIN\\Users";
    const int row = RowOf(folder);
    ASSERT_NE(0, row);
    AllotrixDbRec saved;
    {
        DialogDriver cancel("Allotrix - Properties for", [&](HWND sheet) {
            SetDlgItemTextA(CurrentPage(sheet), IDC_PERM_QUOTA, "25");
            PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        });
        EXPECT_TRUE(m_view->OnCellDoubleClick(row, 2, 0, POINT{}));
        ASSERT_TRUE(cancel.Ran());
    }
    ASSERT_EQ(kAxOk, Stored(folder, "", saved));
    EXPECT_EQ(10 * kMB, saved.GetPermQuota());

    std::string shownQuota;
    DialogDriver driver("Allotrix - Properties for Object (Absolute) on ", [&](HWND sheet) {
        HWND quotaPage = CurrentPage(sheet);
        shownQuota = ControlText(quotaPage, IDC_PERM_QUOTA);
        SetDlgItemTextA(quotaPage, IDC_PERM_QUOTA, "25");
        SendMessageA(sheet, PSM_SETCURSEL, 3, 0); // threshold 3
        SendDlgItemMessageA(CurrentPage(sheet), IDC_THRESHOLD_SPIN, UDM_SETPOS32, 0, 95);
        PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    });
    RunOn(row, ID_QUOTA_PROPERTIES);
    ASSERT_TRUE(driver.Ran());
    EXPECT_EQ("10", shownQuota);
    ASSERT_EQ(kAxOk, Stored(folder, "", saved));
    EXPECT_EQ(25 * kMB, saved.GetPermQuota());
    EXPECT_EQ(95, saved.GetThreshPercent1()); // the highest threshold comes first
    EXPECT_EQ(25 * kMB, m_view->EntryOfRow(row)->record.GetPermQuota());

    // Apply Template changes the row; the owner's quota, gone from the server after the refresh
    // that showed it, is created again.
    ASSERT_EQ(kAxOk, DeleteQuota(folder, "Users"));
    for (const std::string& who : {std::string(), owner}) {
        const int whoRow = RowOf(folder, who);
        DialogDriver chooser = ChooseFirstTemplate();
        RunOn(whoRow, ID_QUOTA_APPLY_TEMPLATE);
        ASSERT_TRUE(chooser.Ran());
        AllotrixDbRec stored;
        ASSERT_EQ(kAxOk, Stored(folder, who, stored)) << who;
        EXPECT_EQ(5 * kMB, stored.GetPermQuota()) << who;
        EXPECT_EQ(5 * kMB, m_view->EntryOfRow(whoRow)->record.GetPermQuota()) << who;
    }

    // Delete asks in the words of the quota's kind; only Yes deletes.
    struct Case {
        std::string owner;
        UINT answer;
        std::string question;
    };
    for (const Case& step :
         {Case{"", IDNO, "Delete default quota of object " + folder + ".  Are you sure?"},
          Case{owner, IDNO,
               "Delete quota of user " + owner + ", object " + folder + ".\nAre you sure?"},
          Case{owner, IDYES,
               "Delete quota of user " + owner + ", object " + folder + ".\nAre you sure?"}}) {
        const int rows = m_view->GetRowCount();
        MessageBoxWatch answers("Kelvane", step.answer);
        RunOn(RowOf(folder, step.owner), ID_EDIT_DELETE);
        ASSERT_EQ(1u, answers.Texts().size());
        EXPECT_EQ(step.question, answers.Texts()[0]);
        const bool deleted = step.answer == IDYES;
        EXPECT_EQ(deleted ? kAxNotRunning : kAxOk, Stored(folder, step.owner, saved));
        EXPECT_EQ(rows - (deleted ? 1 : 0), m_view->GetRowCount());
        EXPECT_EQ(!deleted, RowOf(folder, step.owner) != 0);
    }
    EXPECT_EQ(kAxOk, Stored(folder, "", saved)) << "the object's own quota stays";

    ASSERT_EQ(kAxOk, DeleteQuota(folder));
    {
        MessageBoxWatch messages;
        EXPECT_TRUE(m_view->OnCellDoubleClick(RowOf(folder), 2, 0, POINT{}));
        ASSERT_EQ(1u, messages.Texts().size());
        EXPECT_EQ(0u, messages.Texts()[0].find("Object: " + folder + "\n")) << messages.Texts()[0];
    }

    // With the service stopped each command reports the system's text.
    ASSERT_TRUE(m_service.Stop());
    AXCli probe;
    const std::string expected = ErrorText(probe.Connect(""), 260);
    ASSERT_FALSE(expected.empty());
    for (UINT command : {ID_EDIT_DELETE, ID_QUOTA_SCAN, ID_QUOTA_APPLY_TEMPLATE}) {
        DialogDriver chooser = ChooseFirstTemplate();
        MessageBoxWatch answers("Kelvane", IDYES);
        RunOn(RowOf(folder), command);
        ASSERT_FALSE(answers.Texts().empty()) << command;
        EXPECT_EQ(expected, answers.Texts().back()) << command;
        EXPECT_NE(0, RowOf(folder)) << command;
    }
    RemoveAllTemplates();
}
