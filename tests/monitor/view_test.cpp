#include "ui_test_support.h"
#include "view_fixture.h"

#include "client/axcli.h"
#include "monitor/cell_controls.h"
#include "monitor/columns.h"
#include "res/resource.h"
#include "ui/profile.h"

#include <commctrl.h>

using namespace monitor;
using Names = std::vector<std::string>;

namespace {
// Columns of the default layout on a full server.
constexpr int kStatusCol = 1, kUsedCol = 2, kServerCol = 3, kObjectCol = 4, kUserCol = 5,
              kSpaceUsedCol = 6, kCapacityCol = 7, kHighWaterCol = 8;
constexpr uint64_t kMB = 1024 * 1024;

} // namespace

TEST_F(ViewTest, DefaultLayoutShowsOneRowPerQuotaInServerOrderWithoutTimerWhenHidden) {
    CAXMonView& empty = OpenView(); // headings only, and a click sorts nothing
    EXPECT_EQ(empty.GetRowCount(), 0);
    ClickHeading(kObjectCol);
    EXPECT_EQ(empty.SortColumn(), 1);
    CloseView();
    m_document.Add("C:\\Zeta", 10, 100);
    m_document.Add("C:\\NoQuota", 10, 0);
    m_document.Add("C:\\Alpha", 20, 100);
    m_document.Add("C:\\Also0", 0, 0);
    m_document.Add("C:\\Mid", 30, 100);
    CAXMonView& view = OpenView();

    const Names headings = {"Status", "% Space Used", "Server",   "Object Name",
                            "User",   "Space Used",   "Capacity", "HighWater"};
    ASSERT_EQ(view.GetColCount(), 8);
    for (int col = 1; col <= 8; ++col)
        EXPECT_EQ(view.GetValue(0, col), headings[col - 1]);
    EXPECT_EQ(view.GetColWidth(0), 0);
    EXPECT_FALSE(view.IsTimerArmed());

    // Quota 0 gives no row and leaves no gap; Status sorts nothing, so the server's order stays.
    EXPECT_EQ(ObjectColumn(kObjectCol), (Names{"C:\\Zeta", "C:\\Alpha", "C:\\Mid"}));
    const MonitorList& list = m_document.DisplayedList();
    EXPECT_EQ(view.EntryOfRow(1), list[0].get());
    EXPECT_EQ(view.EntryOfRow(3), list[4].get());
    EXPECT_EQ(view.EntryOfRow(4), nullptr);
}

TEST_F(ViewTest, CellsShowIconsBarsOwnersSizesAndTipsOfTheRowsState) {
    auto& object = m_document.Add("C:\\Data", 50 * kMB, 100 * kMB, AttrAbsolute);
    object.record.SetThreshPercent(1, 40);
    object.record.SetHighWaterMark(51200);
    m_document.Add("C:\\Data", 150, 100, AttrGroupOwner | AttrNoEnforce, "STAFF");
    m_document.Add("C:\\Scanning", 1, 100, AttrAbsolute | AttrStatus100);
    m_document.Add("C:\\Calm", 45, 100);
    CAXMonView& view = OpenView();

    EXPECT_EQ(view.GetValue(1, kStatusCol), "#ICO(331)");
    EXPECT_EQ(view.ComposeStyle(1, kStatusCol).GetControl(), IDS_CONTROL_ICON);
    CGridStyle used = view.ComposeStyle(1, kUsedCol);
    EXPECT_EQ(used.GetControl(), IDS_CONTROL_PROGRESS_BAR);
    EXPECT_EQ(used.GetUserAttribute(IDS_PROGRESS_UPPER_BOUND), "100");
    EXPECT_EQ(used.GetTextColor(), kBarRed);
    EXPECT_EQ(view.GetValue(1, kServerCol), "TESTSERVER");
    EXPECT_EQ(view.ComposeStyle(1, kUserCol).GetControl(), IDS_CONTROL_DEFAULT_BITMAP);
    EXPECT_EQ(view.ComposeStyle(1, kSpaceUsedCol).GetHorzAlign(), GridAlign::Right);
    EXPECT_EQ(view.GetValue(1, kCapacityCol), "100.0MB");
    EXPECT_EQ(view.GetValue(1, kHighWaterCol), "50.0KB");

    // 150 %: the bar is full (its upper bound is the value).
    used = view.ComposeStyle(2, kUsedCol);
    EXPECT_EQ(used.GetUserAttribute(IDS_PROGRESS_UPPER_BOUND), "150");
    EXPECT_EQ(view.ComposeStyle(2, kUserCol).GetControl(), IDS_CONTROL_GROUP_NOT_ENFORCED_BITMAP);
    EXPECT_EQ(view.GetValue(2, kSpaceUsedCol), "0.1KB");

    const struct {
        int row, col;
        const char* tip;
    } cases[] = {{2, kStatusCol, "Over quota: 150 %"},
                 {1, kUsedCol, "Threshold 1 (40 %) exceeded: 50 % used"},
                 {3, kStatusCol, "Scanning"},
                 {4, kStatusCol, "45 % used, no threshold exceeded"},
                 {4, kObjectCol, ""}};
    for (const auto& c : cases) {
        SendMessageA(view.Handle(), WM_MOUSEMOVE, 0, CellPoint(c.row, c.col));
        char text[256] = {};
        TOOLINFOA tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = view.Handle();
        tool.uId = 1;
        tool.lpszText = text;
        SendMessageA(view.GetTipWindow(), TTM_GETTEXTA, sizeof text,
                     reinterpret_cast<LPARAM>(&tool));
        EXPECT_STREQ(text, c.tip) << c.row;
    }
}

