// Painting of the visible cells, double-buffered.
#include "base/handles.h"
#include "grid/grid_gdi.h"
#include "grid/grid_view.h"

#include <algorithm>

namespace {

constexpr COLORREF kGridLineColor = RGB(192, 192, 192);

} // namespace

void CGridView::PaintCell(HDC dc, const RECT& rect, int row, int col, int scale, bool forPrint) {
    if (rect.right <= rect.left || rect.bottom <= rect.top)
        return;
    const CGridStyle style = ComposeStyle(row, col);
    const bool dataRow = row > 0;
    const bool current = dataRow && row == m_currentRow;
    CGridCellPaint cell{dc,
                        rect,
                        row,
                        col,
                        style,
                        !forPrint && dataRow && (current || m_rows[row].selected),
                        !forPrint && current && col == m_currentCol && GetFocus() == m_hwnd,
                        scale};
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
    ControlOf(style).Draw(cell);
    if (row == 0 && col == m_sortMarkCol)
        PaintSortMark(dc, rect);
    RestoreDC(dc, saved);
}

void CGridView::SetSortMark(int col, bool ascending) {
    if (col == m_sortMarkCol && ascending == m_sortMarkAscending)
        return;
    m_sortMarkCol = col;
    m_sortMarkAscending = ascending;
    InvalidateCells();
}

// A small filled triangle at the right end of the heading, over whatever text reaches there.
void CGridView::PaintSortMark(HDC dc, const RECT& rect) const {
    const int size = std::max<int>((rect.bottom - rect.top) / 3, 3);
    const int right = rect.right - size;
    const int middle = (rect.top + rect.bottom) / 2;
    const int tip = m_sortMarkAscending ? middle - size / 2 : middle + size / 2;
    const int base = m_sortMarkAscending ? middle + size / 2 : middle - size / 2;
    grid_gdi::FillSolid(dc, {right - 2 * size - 2, rect.top + 1, rect.right - 1, rect.bottom - 1},
                        GetSysColor(COLOR_BTNFACE));
    const POINT points[] = {{right - 2 * size, base}, {right, base}, {right - size, tip}};
    base::UniqueBrush brush(CreateSolidBrush(GetSysColor(COLOR_BTNTEXT)));
    base::SelectObjectScope selectBrush(dc, brush.Get());
    base::SelectObjectScope selectPen(dc, GetStockObject(NULL_PEN));
    Polygon(dc, points, 3);
}

void CGridView::PaintGridLines(HDC dc, const RECT& rect) {
    grid_gdi::FillSolid(dc, {rect.right - 1, rect.top, rect.right, rect.bottom}, kGridLineColor);
    grid_gdi::FillSolid(dc, {rect.left, rect.bottom - 1, rect.right, rect.bottom}, kGridLineColor);
}

void CGridView::PaintTo(HDC dc, const RECT& client) {
    grid_gdi::FillSolid(dc, client, GetSysColor(COLOR_APPWORKSPACE));
    const int saved = SaveDC(dc);
    SelectObject(dc, m_zoomFont.Get());
    SetBkMode(dc, TRANSPARENT);
    const int rowHeight = GetRowHeight();
    const int scale = m_zoom * 10;
    const std::vector<ColumnSpan> columns = VisibleColumns(client.right);
    const int lastRow =
        std::min(GetRowCount(), m_topRow + static_cast<int>(client.bottom - rowHeight) / rowHeight);
    auto paintRow = [&](int row, int top, bool frozenColumn) {
        for (const ColumnSpan& span : columns) {
            if ((span.col == 0) != frozenColumn)
                continue;
            const RECT line{span.left, top, span.right, top + rowHeight};
            PaintCell(dc, {line.left, line.top, line.right - 1, line.bottom - 1}, row, span.col,
                      scale, false);
            PaintGridLines(dc, line);
        }
    };
    for (bool frozenColumn : {false, true}) {
        const int clip = SaveDC(dc);
        if (!frozenColumn)
            IntersectClipRect(dc, FrozenWidth(), 0, client.right, client.bottom);
        paintRow(0, 0, frozenColumn);
        for (int row = m_topRow; row <= lastRow; ++row)
            paintRow(row, rowHeight * (1 + row - m_topRow), frozenColumn);
        RestoreDC(dc, clip);
    }
    RestoreDC(dc, saved);
}

bool CGridView::OnPaint() {
    grid_gdi::PaintBuffered(m_hwnd, [this](HDC dc, const RECT& client) { PaintTo(dc, client); });
    return true;
}
