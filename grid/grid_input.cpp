// Mouse, keyboard and scroll bars of the grid window.
#include "grid/grid_view.h"

#include <algorithm>

namespace {

constexpr int kBorderGrip = 3;   // pixels either side of a heading border that start a resize
constexpr int kMinFitWidth = 20; // narrowest width a double click on a border gives

bool IsKeyDown(int key) {
    return (GetKeyState(key) & 0x8000) != 0;
}

SCROLLINFO ScrollInfo(UINT mask) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = mask;
    return info;
}

} // namespace

int CGridView::ScrollableWidth() const {
    int width = 0;
    for (int col = 1; col <= GetColCount(); ++col)
        width += ScreenColWidth(col);
    return width;
}

int CGridView::VisibleRowCount() const {
    if (!m_hwnd)
        return 0;
    const RECT client = ClientRect();
    return std::max(0, static_cast<int>(client.bottom - HeadingHeight()) / GetRowHeight());
}

std::vector<CGridView::ColumnSpan> CGridView::VisibleColumns(int clientWidth) const {
    std::vector<ColumnSpan> spans;
    const int frozen = FrozenWidth();
    spans.push_back({0, 0, frozen});
    int left = frozen - m_scrollX;
    for (int col = 1; col <= GetColCount() && left < clientWidth; ++col) {
        const int right = left + ScreenColWidth(col);
        if (right > frozen)
            spans.push_back({col, left, right});
        left = right;
    }
    return spans;
}

bool CGridView::HitTest(POINT point, int& row, int& col) const {
    if (!m_hwnd || point.x < 0 || point.y < 0)
        return false;
    const RECT client = ClientRect();
    if (point.y < HeadingHeight()) {
        row = 0;
    } else {
        row = m_topRow + (point.y - HeadingHeight()) / GetRowHeight();
        if (row > GetRowCount())
            return false;
    }
    for (const ColumnSpan& span : VisibleColumns(client.right)) {
        if (point.x >= std::max(span.left, span.col == 0 ? 0 : FrozenWidth()) &&
            point.x < span.right) {
            col = span.col;
            return true;
        }
    }
    return false;
}

int CGridView::HitColumnBorder(POINT point) const {
    if (!m_hwnd || point.y < 0 || point.y >= HeadingHeight())
        return -1;
    const RECT client = ClientRect();
    int found = -1;
    for (const ColumnSpan& span : VisibleColumns(client.right))
        if (std::abs(point.x - span.right) <= kBorderGrip && (span.col > 0 || span.right > 0))
            found = span.col; // the last one wins, so zero-width columns can be pulled open
    return found;
}

void CGridView::UpdateScrollBars() {
    if (!m_hwnd || m_lockUpdate)
        return;
    const RECT client = ClientRect();
    const int visible = std::max(1, VisibleRowCount());
    m_topRow = std::clamp(m_topRow, 1, std::max(1, GetRowCount() - visible + 1));
    SCROLLINFO vertical = ScrollInfo(SIF_ALL | SIF_DISABLENOSCROLL);
    vertical.nMin = 0;
    vertical.nMax = std::max(0, GetRowCount() - 1);
    vertical.nPage = static_cast<UINT>(visible);
    vertical.nPos = m_topRow - 1;
    SetScrollInfo(m_hwnd, SB_VERT, &vertical, TRUE);

    const int page = std::max(1, static_cast<int>(client.right) - FrozenWidth());
    m_scrollX = std::clamp(m_scrollX, 0, std::max(0, ScrollableWidth() - page));
    SCROLLINFO horizontal = ScrollInfo(SIF_ALL | SIF_DISABLENOSCROLL);
    horizontal.nMin = 0;
    horizontal.nMax = std::max(0, ScrollableWidth() - 1);
    horizontal.nPage = static_cast<UINT>(page);
    horizontal.nPos = m_scrollX;
    SetScrollInfo(m_hwnd, SB_HORZ, &horizontal, TRUE);
}

void CGridView::ScrollToRow(int row) {
    const int visible = std::max(1, VisibleRowCount());
    const int top = std::clamp(row, 1, std::max(1, GetRowCount() - visible + 1));
    if (top != m_topRow) {
        m_topRow = top;
        UpdateScrollBars();
        InvalidateCells();
    }
}

void CGridView::ScrollVertically(int request, int) {
    const int visible = std::max(1, VisibleRowCount());
    SCROLLINFO info = ScrollInfo(SIF_TRACKPOS);
    GetScrollInfo(m_hwnd, SB_VERT, &info);
    switch (request) {
    case SB_LINEUP:
        ScrollToRow(m_topRow - 1);
        break;
    case SB_LINEDOWN:
        ScrollToRow(m_topRow + 1);
        break;
    case SB_PAGEUP:
        ScrollToRow(m_topRow - visible);
        break;
    case SB_PAGEDOWN:
        ScrollToRow(m_topRow + visible);
        break;
    case SB_TOP:
        ScrollToRow(1);
        break;
    case SB_BOTTOM:
        ScrollToRow(GetRowCount());
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        ScrollToRow(info.nTrackPos + 1);
        break;
    default:
        break;
    }
}