TEST_F(ViewTest, HeadingClicksSortDescendingThenAscendingStatusNeverAndTheMarkShowsIt) {
    m_document.Add("C:\\b", 9, 100);
    m_document.Add("C:\\Alpha", 10, 100);
    m_document.Add("C:\\gamma", 100, 100);
    m_document.Add("C:\\Beta", 2, 100);
    CAXMonView& view = OpenView();
    EXPECT_EQ(view.GetSortMarkColumn(), -1) << "the status column, sorted first, does not sort";

    ClickHeading(kSpaceUsedCol); // numeric keys: 100 > 10 > 9 > 2; the mark points down
    EXPECT_EQ(ObjectColumn(kObjectCol), (Names{"C:\\gamma", "C:\\Alpha", "C:\\b", "C:\\Beta"}));
    EXPECT_FALSE(CAXMonView::IsSortAscending());
    EXPECT_EQ(view.GetSortMarkColumn(), kSpaceUsedCol);
    ClickHeading(kSpaceUsedCol);
    EXPECT_TRUE(CAXMonView::IsSortAscending());
    EXPECT_EQ(ObjectColumn(kObjectCol), (Names{"C:\\Beta", "C:\\b", "C:\\Alpha", "C:\\gamma"}));

    // Another column starts descending; names collate without regard to case.
    ClickHeading(kObjectCol);
    EXPECT_FALSE(CAXMonView::IsSortAscending());
    EXPECT_EQ(ObjectColumn(kObjectCol), (Names{"C:\\gamma", "C:\\Beta", "C:\\b", "C:\\Alpha"}));
    ClickHeading(kObjectCol);
    ClickHeading(kStatusCol);
    EXPECT_EQ(view.SortColumn(), kObjectCol);
    EXPECT_TRUE(CAXMonView::IsSortAscending());
    EXPECT_EQ(ObjectColumn(kObjectCol), (Names{"C:\\Alpha", "C:\\b", "C:\\Beta", "C:\\gamma"}));

    // The sort is kept for the next start.
    CloseView();
    CAXMonView& reopened = OpenView();
    EXPECT_EQ(reopened.SortColumn(), kObjectCol);
    EXPECT_TRUE(CAXMonView::IsSortAscending());
    EXPECT_EQ(ObjectColumn(kObjectCol), (Names{"C:\\Alpha", "C:\\b", "C:\\Beta", "C:\\gamma"}));
    EXPECT_EQ(reopened.GetSortMarkColumn(), kObjectCol);
}

