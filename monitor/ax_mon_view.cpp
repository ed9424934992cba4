#include "monitor/ax_mon_view.h"
#include "ui/message_box.h"

#include "client/axcli.h"
#include "monitor/cell_controls.h"
#include "monitor/cell_rules.h"
#include "monitor/columns.h"
#include "monitor/monitor_messages.h"
#include "monitor/row_place.h"
#include "base/resource_text.h"
#include "res/resource.h"

#include <algorithm>
#include <cstdint>

namespace monitor {

int CAXMonView::s_sortAscending = 0;

namespace {

bool IsPercentColumn(uint32_t type) {
    return type == kColUsedPercent || type == kColFreePercent;
}
bool IsLeftAlignedText(uint32_t type) {
    return type == kColServer || type == kColObjectName || type == kColUser;
}

std::string Decimal(uint64_t value) {
    return std::to_string(value);
}

} // namespace

CAXMonView::CAXMonView(CAXMonDoc& document)
    : m_document(document), m_enabledText(base::LoadText(IDS_ENABLED)),
      m_disabledText(base::LoadText(IDS_DISABLED)),
      m_objectText(base::LoadText(IDS_OBJECT_ABSOLUTE)) {}

void CAXMonView::OnInitialUpdate() {
    CGridView::OnInitialUpdate();
    RegisterMonitorControls(*this);
    m_document.SetView(Handle());
    m_serverKind = m_document.ServerKind();
    m_list = &m_document.DisplayedList();

    const bool wasLocked = LockUpdate(true);
    StandardStyle().SetInterior(GetSysColor(COLOR_WINDOW));
    const ColumnLayout layout = LoadColumnList(m_serverKind);
    m_sizeUnit = layout.sizeUnit;
    m_columnOrder = layout.order;
    SetReadOnly(false);
    SetColWidth(0, 0);
    BuildColumns();
    FillRows(*m_list);
    // The rows come sorted as the user last sorted them, by the first column otherwise.
    const SortChoice saved = LoadSortChoice();
    m_sortColumnType = saved.columnType;
    s_sortAscending = saved.ascending ? 1 : 0;
    FollowSortColumn();
    if (GetRowCount() > 1)
        SortRows();
    ShowSortMark();
    LockUpdate(wasLocked);
    Redraw();

    if (!m_startedHidden && !StartRefreshTimer(0))
        ui::ShowMessage(Handle(), base::LoadText(IDS_TIMER_FAILED));
}

bool CAXMonView::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_AXMON_REFRESHED) {
        OnMonitorRefreshed();
        result = 0;
        return true;
    }
    return CGridView::OnMessage(message, wParam, lParam, result);
}

// ---- Columns and rows ----------------------------------------------------------------------

int CAXMonView::DefaultWidthPixels(uint32_t characters) const {
    const int average = std::max(GetAvgCharWidth(), 1);
    const int perMille = std::max(1000 / average, 1);
    return static_cast<int>(characters) * 1000 / perMille;
}

void CAXMonView::SetColumnLook(int col, uint32_t type) {
    CGridStyle style;
    if (type == kColStatus) {
        style.SetControl(IDS_CONTROL_ICON).SetHorzAlign(GridAlign::Center);
    } else if (IsPercentColumn(type)) {
        style.SetControl(IDS_CONTROL_PROGRESS_BAR)
            .SetUserAttribute(IDS_PROGRESS_LOWER_BOUND, "0")
            .SetUserAttribute(IDS_PROGRESS_UPPER_BOUND, "100")
            .SetUserAttribute(IDS_PROGRESS_CAPTION, "%ld %%")
            .SetTextColor(RGB(0, 0, 0))
            .SetFrame(GridFrame::Raised);
    } else {
        style.SetControl(IDS_CONTROL_STATIC_TEXT)
            .SetHorzAlign(IsLeftAlignedText(type) ? GridAlign::Left : GridAlign::Right);
    }
    SetColumnStyle(col, style);
}