void CGridView::ScrollHorizontally(int request, int) {
    const RECT client = ClientRect();
    const int page = std::max(1, static_cast<int>(client.right) - FrozenWidth());
    SCROLLINFO info = ScrollInfo(SIF_TRACKPOS);
    GetScrollInfo(m_hwnd, SB_HORZ, &info);
    int x = m_scrollX;
    switch (request) {
    case SB_LINELEFT:
        x -= GetAvgCharWidth() * 2;
        break;
    case SB_LINERIGHT:
        x += GetAvgCharWidth() * 2;
        break;
    case SB_PAGELEFT:
        x -= page;
        break;
    case SB_PAGERIGHT:
        x += page;
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        x = info.nTrackPos;
        break;
    default:
        break;
    }
    x = std::clamp(x, 0, std::max(0, ScrollableWidth() - page));
    if (x != m_scrollX) {
        m_scrollX = x;
        UpdateScrollBars();
        InvalidateCells();
    }
}

void CGridView::OnLeftButtonDown(UINT flags, POINT point) {
    SetFocus(m_hwnd);
    const int border = HitColumnBorder(point);
    if (border >= 0) {
        m_trackCol = border;
        m_trackStartX = point.x;
        m_trackStartWidth = GetColWidth(border);
        SetCapture(m_hwnd);
        return;
    }
    int row = 0;
    int col = 0;
    if (!HitTest(point, row, col) || OnCellClick(row, col, flags, point) || row == 0)
        return;
    if (flags & MK_SHIFT) {
        SelectRange(m_anchorRow > 0 ? m_anchorRow : row, row);
    } else if (flags & MK_CONTROL) {
        SelectRow(row, !IsRowSelected(row));
        m_anchorRow = row;
    } else {
        SelectRange(row, row);
        m_anchorRow = row;
    }
    SetCurrentCell(row, col);
}

void CGridView::OnMouseMove(UINT, POINT point) {
    if (m_trackCol < 0) {
        FollowTip(point);
        return;
    }
    const int delta = MulDiv(point.x - m_trackStartX, 100, m_zoom);
    m_colWidths[m_trackCol] = std::max(0, m_trackStartWidth + delta);
    UpdateScrollBars();
    InvalidateCells();
}

void CGridView::OnLeftButtonUp(POINT point) {
    if (m_trackCol < 0)
        return;
    OnMouseMove(0, point);
    const int col = m_trackCol;
    m_trackCol = -1;
    ReleaseCapture();
    if (!OnColumnResized(col, m_colWidths[col]))
        m_colWidths[col] = m_trackStartWidth;
    UpdateScrollBars();
    InvalidateCells();
}

void CGridView::OnLeftDoubleClick(UINT flags, POINT point) {
    const int border = HitColumnBorder(point);
    int row = 0;
    int col = 0;
    if (border < 0 && HitTest(point, row, col)) {
        OnCellDoubleClick(row, col, flags, point);
        return;
    }
    if (border < 0)
        return;
    if (OnCellDoubleClick(0, border, flags, point))
        return;
    const int previous = GetColWidth(border);
    const int fitted = FitColumnWidth(border);
    if (OnColumnResized(border, fitted))
        SetColWidth(border, fitted);
    else
        SetColWidth(border, previous);
}

int CGridView::FitColumnWidth(int col) const {
    base::UniqueFont font(CreateFontIndirectA(&m_font));
    base::WindowDc screen(nullptr);
    base::SelectObjectScope select(screen.Get(), font.Get());
    int widest = 0;
    for (int row = 0; row <= GetRowCount(); ++row) {
        const std::string text = GetDisplayText(row, col);
        SIZE size{};
        GetTextExtentPoint32A(screen.Get(), text.c_str(), static_cast<int>(text.size()), &size);
        widest = std::max<int>(widest, size.cx);
    }
    return std::max(kMinFitWidth, widest + 12);
}

void CGridView::MoveCurrentBy(int rows, int cols, bool extend) {
    if (GetRowCount() == 0)
        return;
    int row = m_currentRow;
    int col = m_currentCol;
    if (row < 1) {
        row = 1;
        col = std::min(1, GetColCount());
    } else {
        row = std::clamp(row + rows, 1, GetRowCount());
        col = std::clamp(col + cols, std::min(1, GetColCount()), GetColCount());
    }
    if (extend) {
        SelectRange(m_anchorRow > 0 ? m_anchorRow : row, row);
    } else {
        SelectRange(row, row);
        m_anchorRow = row;
    }
    SetCurrentCell(row, col);
}

void CGridView::MoveByKey(UINT key) {
    const bool control = IsKeyDown(VK_CONTROL);
    const bool shift = IsKeyDown(VK_SHIFT);
    const int page = std::max(1, VisibleRowCount() - 1);
    switch (key) {
    case VK_UP:
        MoveCurrentBy(-1, 0, shift);
        break;
    case VK_DOWN:
        MoveCurrentBy(1, 0, shift);
        break;
    case VK_LEFT:
        MoveCurrentBy(0, -1, shift);
        break;
    case VK_RIGHT:
        MoveCurrentBy(0, 1, shift);
        break;
    case VK_PRIOR:
        MoveCurrentBy(-page, 0, shift);
        break;
    case VK_NEXT:
        MoveCurrentBy(page, 0, shift);
        break;
    case VK_HOME:
        MoveCurrentBy(control ? -GetRowCount() : 0, -GetColCount(), shift);
        break;
    case VK_END:
        MoveCurrentBy(control ? GetRowCount() : 0, GetColCount(), shift);
        break;
    case 'A':
        if (control)
            SelectRange(1, GetRowCount());
        break;
    case 'C':
        if (control)
            Copy();
        break;
    case 'F':
        if (control)
            ShowFindDialog();
        break;
    default:
        break;
    }
}
