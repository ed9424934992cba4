// Printing: the page breakdown of the grid for a page size, and the drawing of one page.
#include "grid/grid_dialogs.h"
#include "grid/grid_pages.h"
#include "grid/grid_preview.h"
#include "grid/grid_view.h"
#include "ui/message_box.h"

#include <commdlg.h>

#include <algorithm>

namespace {

constexpr int kScreenDpi = 96;
constexpr int kRowPadding = 4;

struct PrintGeometry {
    int scale;  // device pixels per 1000 screen pixels
    int margin; // device pixels on every side
    int rowHeight;
    RECT body; // inside the margins
};

PrintGeometry GeometryOf(SIZE pageSize, int dpi, const LOGFONTA& font) {
    PrintGeometry geometry{};
    geometry.scale = MulDiv(dpi, 1000, kScreenDpi);
    geometry.margin = dpi / 2;
    base::UniqueFont screenFont(CreateFontIndirectA(&font));
    base::WindowDc screen(nullptr);
    base::SelectObjectScope select(screen.Get(), screenFont.Get());
    TEXTMETRICA metrics{};
    GetTextMetricsA(screen.Get(), &metrics);
    geometry.rowHeight = MulDiv(metrics.tmHeight + kRowPadding, geometry.scale, 1000);
    geometry.body = {geometry.margin, geometry.margin, pageSize.cx - geometry.margin,
                     pageSize.cy - geometry.margin};
    return geometry;
}

// The title line and a gap of half a line above the rows.
int TitleHeight(const PrintGeometry& geometry) {
    return geometry.rowHeight * 3 / 2;
}

// The breakdown leaves room for the title and heading rows on top and the page number line
// below.
CGridPageBreakdown BreakdownOf(const PrintGeometry& geometry, int rowCount,
                               const std::vector<CGridColumnExtent>& columns, int keyCol) {
    const int bodyHeight =
        geometry.body.bottom - geometry.body.top - TitleHeight(geometry) - 2 * geometry.rowHeight;
    return ComputePageBreakdown(rowCount, geometry.rowHeight, bodyHeight, columns,
                                geometry.body.right - geometry.body.left, keyCol);
}

std::string LocalDateAndTime() {
    char date[64] = {};
    char time[64] = {};
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, sizeof date);
    GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, nullptr, nullptr, time, sizeof time);
    return std::string(date) + " " + time;
}

void DrawLine(HDC dc, const std::string& text, RECT rect, UINT format) {
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rect,
              format | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

} // namespace

std::vector<int> CGridView::PrintedColumns() const {
    std::vector<int> columns;
    for (int col = 0; col <= GetColCount(); ++col)
        if (GetColWidth(col) > 0)
            columns.push_back(col);
    return columns;
}

int CGridView::GetPrintPageCount(SIZE pageSize, int dpi) {
    const PrintGeometry geometry = GeometryOf(pageSize, dpi, m_font);
    std::vector<CGridColumnExtent> columns;
    for (int col : PrintedColumns())
        columns.push_back({col, MulDiv(GetColWidth(col), geometry.scale, 1000)});
    return BreakdownOf(geometry, GetRowCount(), columns, m_printKeyCol).PageCount();
}

std::string CGridView::GetPrintTitle() const {
    char title[256] = {};
    GetWindowTextA(GetAncestor(m_hwnd, GA_ROOT), title, sizeof title);
    return title;
}