void CAXMonView::BuildColumns() {
    SetReadOnly(false);
    SetColCount(0);
    SetColCount(static_cast<int>(kColumnOrderSize));
    m_shownColumnTypes.fill(kColNone);
    int col = 0;
    for (uint32_t type : m_columnOrder) {
        if (type == kColNone)
            break;
        if (!IsColumnShown(type, m_serverKind))
            continue;
        ++col;
        m_shownColumnTypes[col - 1] = type;
        const int defaultWidth = DefaultWidthPixels(GetColumnInfo(type).defaultWidth);
        SetColWidth(col, type == kColStatus ? defaultWidth : LoadColumnWidth(type, defaultWidth));
        SetColumnLook(col, type);
        SetValue(0, col, base::LoadText(GetColumnHeadingId(type)));
    }
    SetColCount(col);
    SetReadOnly(true);
    // Printed pages that continue rows to the right repeat the object's name.
    const auto objectColumn = std::find(m_shownColumnTypes.begin(), m_shownColumnTypes.end(),
                                        static_cast<uint32_t>(kColObjectName));
    SetPrintKeyColumn(objectColumn == m_shownColumnTypes.end()
                          ? -1
                          : static_cast<int>(objectColumn - m_shownColumnTypes.begin()) + 1);
}

std::string CAXMonView::GetPrintTitle() const {
    return m_document.GetTitle().empty() ? CGridView::GetPrintTitle() : m_document.GetTitle();
}

uint32_t CAXMonView::ColumnTypeOf(int col) const {
    if (col < 1 || col > static_cast<int>(kColumnOrderSize))
        return kColNone;
    // Outside servers of kind 3 both arrays agree: every code of the order is shown.
    return m_serverKind == kServerKindMonitorOnly ? m_shownColumnTypes[col - 1]
                                                  : m_columnOrder[col - 1];
}

MonitorEntry* CAXMonView::EntryOfRow(int row) const {
    if (row < 1 || row > GetRowCount())
        return nullptr;
    return static_cast<MonitorEntry*>(GetItemDataPtr(row));
}

int CAXMonView::CurrentDataRow() const {
    int row = 0, col = 0;
    return GetCurrentCell(row, col) && EntryOfRow(row) ? row : 0;
}

void CAXMonView::FillRows(const MonitorList& list) {
    SetReadOnly(false);
    if (GetRowCount() > 0)
        RemoveRows(1, GetRowCount());
    SetRowCount(static_cast<int>(list.size()));
    int row = 0;
    for (const auto& entry : list) {
        if (entry->record.GetPermQuota() != 0)
            FillRow(++row, *entry);
    }
    SetRowCount(row);
    SetReadOnly(true);
}

void CAXMonView::RefreshRows(const MonitorList& list) {
    // Between two refreshes few records change, and filling 100,000 rows anew would hold up the
    // window for a noticeable moment.
    SetReadOnly(false);
    const auto listed = std::count_if(list.begin(), list.end(), [](const auto& entry) {
        return entry->record.GetPermQuota() != 0;
    });
    SetRowCount(static_cast<int>(listed));
    int row = 0;
    for (const auto& entry : list) {
        if (entry->record.GetPermQuota() == 0)
            continue;
        const MonitorEntry* shown = EntryOfRow(++row);
        if (shown == entry.get() || (shown && SameRecord(shown->record, entry->record) &&
                                     shown->serverName == entry->serverName))
            SetItemDataPtr(row, entry.get());
        else
            FillRow(row, *entry);
    }
    SetReadOnly(true);
}

void CAXMonView::ReplaceRecord(int row, const AllotrixBaseDbRec& record) {
    MonitorEntry* entry = EntryOfRow(row);
    if (!entry)
        return;
    if (m_list) {
        auto held = std::find_if(m_list->begin(), m_list->end(),
                                 [&](const EntryRef& listed) { return listed.get() == entry; });
        if (held != m_list->end()) {
            auto edited = std::make_unique<MonitorEntry>();
            edited->serverName = entry->serverName;
            *held = std::move(edited);
            entry = held->get();
        }
    }
    entry->record = record;
    FillRow(row, *entry);
}

