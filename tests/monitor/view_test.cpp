#include "view_fixture.h"

#include "client/axcli.h"
#include "monitor/cell_controls.h"
#include "monitor/columns.h"
#include "base/resource_text.h"
#include "res/resource.h"
#include "ui/profile.h"

using namespace monitor;
using Names = std::vector<std::string>;

namespace {
// Columns of the default layout on a full server.
constexpr int kStatusCol = 1, kUsedCol = 2, kServerCol = 3, kObjectCol = 4, kUserCol = 5,
              kSpaceUsedCol = 6, kCapacityCol = 7, kHighWaterCol = 8;
constexpr uint64_t kMB = 1024 * 1024;
} // namespace

TEST_F(ViewTest, DefaultLayoutShowsHeadingsAndOneRowPerQuotaInServerOrder) {
    m_document.Add("C:\\Zeta", 10, 100);
    m_document.Add("C:\\NoQuota", 10, 0);
    m_document.Add("C:\\Alpha", 20, 100);
    m_document.Add("C:\\Also0", 0, 0);
    m_document.Add("C:\\Mid", 30, 100);
    CAXMonView& view = OpenView();

    ASSERT_EQ(view.GetColCount(), 8);
    const Names headings = {"Status", "% Space Used", "Server",   "Object Name",
                            "User",   "Space Used",   "Capacity", "HighWater"};
    for (int col = 1; col <= 8; ++col)
        EXPECT_EQ(view.GetValue(0, col), headings[col - 1]);
    EXPECT_EQ(view.GetColWidth(0), 0);

    // Quota 0 gives no row and leaves no gap; Status sorts nothing, so the server's order stays.
    EXPECT_EQ(ObjectColumn(kObjectCol), (Names{"C:\\Zeta", "C:\\Alpha", "C:\\Mid"}));
    const MonitorList& list = m_document.DisplayedList();
    EXPECT_EQ(view.EntryOfRow(1), list[0].get());
    EXPECT_EQ(view.EntryOfRow(2), list[2].get());
    EXPECT_EQ(view.EntryOfRow(3), list[4].get());
    EXPECT_EQ(view.EntryOfRow(4), nullptr);
}

TEST_F(ViewTest, CellsShowIconsBarsOwnersAndSizes) {
    auto& object = m_document.Add("C:\\Data", 50 * kMB, 100 * kMB, AttrAbsolute);
    object.record.SetThreshPercent(1, 40);
    object.record.SetHighWaterMark(51200);
    auto& group = m_document.Add("C:\\Data", 150, 100, AttrGroupOwner | AttrNoEnforce, "STAFF");
    CAXMonView& view = OpenView();

    EXPECT_EQ(view.GetValue(1, kStatusCol), "#ICO(331)");
    EXPECT_EQ(view.GetValue(1, kUsedCol), "50");
    CGridStyle used = view.ComposeStyle(1, kUsedCol);
    EXPECT_EQ(used.GetControl(), IDS_CONTROL_PROGRESS_BAR);
    EXPECT_EQ(used.GetUserAttribute(IDS_PROGRESS_UPPER_BOUND), "100");
    EXPECT_EQ(used.GetUserAttribute(IDS_PROGRESS_CAPTION), "%ld %%");
    EXPECT_EQ(used.GetTextColor(), kBarRed);
    EXPECT_EQ(used.GetFrame(), GridFrame::Raised);
    EXPECT_EQ(view.GetValue(1, kServerCol), "TESTSERVER");
    EXPECT_EQ(view.GetValue(1, kUserCol), "Object (Absolute)");
    EXPECT_EQ(view.ComposeStyle(1, kUserCol).GetControl(), IDS_CONTROL_DEFAULT_BITMAP);
    EXPECT_EQ(view.GetValue(1, kSpaceUsedCol), "50.0MB");
    EXPECT_EQ(view.ComposeStyle(1, kSpaceUsedCol).GetHorzAlign(), GridAlign::Right);
    EXPECT_EQ(view.GetValue(1, kCapacityCol), "100.0MB");
    EXPECT_EQ(view.GetValue(1, kHighWaterCol), "50.0KB");
    EXPECT_EQ(view.ComposeStyle(1, kStatusCol).GetControl(), IDS_CONTROL_ICON);

    // 150 %: the bar is full (its upper bound is the value) and red by band.
    EXPECT_EQ(view.GetValue(2, kUsedCol), "150");
    used = view.ComposeStyle(2, kUsedCol);
    EXPECT_EQ(used.GetUserAttribute(IDS_PROGRESS_UPPER_BOUND), "150");
    EXPECT_EQ(used.GetTextColor(), kBarRed);
    EXPECT_EQ(view.GetDisplayText(2, kUsedCol), "150 %");
    EXPECT_EQ(view.GetValue(2, kUserCol), "STAFF");
    EXPECT_EQ(view.ComposeStyle(2, kUserCol).GetControl(), IDS_CONTROL_GROUP_NOT_ENFORCED_BITMAP);
    EXPECT_EQ(view.GetValue(2, kSpaceUsedCol), "0.1KB");
    EXPECT_EQ(group.record.GetPermQuota(), 100u);
}

