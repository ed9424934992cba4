#include "monitor/columns_dlg.h"

#include "monitor/columns.h"
#include "monitor/resource_text.h"
#include "res/resource.h"

#include <algorithm>

namespace monitor {

namespace {

constexpr char kOnlyOnFullServers[] = " (AX Only)";

UINT DragListMessage() {
    static const UINT message = RegisterWindowMessageA("commctrl_DragListMsg");
    return message;
}

int SelectedIndex(HWND list) {
    return static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
}
int ItemCount(HWND list) {
    return static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
}
uint32_t ItemCode(HWND list, int index) {
    return static_cast<uint32_t>(SendMessageA(list, LB_GETITEMDATA, index, 0));
}
// Adds (or, with `at` >= 0, inserts) an item carrying its code; returns its index.
int PutItem(HWND list, uint32_t code, int at = -1) {
    const std::string text = CColumnsDlg::ColumnText(code);
    const UINT message = at < 0 ? LB_ADDSTRING : LB_INSERTSTRING;
    const int index = static_cast<int>(
        SendMessageA(list, message, at < 0 ? 0 : at, reinterpret_cast<LPARAM>(text.c_str())));
    if (index >= 0)
        SendMessageA(list, LB_SETITEMDATA, index, code);
    return index;
}

// Moves the selected item of `from` to the end of `to` (`append`) or to its sorted place, and
// selects it there. False when `from` has no selection.
bool MoveSelected(HWND from, HWND to, bool append) {
    const int selected = SelectedIndex(from);
    if (selected < 0)
        return false;
    const uint32_t code = ItemCode(from, selected);
    SendMessageA(from, LB_DELETESTRING, selected, 0);
    const int index = PutItem(to, code, append ? ItemCount(to) : -1);
    SendMessageA(to, LB_SETCURSEL, index, 0);
    return true;
}

} // namespace

CColumnsDlg::CColumnsDlg(ColumnCodes& order, uint32_t sizeUnit, HWND parent)
    : Dialog(IDD_COLUMNS), m_order(order), m_sizeUnit(static_cast<int>(sizeUnit)),
      m_parent(parent) {}

std::string CColumnsDlg::ColumnText(uint32_t type) {
    if (type < 1 || type > kColumnTypeCount)
        return {};
    std::string text = LoadResourceText(GetColumnHeadingId(type));
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

    HWND displayed = Item(IDC_DISPLAYED_COLUMNS);
    HWND available = Item(IDC_AVAILABLE_COLUMNS);
    MakeDragList(displayed);
    bool shown = true;
    for (uint32_t code : m_order) {
        if (code == kColNone) {
            shown = false;
            continue;
        }
        PutItem(shown ? displayed : available, code, shown ? ItemCount(displayed) : -1);
    }
    if (ItemCount(available) > 0)
        SendMessageA(available, LB_SETCURSEL, 0, 0);
    EnableWindow(Item(IDC_ADD_COLUMN), ItemCount(available) > 0);
    EnableWindow(Item(IDC_REMOVE_COLUMN), FALSE);
    EnableWindow(Item(IDOK), ItemCount(displayed) > 0);
    return Dialog::OnInitDialog();
}

void CColumnsDlg::DoDataExchange(ui::DataExchange& exchange) {
    exchange.Radio(IDC_SPACE_UNIT_BYTES, m_sizeUnit);
}

void CColumnsDlg::OnOK() {
    if (!UpdateData(true))
        return;
    HWND displayed = Item(IDC_DISPLAYED_COLUMNS);
    HWND available = Item(IDC_AVAILABLE_COLUMNS);
    // At most twelve codes exist, so the shown ones, the 0 and the others always fit.
    ColumnCodes order{};
    size_t next = 0;
    for (int i = 0; i < ItemCount(displayed) && next < kColumnOrderSize; ++i)
        order[next++] = ItemCode(displayed, i);
    if (next < kColumnOrderSize)
        order[next++] = kColNone;
    for (int i = 0; i < ItemCount(available) && next < kColumnOrderSize; ++i)
        order[next++] = ItemCode(available, i);
    m_order = order;
    End(IDOK);
}

void CColumnsDlg::AddColumn() {
    if (!MoveSelected(Item(IDC_AVAILABLE_COLUMNS), Item(IDC_DISPLAYED_COLUMNS), true))
        return;
    EnableWindow(Item(IDC_ADD_COLUMN), FALSE);
    EnableWindow(Item(IDC_REMOVE_COLUMN), TRUE);
    EnableWindow(Item(IDOK), TRUE);
}

void CColumnsDlg::RemoveColumn() {
    HWND displayed = Item(IDC_DISPLAYED_COLUMNS);
    if (!MoveSelected(displayed, Item(IDC_AVAILABLE_COLUMNS), false))
        return;
    EnableWindow(Item(IDC_ADD_COLUMN), TRUE);
    EnableWindow(Item(IDC_REMOVE_COLUMN), FALSE);
    if (ItemCount(displayed) == 0)
        EnableWindow(Item(IDOK), FALSE);
}

void CColumnsDlg::UpdateButtons() {
    EnableWindow(Item(IDC_ADD_COLUMN), SelectedIndex(Item(IDC_AVAILABLE_COLUMNS)) >= 0);
    EnableWindow(Item(IDC_REMOVE_COLUMN), SelectedIndex(Item(IDC_DISPLAYED_COLUMNS)) >= 0);
}

void CColumnsDlg::MoveDisplayedItem(int from, int before) {
    HWND displayed = Item(IDC_DISPLAYED_COLUMNS);
    const int count = ItemCount(displayed);
    if (from < 0 || from >= count || before < 0)
        return;
    before = std::min(before, count);
    if (before == from || before == from + 1)
        return;
    const uint32_t code = ItemCode(displayed, from);
    SendMessageA(displayed, LB_DELETESTRING, from, 0);
    const int index = PutItem(displayed, code, before > from ? before - 1 : before);
    SendMessageA(displayed, LB_SETCURSEL, index, 0);
    UpdateButtons();
}

LRESULT CColumnsDlg::OnDragList(const DRAGLISTINFO& info) {
    HWND displayed = Item(IDC_DISPLAYED_COLUMNS);
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
                over = ItemCount(displayed);
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
    case IDC_AVAILABLE_COLUMNS:
    case IDC_DISPLAYED_COLUMNS:
        if (code == LBN_SELCHANGE)
            UpdateButtons();
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