void CAXMonView::FillRow(int row, MonitorEntry& entry) {
    const bool wasReadOnly = SetReadOnly(false);
    SetItemDataPtr(row, &entry);
    const AllotrixBaseDbRec& record = entry.record;
    const uint64_t used = UsedPercent(record);
    // A size that cannot be formatted keeps the text of the column before, as the cell text.
    std::string text;
    for (int col = 1; col <= GetColCount(); ++col) {
        CGridStyle style;
        switch (ColumnTypeOf(col)) {
        case kColStatus:
            text = CGridIconControl::IconValue(GetStatusIcon(record, used));
            break;
        case kColUsedPercent:
            text = Decimal(used);
            style.SetUserAttribute(IDS_PROGRESS_UPPER_BOUND, used > 100 ? text : "100")
                .SetTextColor(GetBarColour(record, used));
            break;
        case kColFreePercent:
            text = Decimal(FreePercent(used));
            style.SetTextColor(GetBarColour(record, std::min<uint64_t>(used, 100)));
            break;
        case kColObjectName:
            text = record.GetMappedName(1);
            break;
        case kColUser: {
            const OwnerCell owner = GetOwnerCell(record);
            text = owner.isObject ? m_objectText : record.GetFileOwner();
            style.SetControl(OwnerControlId(owner.picture));
            break;
        }
        case kColSpaceUsed:
            FormatSize(record.GetUsedQuota(), m_sizeUnit, text);
            break;
        case kColHighWater:
            FormatSize(record.GetHighWaterMark(), m_sizeUnit, text);
            break;
        case kColCapacity:
            FormatSize(record.GetPermQuota(), m_sizeUnit, text);
            break;
        case kColOverdraft:
            FormatSize(record.GetOverDraft(), m_sizeUnit, text);
            break;
        case kColWriteThrough:
            text = record.IsAttributeSet(AttrWriteThrough) ? m_enabledText : m_disabledText;
            break;
        case kColEnforce:
            text = record.IsAttributeSet(AttrNoEnforce) ? m_disabledText : m_enabledText;
            break;
        case kColServer:
            text = entry.serverName;
            break;
        default:
            text.clear();
            break;
        }
        if (style.IsEmpty()) {
            // The cells of a column shown as plain text never take a look of their own.
            SetValue(row, col, text);
            continue;
        }
        style.SetValue(text);
        SetStyle(row, col, std::move(style), StyleMode::Copy);
    }
    SetReadOnly(wasReadOnly);
}

// ---- Sorting -------------------------------------------------------------------------------

void CAXMonView::SortRows() {
    CGridView::SortRows(CGridSortInfo{m_sortColumn, s_sortAscending != 0});
    ShowSortMark();
}

// The status column has no sort key (its rows keep the server's order): it shows no mark.
void CAXMonView::ShowSortMark() {
    SetSortMark(ColumnTypeOf(m_sortColumn) == kColStatus ? -1 : m_sortColumn, s_sortAscending != 0);
}

std::string CAXMonView::GetSortKey(int row, int col, const CGridSortInfo&,
                                   const CGridStyle& style) {
    const MonitorEntry* entry = EntryOfRow(row);
    if (!entry)
        return {};
    return monitor::GetSortKey(ColumnTypeOf(col), entry->serverName, entry->record,
                               style.GetValue());
}

bool CAXMonView::OnCellClick(int row, int col, UINT flags, POINT point) {
    if (row != 0 || GetRowCount() < 1)
        return CGridView::OnCellClick(row, col, flags, point);
    // The type checked is that of the column actually clicked. On servers of kind 3 the columns
    // they lack are never built, so only the Status column refuses to sort there as anywhere.
    const uint32_t type = ColumnTypeOf(col);
    if (type == kColNone || type == kColStatus)
        return false;
    StopRefreshTimer();
    if (col == m_sortColumn) {
        s_sortAscending = s_sortAscending ? 0 : 1;
    } else {
        m_sortColumn = col;
        m_sortColumnType = type;
        s_sortAscending = 0;
    }
    RowPlace place;
    place.Capture(*this);
    const bool wasLocked = LockUpdate(true);
    SortRows();
    place.Restore(*this);
    LockUpdate(wasLocked);
    Redraw();
    StartRefreshTimer(0);
    return true;
}

// ---- Row commands and column widths --------------------------------------------------------