TEST_F(ViewTest, RowsWithEqualKeysKeepTheirOrder) {
    ASSERT_TRUE(
        ui::Profile::WriteString("AXMonitor", "ColsDisplayed", "Server;Enforce Quota;Object Name"));
    m_document.Add("C:\\1", 1, 100);
    m_document.Add("C:\\2", 1, 100, AttrAbsolute | AttrNoEnforce);
    m_document.Add("C:\\3", 1, 100);
    m_document.Add("C:\\4", 1, 100);
    m_document.Add("C:\\5", 1, 100, AttrAbsolute | AttrNoEnforce);
    CAXMonView& view = OpenView();
    ASSERT_EQ(view.GetColCount(), 3);

    // Sorted by column 1 from the start, whose keys (the server names) are all equal.
    EXPECT_EQ(ObjectColumn(3), (Names{"C:\\1", "C:\\2", "C:\\3", "C:\\4", "C:\\5"}));
    ClickHeading(2); // descending: Enabled before Disabled, each group in its previous order
    EXPECT_EQ(ObjectColumn(3), (Names{"C:\\1", "C:\\3", "C:\\4", "C:\\2", "C:\\5"}));
    ClickHeading(2);
    EXPECT_EQ(ObjectColumn(3), (Names{"C:\\2", "C:\\5", "C:\\1", "C:\\3", "C:\\4"}));
    ClickHeading(1);
    EXPECT_EQ(ObjectColumn(3), (Names{"C:\\2", "C:\\5", "C:\\1", "C:\\3", "C:\\4"}));
}

TEST_F(ViewTest, MonitoringOnlyServerLeavesOutOwnerColumnsAndSavesItsLayout) {
    ASSERT_TRUE(ui::Profile::WriteString("AXMonitor", "ColsDisplayed",
                                         "User;Status;HighWater;PermQuota;Server"));
    ASSERT_TRUE(ui::Profile::WriteInt("AXMonitor", "Bytes", 3));
    m_document.SetServerKind(kServerKindMonitorOnly);
    m_document.Add("C:\\", 40 * kMB, 400 * kMB);
    m_document.Add("D:\\", 300 * kMB, 400 * kMB);
    CAXMonView& view = OpenView();

    ASSERT_EQ(view.GetColCount(), 3);
    const auto shown = view.ShownColumnTypes();
    EXPECT_EQ(std::vector<uint32_t>(shown.begin(), shown.begin() + 4),
              (std::vector<uint32_t>{kColStatus, kColCapacity, kColServer, kColNone}));
    EXPECT_EQ(view.GetValue(1, 2), "0.4GB");
    // The clicked column decides: Capacity sorts, Status does not.
    ClickHeading(1);
    EXPECT_EQ(view.SortColumn(), 1);
    ClickHeading(2);
    EXPECT_EQ(view.SortColumn(), 2);

    const int statusWidth = view.GetColWidth(1);
    DragColumnBorder(1, 40); // the status column keeps its width
    EXPECT_EQ(view.GetColWidth(1), statusWidth);
    DragColumnBorder(2, 25);
    const int capacityWidth = view.GetColWidth(2);
    const int serverWidth = view.GetColWidth(3);
    CloseView();
    EXPECT_EQ(SavedNumber("Bytes"), 3u);
    EXPECT_EQ(SavedNumber("User"), kNothingSaved);
    EXPECT_EQ(SavedNumber("HighWater"), kNothingSaved);

    // The widths come back in a new view, the Capacity column's included.
    CAXMonView& again = OpenView();
    EXPECT_EQ(again.GetColWidth(2), capacityWidth);
    EXPECT_EQ(again.GetColWidth(3), serverWidth);
    EXPECT_EQ(again.SizeUnit(), 3u);

    // Confirming the columns drops User, which these servers lack, but keeps the others.
    DialogDriver driver("Columns", [](HWND dialog) { Click(dialog, IDOK); });
    again.RouteCommand(ID_VIEW_COLUMNS, 0, nullptr);
    EXPECT_TRUE(driver.Ran());
    EXPECT_EQ(ui::Profile::GetString("AXMonitor", "ColsDisplayed", ""),
              "Status;HighWater;PermQuota;Server;");
    EXPECT_EQ(again.GetColCount(), 3);
}
