// The commands of the monitor view: the column chooser, zoom, find, copy, pause and release of
// the refresh, print setup, print and print preview, and the routing of the row commands.
#include "monitor/ax_mon_view.h"
#include "monitor/columns_dlg.h"
#include "monitor/row_place.h"
#include "base/resource_text.h"
#include "res/resource.h"
#include "ui/message_box.h"

// The grid copies its selection on the same command the menus give Edit > Copy.
static_assert(GRID_ID_EDIT_COPY == ID_EDIT_COPY);

namespace monitor {

bool CAXMonView::OnCommand(UINT id, UINT code, HWND control) {
    switch (id) {
    case ID_VIEW_COLUMNS:
        OnChooseColumns();
        return true;
    case ID_QUOTA_PROPERTIES:
        OnPropertiesCommand();
        return true;
    case ID_EDIT_DELETE:
        OnRowCommand(&CAXMonView::DeleteRow);
        return true;
    case ID_QUOTA_SCAN:
        OnRowCommand(&CAXMonView::ScanRow);
        return true;
    case ID_QUOTA_APPLY_TEMPLATE:
        OnRowCommand(&CAXMonView::ApplyTemplateToRow);
        return true;
    case ID_VIEW_ZOOM_IN:
        if (CanZoomIn())
            ZoomIn();
        return true;
    case ID_VIEW_ZOOM_OUT:
        if (CanZoomOut())
            ZoomOut();
        return true;
    case ID_VIEW_ZOOM_100:
        ZoomReset();
        return true;
    case ID_EDIT_FIND:
        StartRefreshTimer(0);
        ShowFindDialog();
        StartRefreshTimer(0);
        return true;
    case ID_EDIT_COPY:
        Copy();
        return true;
    case ID_VIEW_PAUSE:
        StopRefreshTimer();
        m_paused = true;
        return true;
    case ID_VIEW_RELEASE:
        OnRelease();
        return true;
    case ID_FILE_PRINT_SETUP:
        PrintSetup();
        return true;
    case ID_FILE_PRINT:
        OnPrint(false);
        return true;
    case ID_FILE_PRINT_PREVIEW:
        OnPrint(true);
        return true;
    default:
        return CGridView::OnCommand(id, code, control);
    }
}

void CAXMonView::OnUpdateCommand(UINT id, ui::CommandState& state) {
    switch (id) {
    case ID_VIEW_ZOOM_IN:
        state.Enable(CanZoomIn());
        break;
    case ID_VIEW_ZOOM_OUT:
        state.Enable(CanZoomOut());
        break;
    case ID_VIEW_PAUSE:
        state.Enable(!m_paused);
        break;
    case ID_VIEW_RELEASE:
        state.Enable(m_paused);
        break;
    case ID_FILE_SAVE:
        state.Enable(false);
        break;
    case ID_VIEW_COLUMNS:
    case ID_QUOTA_PROPERTIES:
    case ID_EDIT_DELETE:
    case ID_QUOTA_SCAN:
    case ID_QUOTA_APPLY_TEMPLATE:
    case ID_VIEW_ZOOM_100:
    case ID_EDIT_FIND:
    case ID_EDIT_COPY:
    case ID_FILE_PRINT_SETUP:
    case ID_FILE_PRINT:
    case ID_FILE_PRINT_PREVIEW:
        state.Enable(true);
        break;
    default:
        break;
    }
}

void CAXMonView::OnChooseColumns() {
    StopRefreshTimer();
    SaveColumnWidths();
    CColumnsDlg dialog(m_columnOrder, m_sizeUnit, Handle());
    if (dialog.DoModal() == IDOK) {
        RowPlace place;
        place.Capture(*this);
        const bool wasLocked = LockUpdate(true);
        m_sizeUnit = dialog.SizeUnit();
        SaveColumnList(m_columnOrder);
        BuildColumns();
        if (m_list)
            FillRows(*m_list);
        FollowSortColumn();
        if (GetRowCount() > 1)
            SortRows();
        ShowSortMark();
        place.Restore(*this);
        LockUpdate(wasLocked);
        Redraw();
    }
    StartRefreshTimer(0);
}

// The sort column moves with its column type; when that type is no longer shown the rows are
// sorted by the first column, descending. Grid columns are looked at rather than the order, so
// that on servers of kind 3 the columns they lack are not counted.
void CAXMonView::FollowSortColumn() {
    for (int col = 1; col <= GetColCount(); ++col) {
        if (ColumnTypeOf(col) == m_sortColumnType) {
            m_sortColumn = col;
            return;
        }
    }
    m_sortColumn = 1;
    m_sortColumnType = ColumnTypeOf(1);
    s_sortAscending = 0;
}

void CAXMonView::OnRelease() {
    if (!StartRefreshTimer(0)) {
        ui::ShowMessage(Handle(), base::LoadText(IDS_TIMER_FAILED), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    m_paused = false;
}

void CAXMonView::OnPrint(bool preview) {
    StopRefreshTimer();
    if (preview)
        ShowPrintPreview();
    else
        Print();
    StartRefreshTimer(0);
}

} // namespace monitor