void CGridView::PrintPage(HDC dc, SIZE pageSize, int dpi, int page) {
    const PrintGeometry geometry = GeometryOf(pageSize, dpi, m_font);
    std::vector<CGridColumnExtent> columns;
    for (int col : PrintedColumns())
        columns.push_back({col, MulDiv(GetColWidth(col), geometry.scale, 1000)});
    const CGridPageBreakdown pages = BreakdownOf(geometry, GetRowCount(), columns, m_printKeyCol);
    if (page < 0 || page >= pages.PageCount())
        return;

    LOGFONTA printFont = m_font;
    printFont.lfHeight = MulDiv(m_font.lfHeight, geometry.scale, 1000);
    printFont.lfWidth = MulDiv(m_font.lfWidth, geometry.scale, 1000);
    base::UniqueFont font(CreateFontIndirectA(&printFont));
    const int saved = SaveDC(dc);
    SelectObject(dc, font.Get());
    SetBkMode(dc, TRANSPARENT);

    const auto [firstRow, lastRow] = pages.RowsOfPage(page);
    std::vector<int> rows{0};
    for (int row = firstRow; row <= lastRow; ++row)
        rows.push_back(row);
    base::UniquePen pen(
        CreatePen(PS_SOLID, std::max(1, geometry.scale / 1000), RGB(128, 128, 128)));
    SelectObject(dc, pen.Get());
    SetTextColor(dc, RGB(0, 0, 0));
    const RECT titleLine{geometry.body.left, geometry.body.top, geometry.body.right,
                         geometry.body.top + geometry.rowHeight};
    const std::string date = LocalDateAndTime();
    DrawLine(dc, date, titleLine, DT_RIGHT | DT_VCENTER);
    SIZE dateSize{};
    GetTextExtentPoint32A(dc, date.c_str(), static_cast<int>(date.size()), &dateSize);
    DrawLine(dc, GetPrintTitle(),
             {titleLine.left, titleLine.top, titleLine.right - dateSize.cx - geometry.rowHeight,
              titleLine.bottom},
             DT_LEFT | DT_VCENTER);

    int top = geometry.body.top + TitleHeight(geometry);
    for (int row : rows) {
        int left = geometry.body.left;
        for (int col : pages.ColumnsOfPage(page)) {
            const int width = MulDiv(GetColWidth(col), geometry.scale, 1000);
            const RECT cell{left, top, std::min<int>(left + width, geometry.body.right),
                            top + geometry.rowHeight};
            PaintCell(dc, cell, row, col, geometry.scale, true);
            MoveToEx(dc, cell.left, cell.bottom, nullptr);
            LineTo(dc, cell.right, cell.bottom);
            LineTo(dc, cell.right, cell.top);
            left += width;
        }
        top += geometry.rowHeight;
    }

    const std::string number =
        "Page " + std::to_string(page + 1) + " of " + std::to_string(pages.PageCount());
    SetTextColor(dc, RGB(0, 0, 0));
    DrawLine(dc, number,
             {geometry.body.left, geometry.body.bottom - geometry.rowHeight, geometry.body.right,
              geometry.body.bottom},
             DT_CENTER | DT_BOTTOM);
    RestoreDC(dc, saved);
}

bool CGridView::PrintTo(HDC printerDc, const std::string& title) {
    const SIZE pageSize{GetDeviceCaps(printerDc, HORZRES), GetDeviceCaps(printerDc, VERTRES)};
    const int dpi = GetDeviceCaps(printerDc, LOGPIXELSY);
    const int pageCount = GetPrintPageCount(pageSize, dpi);
    DOCINFOA document{};
    document.cbSize = sizeof document;
    document.lpszDocName = title.c_str();
    if (StartDocA(printerDc, &document) <= 0)
        return false;
    for (int page = 0; page < pageCount; ++page) {
        if (StartPage(printerDc) <= 0) {
            AbortDoc(printerDc);
            return false;
        }
        PrintPage(printerDc, pageSize, dpi, page);
        if (EndPage(printerDc) <= 0) {
            AbortDoc(printerDc);
            return false;
        }
    }
    return EndDoc(printerDc) > 0;
}

bool CGridView::Print() {
    PRINTDLGA request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = GetAncestor(m_hwnd, GA_ROOT);
    request.Flags = PD_RETURNDC | PD_NOSELECTION | PD_NOPAGENUMS | PD_USEDEVMODECOPIESANDCOLLATE;
    m_printer.Lend(request);
    const bool chosen = grid_dialogs::ShowPrintDialog(request) != FALSE;
    m_printer.Keep(request);
    if (!chosen) {
        if (grid_dialogs::LastError() == PDERR_NODEFAULTPRN)
            ui::ShowMessage(request.hwndOwner, "No printer is installed.");
        return false;
    }
    base::UniqueDc printer(request.hDC);
    m_printer.ApplyPageSetup(printer.Get());
    char title[128] = {};
    GetWindowTextA(request.hwndOwner, title, sizeof title);
    const bool printed = PrintTo(printer.Get(), title);
    if (!printed)
        ui::ShowMessage(request.hwndOwner, "The grid could not be printed.");
    return printed;
}

bool CGridView::PrintSetup() {
    PRINTDLGA request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = GetAncestor(m_hwnd, GA_ROOT);
    request.Flags = PD_PRINTSETUP;
    m_printer.Lend(request);
    const bool chosen = grid_dialogs::ShowPrintDialog(request) != FALSE;
    const DWORD failure = chosen ? 0 : grid_dialogs::LastError();
    m_printer.Keep(request);
    if (failure == PDERR_NODEFAULTPRN)
        ui::ShowMessage(request.hwndOwner, "No printer is installed.");
    return chosen;
}

void CGridView::ShowPrintPreview() {
    if (!m_preview)
        m_preview = std::make_unique<CGridPrintPreview>(*this);
    m_preview->Show();
}
