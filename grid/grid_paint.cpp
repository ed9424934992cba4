// Painting of the visible cells, double-buffered.
#include "grid/grid_view.h"

#include <algorithm>

namespace {

constexpr COLORREF kGridLineColor = RGB(192, 192, 192);

void FillSolid(HDC dc, const RECT& rect, COLORREF color) {
    ui::UniqueBrush brush(CreateSolidBrush(color));
    FillRect(dc, &rect, brush.Get());
}

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
    RestoreDC(dc, saved);
}

void CGridView::PaintGridLines(HDC dc, const RECT& rect) {
    FillSolid(dc, {rect.right - 1, rect.top, rect.right, rect.bottom}, kGridLineColor);
    FillSolid(dc, {rect.left, rect.bottom - 1, rect.right, rect.bottom}, kGridLineColor);
}

void CGridView::PaintTo(HDC dc, const RECT& client) {
    FillSolid(dc, client, GetSysColor(COLOR_APPWORKSPACE));
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

void CGridView::OnPaint() {
    PAINTSTRUCT paint{};
    const HDC windowDc = BeginPaint(m_hwnd, &paint);
    RECT client{};
    GetClientRect(m_hwnd, &client);
    if (client.right > 0 && client.bottom > 0) {
        ui::UniqueDc memory(CreateCompatibleDC(windowDc));
        ui::UniqueBitmap bitmap(CreateCompatibleBitmap(windowDc, client.right, client.bottom));
        if (memory && bitmap) {
            ui::SelectObjectScope select(memory.Get(), bitmap.Get());
            PaintTo(memory.Get(), client);
            BitBlt(windowDc, 0, 0, client.right, client.bottom, memory.Get(), 0, 0, SRCCOPY);
        } else {
            PaintTo(windowDc, client);
        }
    }
    EndPaint(m_hwnd, &paint);
}