TEST_F(ViewTest, HeadingClicksSortDescendingThenAscendingAndStatusNever) {
    m_document.Add("C:\\b", 9, 100);
    m_document.Add("C:\\Alpha", 10, 100);
    m_document.Add("C:\\gamma", 100, 100);
    m_document.Add("C:\\Beta", 2, 100);
    CAXMonView& view = OpenView();

    ClickHeading(kSpaceUsedCol); // numeric keys: 100 > 10 > 9 > 2
    EXPECT_EQ(ObjectColumn(kObjectCol), (Names{"C:\\gamma", "C:\\Alpha", "C:\\b", "C:\\Beta"}));
    EXPECT_FALSE(CAXMonView::IsSortAscending());
    ClickHeading(kSpaceUsedCol);
    EXPECT_TRUE(CAXMonView::IsSortAscending());
    EXPECT_EQ(ObjectColumn(kObjectCol), (Names{"C:\\Beta", "C:\\b", "C:\\Alpha", "C:\\gamma"}));

    // Another column starts descending; names collate without regard to case.
    ClickHeading(kObjectCol);
    EXPECT_FALSE(CAXMonView::IsSortAscending());
    EXPECT_EQ(view.SortColumn(), kObjectCol);
    EXPECT_EQ(ObjectColumn(kObjectCol), (Names{"C:\\gamma", "C:\\Beta", "C:\\b", "C:\\Alpha"}));
    ClickHeading(kObjectCol);
    EXPECT_EQ(ObjectColumn(kObjectCol), (Names{"C:\\Alpha", "C:\\b", "C:\\Beta", "C:\\gamma"}));

    ClickHeading(kStatusCol);
    EXPECT_EQ(view.SortColumn(), kObjectCol);
    EXPECT_TRUE(CAXMonView::IsSortAscending());
    EXPECT_EQ(ObjectColumn(kObjectCol), (Names{"C:\\Alpha", "C:\\b", "C:\\Beta", "C:\\gamma"}));
}

