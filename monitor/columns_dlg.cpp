#include "monitor/columns_dlg.h"

#include "monitor/columns.h"
#include "base/resource_text.h"
#include "res/resource.h"
#include "ui/message_box.h"

#include <algorithm>

namespace monitor {

namespace {

constexpr char kOnlyOnFullServers[] = " (AX Only)";

UINT DragListMessage() {
    static const UINT message = RegisterWindowMessageA("commctrl_DragListMsg");
    return message;
}

uint32_t ItemCode(const ui::ListBox& list, int index) {
    return static_cast<uint32_t>(list.ItemData(index));
}
// Adds (or, with `at` >= 0, inserts) an item carrying its code; returns its index.
int PutItem(const ui::ListBox& list, uint32_t code, int at = -1) {
    const int index = list.AddString(CColumnsDlg::ColumnText(code), at);
    if (index >= 0)
        list.SetItemData(index, code);
    return index;
}

// Moves the selected item of `from` to the end of `to` (`append`) or to its sorted place, and
// selects it there. False when `from` has no selection.
bool MoveSelected(const ui::ListBox& from, const ui::ListBox& to, bool append) {
    const int selected = from.CurrentSelection();
    if (selected < 0)
        return false;
    const uint32_t code = ItemCode(from, selected);
    from.DeleteString(selected);
    to.SetCurrentSelection(PutItem(to, code, append ? to.Count() : -1));
    return true;
}

} // namespace

CColumnsDlg::CColumnsDlg(ColumnCodes& order, uint32_t sizeUnit, HWND parent)
    : Dialog(IDD_COLUMNS, parent), m_order(order), m_sizeUnit(static_cast<int>(sizeUnit)) {}

std::string CColumnsDlg::ColumnText(uint32_t type) {
    if (type < 1 || type > kColumnTypeCount)
        return {};
    std::string text = base::LoadText(GetColumnHeadingId(type));
    if (!GetColumnInfo(type).onMonitorOnlyKind)
        text += kOnlyOnFullServers;
    return text;
}

bool CColumnsDlg::OnInitDialog() {
    const UINT images = LR_LOADMAP3DCOLORS;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    m_addImage.Reset(static_cast<HBITMAP>(
        LoadImageA(instance, MAKEINTRESOURCEA(IDB_ADD_COLUMN), IMAGE_BITMAP, 0, 0, images)));
    m_removeImage.Reset(static_cast<HBITMAP>(
        LoadImageA(instance, MAKEINTRESOURCEA(IDB_REMOVE_COLUMN), IMAGE_BITMAP, 0, 0, images)));

    const ui::ListBox displayed = Displayed();
    const ui::ListBox available = Available();
    MakeDragList(displayed);
    bool shown = true;
    for (uint32_t code : m_order) {
        if (code == kColNone) {
            shown = false;
            continue;
        }
        if (shown)
            PutItem(displayed, code, displayed.Count());
        else
            PutItem(available, code);
    }
    if (available.Count() > 0)
        available.SetCurrentSelection(0);
    EnableItem(IDC_ADD_COLUMN, available.Count() > 0);
    EnableItem(IDC_REMOVE_COLUMN, false);
    EnableItem(IDC_MOVE_COLUMN_UP, false);
    EnableItem(IDC_MOVE_COLUMN_DOWN, false);
    EnableItem(IDOK, displayed.Count() > 0);
    return Dialog::OnInitDialog();
}

void CColumnsDlg::DoDataExchange(ui::DataExchange& exchange) {
    exchange.Radio(IDC_SPACE_UNIT_BYTES, m_sizeUnit);
}

void CColumnsDlg::OnOK() {
    if (!UpdateData(true))
        return;
    const ui::ListBox displayed = Displayed();
    const ui::ListBox available = Available();
    // At most twelve codes exist, so the shown ones, the 0 and the others always fit.
    ColumnCodes order{};
    size_t next = 0;
    for (int i = 0; i < displayed.Count() && next < kColumnOrderSize; ++i)
        order[next++] = ItemCode(displayed, i);
    if (next < kColumnOrderSize)
        order[next++] = kColNone;
    for (int i = 0; i < available.Count() && next < kColumnOrderSize; ++i)
        order[next++] = ItemCode(available, i);
    m_order = order;
    End(IDOK);
}

void CColumnsDlg::AddColumn() {
    if (!MoveSelected(Available(), Displayed(), true))
        return;
    EnableItem(IDC_ADD_COLUMN, false);
    EnableItem(IDC_REMOVE_COLUMN, true);
    EnableItem(IDC_MOVE_COLUMN_UP, Displayed().Count() > 1);
    EnableItem(IDC_MOVE_COLUMN_DOWN, false);
    EnableItem(IDOK, true);
}

void CColumnsDlg::RemoveColumn() {
    if (!MoveSelected(Displayed(), Available(), false))
        return;
    EnableItem(IDC_ADD_COLUMN, true);
    EnableItem(IDC_REMOVE_COLUMN, false);
    EnableItem(IDC_MOVE_COLUMN_UP, false);
    EnableItem(IDC_MOVE_COLUMN_DOWN, false);
    if (Displayed().Count() == 0)
        EnableItem(IDOK, false);
}

void CColumnsDlg::UpdateButtons() {
    const int displayed = Displayed().CurrentSelection();
    EnableItem(IDC_ADD_COLUMN, Available().CurrentSelection() >= 0);
    EnableItem(IDC_REMOVE_COLUMN, displayed >= 0);
    EnableItem(IDC_MOVE_COLUMN_UP, displayed > 0);
    EnableItem(IDC_MOVE_COLUMN_DOWN, displayed >= 0 && displayed + 1 < Displayed().Count());
}

void CColumnsDlg::MoveSelectedBy(int step) {
    const int selected = Displayed().CurrentSelection();
    if (selected < 0 || selected + step < 0 || selected + step >= Displayed().Count())
        return;
    MoveDisplayedItem(selected, step < 0 ? selected + step : selected + step + 1);
}

void CColumnsDlg::MoveDisplayedItem(int from, int before) {
    const ui::ListBox displayed = Displayed();
    const int count = displayed.Count();
    if (from < 0 || from >= count || before < 0)
        return;
    before = std::min(before, count);
    if (before == from || before == from + 1)
        return;
    const uint32_t code = ItemCode(displayed, from);
    displayed.DeleteString(from);
    displayed.SetCurrentSelection(PutItem(displayed, code, before > from ? before - 1 : before));
    UpdateButtons();
}

LRESULT CColumnsDlg::OnDragList(const DRAGLISTINFO& info) {
    const ui::ListBox displayed = Displayed();
    switch (info.uNotification) {
    case DL_BEGINDRAG:
        m_dragFrom = LBItemFromPt(displayed, info.ptCursor, FALSE);
        return m_dragFrom >= 0;
    case DL_DRAGGING: {
        const int over = LBItemFromPt(displayed, info.ptCursor, TRUE);
        DrawInsert(m_hwnd, displayed, over);
        return over >= 0 ? DL_MOVECURSOR : DL_STOPCURSOR;
    }
    case DL_DROPPED: {
        DrawInsert(m_hwnd, displayed, -1);
        int over = LBItemFromPt(displayed, info.ptCursor, FALSE);
        // Dropped below the last item: to the end.
        if (over < 0) {
            POINT client = info.ptCursor;
            ScreenToClient(displayed, &client);
            RECT area{};
            GetClientRect(displayed, &area);
            if (PtInRect(&area, client))
                over = displayed.Count();
        }
        if (m_dragFrom >= 0 && over >= 0)
            MoveDisplayedItem(m_dragFrom, over);
        m_dragFrom = -1;
        return 0;
    }
    case DL_CANCELDRAG:
        DrawInsert(m_hwnd, displayed, -1);
        m_dragFrom = -1;
        return 0;
    default:
        return 0;
    }
}

void CColumnsDlg::DrawImageButton(const DRAWITEMSTRUCT& item) {
    const bool pushed = (item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    RECT frame = item.rcItem;
    DrawFrameControl(item.hDC, &frame, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
    HBITMAP image = item.CtlID == IDC_ADD_COLUMN ? m_addImage.Get() : m_removeImage.Get();
    BITMAP size{};
    if (image && GetObjectA(image, sizeof size, &size)) {
        const int offset = pushed ? 1 : 0;
        const int x = (item.rcItem.left + item.rcItem.right - size.bmWidth) / 2 + offset;
        const int y = (item.rcItem.top + item.rcItem.bottom - size.bmHeight) / 2 + offset;
        DrawStateA(item.hDC, nullptr, nullptr, reinterpret_cast<LPARAM>(image), 0, x, y,
                   size.bmWidth, size.bmHeight, DST_BITMAP | (disabled ? DSS_DISABLED : 0));
    }
    if (item.itemState & ODS_FOCUS) {
        RECT focus = item.rcItem;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(item.hDC, &focus);
    }
}

bool CColumnsDlg::OnCommand(UINT id, UINT code, HWND control) {
    switch (id) {
    case IDC_ADD_COLUMN:
        if (code == BN_CLICKED)
            AddColumn();
        return true;
    case IDC_REMOVE_COLUMN:
        if (code == BN_CLICKED)
            RemoveColumn();
        return true;
    case IDC_MOVE_COLUMN_UP:
    case IDC_MOVE_COLUMN_DOWN:
        if (code == BN_CLICKED)
            MoveSelectedBy(id == IDC_MOVE_COLUMN_UP ? -1 : 1);
        return true;
    case ID_HELP:
        ui::ShowMessage(m_hwnd, base::LoadText(IDS_COLUMNS_HELP), MB_OK | MB_ICONINFORMATION);
        return true;
    case IDC_AVAILABLE_COLUMNS:
    case IDC_DISPLAYED_COLUMNS:
        if (code == LBN_SELCHANGE)
            UpdateButtons();
        else if (code == LBN_DBLCLK && id == IDC_AVAILABLE_COLUMNS)
            AddColumn();
        else if (code == LBN_DBLCLK)
            RemoveColumn();
        return true;
    default:
        return Dialog::OnCommand(id, code, control);
    }
}

bool CColumnsDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == DragListMessage() && wParam == IDC_DISPLAYED_COLUMNS) {
        result = OnDragList(*reinterpret_cast<const DRAGLISTINFO*>(lParam));
        return true;
    }
    if (message == WM_DRAWITEM && (wParam == IDC_ADD_COLUMN || wParam == IDC_REMOVE_COLUMN)) {
        DrawImageButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        result = TRUE;
        return true;
    }
    return Dialog::OnMessage(message, wParam, lParam, result);
}

} // namespace monitor