bool CAXMonView::OnCellDoubleClick(int row, int col, UINT flags, POINT point) {
    if (row == 0 || !EntryOfRow(row))
        return CGridView::OnCellDoubleClick(row, col, flags, point);
    OnRowProperties(row);
    return true;
}

bool CAXMonView::OnCellRightClick(int row, int /*col*/, UINT /*flags*/, POINT point) {
    if (row == 0 || !EntryOfRow(row))
        return false;
    ClientToScreen(Handle(), &point);
    OnRowContextMenu(row, point);
    return true;
}

bool CAXMonView::OnColumnResized(int col, int /*width*/) {
    return col != 0 && ColumnTypeOf(col) != kColStatus;
}

std::string CAXMonView::GetCellTip(int row, int col) {
    const uint32_t type = ColumnTypeOf(col);
    const MonitorEntry* entry = EntryOfRow(row);
    if (!entry || (type != kColStatus && !IsPercentColumn(type)))
        return {};
    return StatusTip(entry->record, UsedPercent(entry->record));
}

void CAXMonView::SaveColumnWidths() {
    for (int col = 1; col <= GetColCount(); ++col) {
        const uint32_t type = ColumnTypeOf(col);
        if (type == kColNone)
            break;
        SaveColumnWidth(type, GetColWidth(col));
    }
}

// ---- Refresh cycle -------------------------------------------------------------------------

UINT CAXMonView::RefreshIntervalMs() const {
    // The frequency is kept between 1 second and the longest interval a window timer takes.
    const UINT seconds = m_frequency ? m_frequency() : kDefaultFrequencySeconds;
    return std::clamp<UINT>(seconds, 1, USER_TIMER_MAXIMUM / 1000) * 1000;
}

bool CAXMonView::StartRefreshTimer(UINT milliseconds) {
    if (m_timerArmed) {
        m_busy = false;
        return true;
    }
    m_timerArmed = SetTimer(Handle(), kRefreshTimerId,
                            milliseconds ? milliseconds : RefreshIntervalMs(), nullptr) != 0;
    m_busy = false;
    return m_timerArmed;
}

void CAXMonView::RefreshSoon(UINT milliseconds) {
    if (m_paused)
        return;
    if (m_timerArmed) {
        KillTimer(Handle(), kRefreshTimerId);
        m_timerArmed = false;
    }
    StartRefreshTimer(milliseconds);
}

void CAXMonView::StopRefreshTimer() {
    m_busy = true;
    if (m_paused)
        return;
    if (m_timerArmed) {
        KillTimer(Handle(), kRefreshTimerId);
        m_timerArmed = false;
    } else {
        m_document.StopRefresh();
    }
}

void CAXMonView::OnTimer(UINT_PTR id) {
    if (id != kRefreshTimerId)
        return;
    KillTimer(Handle(), kRefreshTimerId);
    m_timerArmed = false;
    // The refresh thread sorts the records as the rows are sorted now.
    const EntryOrder order{ColumnTypeOf(m_sortColumn), s_sortAscending != 0, m_enabledText,
                           m_disabledText};
    // Should the refresh thread not start, the next period tries again.
    if (!m_document.RequestRefresh(order))
        StartRefreshTimer(0);
}

void CAXMonView::OnMonitorRefreshed() {
    if (m_busy)
        return;
    // Taken while the rows still show the entries the new result replaces.
    RowPlace place;
    place.Capture(*this);
    if (!m_document.TakeIncoming())
        return;
    const bool wasLocked = LockUpdate(true);
    RefreshRows(*m_list);
    const bool sorted =
        m_document.IncomingOrder().SameSort(ColumnTypeOf(m_sortColumn), s_sortAscending != 0);
    if (!sorted && GetRowCount() > 1)
        SortRows();
    place.Restore(*this);
    LockUpdate(wasLocked);
    Redraw();
    StartRefreshTimer(0);
}

void CAXMonView::OnDestroy() {
    StopRefreshTimer();
    SaveColumnWidths();
    SaveSizeUnit(m_sizeUnit);
    SaveSortChoice({ColumnTypeOf(m_sortColumn), s_sortAscending != 0});
}

} // namespace monitor
