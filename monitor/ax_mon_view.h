// The monitor view: the grid of the monitor document's quota records, one row per record with a
// permanent quota, the user's columns, sorted by the column last clicked. It owns the refresh
// timer that drives the document's refresh cycle.
//
// Use: construct with the document, Create() it as the child of a frame, then OnInitialUpdate().
// The frame calls StopRefreshTimer() when it hides or minimises and StartRefreshTimer(5) when it
// shows or restores; commands bracket their work with StopRefreshTimer()/StartRefreshTimer(0).
#pragma once

#include "grid/grid_view.h"
#include "monitor/ax_mon_doc.h"
#include "monitor/column_layout.h"
#include "ui/command_state.h"

#include <functional>
#include <string>

namespace monitor {

constexpr UINT_PTR kRefreshTimerId = 120;
// The refresh frequency, in seconds, until the user chooses another.
constexpr UINT kDefaultFrequencySeconds = 5;

class CAXMonView : public CGridView {
public:
    explicit CAXMonView(CAXMonDoc& document);

    CAXMonDoc& GetDocument() const { return m_document; }

    // The refresh frequency in seconds, read each time the timer is armed (default 5).
    void SetFrequencySource(std::function<UINT()> seconds) { m_frequency = std::move(seconds); }
    // A console started hidden leaves the first timer to the frame.
    void SetStartedHidden(bool hidden) { m_startedHidden = hidden; }

    void OnInitialUpdate() override;

    // Arms the one-shot refresh timer with `milliseconds`, or the frequency when 0, unless it is
    // armed already; either way the view is no longer busy. False when no timer can be set.
    bool StartRefreshTimer(UINT milliseconds);
    // The next refresh in `milliseconds`, also when the timer is armed for later; not while
    // paused.
    void RefreshSoon(UINT milliseconds);
    // Marks the view busy, so that no refresh result is shown, and ends the current cycle: kills
    // the timer, or stops the refresh thread when a cycle is in flight. Does nothing more while
    // paused.
    void StopRefreshTimer();
    // The refresh frequency in milliseconds.
    UINT RefreshIntervalMs() const;

    // Sets the columns from the column order (also after the user changed the columns).
    void BuildColumns();
    // Rebuilds every row from `list`, leaving out records without a permanent quota.
    void FillRows(const MonitorList& list);
    // As FillRows after a refresh, whose entries replace those the rows show: a row whose entry
    // shows the same record from the same server takes the new entry and keeps its cells.
    void RefreshRows(const MonitorList& list);
    // Sets every cell of row `row` from `entry`.
    void FillRow(int row, MonitorEntry& entry);
    // Shows `record` in row `row`, in a new entry that replaces the row's entry in the list: the
    // refresh thread may share the old one.
    void ReplaceRecord(int row, const AllotrixBaseDbRec& record);
    // Sorts the data rows by the sort column in the process-wide direction.
    void SortRows();

    // The column type shown in grid column `col` (1-based); 0 when there is none.
    uint32_t ColumnTypeOf(int col) const;
    // The entry shown in data row `row`, or null.
    MonitorEntry* EntryOfRow(int row) const;
    // The data row of the current cell, the row the row commands act on; 0 when there is none.
    int CurrentDataRow() const;

    const ColumnCodes& ColumnOrder() const { return m_columnOrder; }
    const ColumnCodes& ShownColumnTypes() const { return m_shownColumnTypes; }
    uint32_t SizeUnit() const { return m_sizeUnit; }
    int SortColumn() const { return m_sortColumn; }
    static bool IsSortAscending() { return s_sortAscending != 0; }
    bool IsBusy() const { return m_busy; }
    bool IsPaused() const { return m_paused; }
    bool IsTimerArmed() const { return m_timerArmed; }

    // Reads the complete record of data row `row` from its server, lets the user edit it in the
    // quota property sheet and saves it; true when the grid should be repainted.
    bool EditRowProperties(int row);

    // Grid overrides.
    std::string GetSortKey(int row, int col, const CGridSortInfo& info,
                           const CGridStyle& style) override;
    bool OnCellClick(int row, int col, UINT flags, POINT point) override;
    bool OnCellDoubleClick(int row, int col, UINT flags, POINT point) override;
    bool OnCellRightClick(int row, int col, UINT flags, POINT point) override;
    bool OnColumnResized(int col, int width) override;
    // The row's state in words on its status and percentage cells.
    std::string GetCellTip(int row, int col) override;
    // The document's title, which names the server.
    std::string GetPrintTitle() const override;

protected:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    // The view's commands (columns, zoom, find, copy, pause and release, printing) and their
    // states; the frame routes its commands here first.
    bool OnCommand(UINT id, UINT code, HWND control) override;
    void OnUpdateCommand(UINT id, ui::CommandState& state) override;
    void OnTimer(UINT_PTR id) override;
    void OnDestroy() override;

    // The properties of a data row (double click, or the Properties command on the current
    // cell's row).
    virtual void OnRowProperties(int row);
    void OnPropertiesCommand();
    // A row command on the current cell's row (nothing without one), with the refresh
    // suspended meanwhile.
    void OnRowCommand(void (CAXMonView::*command)(int row));
    // The context menu of a data row at `screenPoint` (right click); its command comes back
    // through the main window. The current cell stays where it is.
    virtual void OnRowContextMenu(int row, POINT screenPoint);

    void SetPaused(bool paused) { m_paused = paused; }
    void SetSizeUnit(uint32_t unit) { m_sizeUnit = unit; }
    ColumnCodes& MutableColumnOrder() { return m_columnOrder; }
    void SaveColumnWidths();

private:
    void OnChooseColumns();
    void FollowSortColumn();
    void ShowSortMark();
    void OnRelease();
    void OnPrint(bool preview);

    // The row commands: each asks its own client of the row's server and shows a failure's
    // text. Delete asks first and removes the row at once; Scan queues a rescan the next
    // refresh shows; Apply Template lets the user choose a template of the row's server and
    // shows the saved quota in the row.
    void DeleteRow(int row);
    void ScanRow(int row);
    void ApplyTemplateToRow(int row);

    void OnMonitorRefreshed();
    int DefaultWidthPixels(uint32_t characters) const;
    void SetColumnLook(int col, uint32_t type);

    CAXMonDoc& m_document;
    MonitorList* m_list = nullptr;
    int m_serverKind = 0;
    bool m_paused = false;
    bool m_timerArmed = false;
    bool m_busy = false;
    ColumnCodes m_columnOrder{};
    int m_sortColumn = 1;
    uint32_t m_sortColumnType = 0;
    uint32_t m_sizeUnit = kDefaultSizeUnit;
    ColumnCodes m_shownColumnTypes{};

    std::function<UINT()> m_frequency;
    bool m_startedHidden = false;
    std::string m_enabledText;
    std::string m_disabledText;
    std::string m_objectText;

    // 0 descending, 1 ascending; shared by every sort of every view.
    static int s_sortAscending;
};

} // namespace monitor