TEST_F(ViewTest, RowsWithEqualKeysKeepTheirOrder) {
    ASSERT_TRUE(m_profile.WriteString("ColsDisplayed", "Server;Enforce Quota;Object Name"));
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

TEST_F(ViewTest, AnEmptyListShowsHeadingsOnlyAndClicksDoNothing) {
    CAXMonView& view = OpenView();
    EXPECT_EQ(view.GetRowCount(), 0);
    EXPECT_EQ(view.GetColCount(), 8);
    ClickHeading(kObjectCol);
    EXPECT_EQ(view.SortColumn(), 1);
    EXPECT_FALSE(view.IsTimerArmed());
}

TEST_F(ViewTest, StatusColumnAndRowHeadersKeepTheirWidth) {
    m_document.Add("C:\\Data", 1, 100);
    CAXMonView& view = OpenView();
    const int status = view.GetColWidth(kStatusCol);
    const int object = view.GetColWidth(kObjectCol);
    DragColumnBorder(kStatusCol, 40);
    EXPECT_EQ(view.GetColWidth(kStatusCol), status);
    DragColumnBorder(kObjectCol, 30);
    EXPECT_EQ(view.GetColWidth(kObjectCol), object + 30);
}

TEST_F(ViewTest, MonitoringOnlyServerLeavesOutOwnerColumnsAndSavesItsLayout) {
    ASSERT_TRUE(m_profile.WriteString("ColsDisplayed", "User;Status;HighWater;PermQuota;Server"));
    ASSERT_TRUE(ui::Profile::WriteInt("AXMonitor", "Bytes", 3));
    m_document.SetServerKind(kServerKindMonitorOnly);
    m_document.Add("C:\\", 40 * kMB, 400 * kMB);
    m_document.Add("D:\\", 300 * kMB, 400 * kMB);
    CAXMonView& view = OpenView();

    ASSERT_EQ(view.GetColCount(), 3);
    EXPECT_EQ(view.ShownColumnTypes()[0], kColStatus);
    EXPECT_EQ(view.ShownColumnTypes()[1], kColCapacity);
    EXPECT_EQ(view.ShownColumnTypes()[2], kColServer);
    EXPECT_EQ(view.ShownColumnTypes()[3], kColNone);
    EXPECT_EQ(view.GetValue(0, 2), "Capacity");
    EXPECT_EQ(view.GetValue(1, 2), "0.4GB");
    EXPECT_EQ(view.SizeUnit(), 3u);

    // The clicked column decides: Capacity sorts, Status does not.
    ClickHeading(1);
    EXPECT_EQ(view.SortColumn(), 1);
    ClickHeading(2);
    EXPECT_EQ(view.SortColumn(), 2);

    DragColumnBorder(2, 25);
    const int capacityWidth = view.GetColWidth(2);
    const int serverWidth = view.GetColWidth(3);
    CloseView();
    DWORD saved = 0;
    ASSERT_TRUE(m_profile.ReadDword("PermQuota", saved));
    EXPECT_EQ(static_cast<int>(saved), capacityWidth);
    ASSERT_TRUE(m_profile.ReadDword("Server", saved));
    EXPECT_EQ(static_cast<int>(saved), serverWidth);
    ASSERT_TRUE(m_profile.ReadDword("Bytes", saved));
    EXPECT_EQ(saved, 3u);
    EXPECT_FALSE(m_profile.ReadDword("User", saved));
    EXPECT_FALSE(m_profile.ReadDword("HighWater", saved));

    // The widths come back in a new view, the Capacity column's included.
    CAXMonView& again = OpenView();
    EXPECT_EQ(again.GetColWidth(2), capacityWidth);
    EXPECT_EQ(again.GetColWidth(3), serverWidth);
}

TEST_F(ViewTest, TimerIsArmedUnlessStartedHiddenAndStoppingMarksBusy) {
    m_document.Add("C:\\Data", 1, 100);
    CAXMonView& view = OpenView(true);
    EXPECT_TRUE(view.IsTimerArmed());
    EXPECT_FALSE(view.IsBusy());
    view.StopRefreshTimer();
    EXPECT_FALSE(view.IsTimerArmed());
    EXPECT_TRUE(view.IsBusy());
    // A stale notice while busy changes nothing.
    SendMessageA(view.Handle(), WM_APP + 111, 0, 0);
    EXPECT_EQ(view.GetRowCount(), 1);
    EXPECT_TRUE(view.StartRefreshTimer(0));
    EXPECT_FALSE(view.IsBusy());
    // A notice without a result behind it (the thread was stopped) changes nothing either.
    SendMessageA(view.Handle(), WM_APP + 111, 0, 0);
    EXPECT_EQ(view.GetRowCount(), 1);
    EXPECT_EQ(view.EntryOfRow(1), m_document.DisplayedList()[0].get());
}

TEST(ColumnKeys, AreTheTextsOfTheStringTable) {
    constexpr UINT kKeyIds[kColumnTypeCount] = {
        IDS_KEY_STATUS,
        IDS_KEY_SPACE_USED_PERCENT,
        IDS_KEY_SPACE_FREE_PERCENT,
        IDS_KEY_OBJECT_NAME,
        IDS_KEY_USER,
        IDS_KEY_SPACE_USED,
        IDS_KEY_HIGHWATER,
        IDS_KEY_PERM_QUOTA,
        IDS_KEY_OVERDRAFT,
        IDS_KEY_WRITE_THROUGH,
        IDS_KEY_ENFORCE_QUOTA,
        IDS_KEY_SERVER,
    };
    for (uint32_t type = 1; type <= kColumnTypeCount; ++type)
        EXPECT_EQ(base::LoadText(kKeyIds[type - 1]), GetColumnInfo(type).key) << type;
    EXPECT_EQ(base::LoadText(IDS_PROFILE_SECTION), "AXMonitor");
    EXPECT_EQ(base::LoadText(IDS_PROFILE_COLUMNS_DISPLAYED), "ColsDisplayed");
    EXPECT_EQ(base::LoadText(IDS_PROFILE_SIZE_UNIT), "Bytes");
}
