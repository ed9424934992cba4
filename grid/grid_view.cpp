#include "grid/grid_view.h"

#include "grid/grid_find.h"
#include "grid/grid_preview.h"
#include "grid/grid_progress.h"
#include "grid/grid_static.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>

namespace {

constexpr int kRowPadding = 4; // pixels added to the font height for a row
constexpr size_t kMinLooksLimit = 256;

LOGFONTA DefaultFont() {
    LOGFONTA font{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    return font;
}

const CGridStyle& EmptyStyle() {
    static const CGridStyle empty;
    return empty;
}

} // namespace

CGridView::CGridView() {
    m_font = DefaultFont();
    m_standard.SetControl(GRID_IDS_CTRL_STATIC)
        .SetHorzAlign(GridAlign::Left)
        .SetTextColor(GetSysColor(COLOR_WINDOWTEXT))
        .SetInterior(GetSysColor(COLOR_WINDOW))
        .SetFrame(GridFrame::None);
    m_headingStyle.SetInterior(GetSysColor(COLOR_BTNFACE))
        .SetTextColor(GetSysColor(COLOR_BTNTEXT))
        .SetHorzAlign(GridAlign::Center)
        .SetFrame(GridFrame::Raised)
        .SetControl(GRID_IDS_CTRL_STATIC);
    RegisterControl(GRID_IDS_CTRL_STATIC, std::make_unique<CGridStatic>(*this));
    RegisterControl(GRID_IDS_CTRL_PROGRESS, std::make_unique<CGridProgressCtrl>(*this));
    RecreateZoomFont();
}

CGridView::~CGridView() {
    m_preview.reset();
    m_find.reset();
    if (IsWindow())
        Destroy();
}

// --- Window ---------------------------------------------------------------------------------

bool CGridView::Create(HWND parent, const RECT& rect, int id, DWORD style) {
    return WindowBase::Create(nullptr, "", style, 0, rect, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
}

void CGridView::OnSize(UINT, int, int) {
    UpdateScrollBars();
}

bool CGridView::OnKeyDown(UINT key, LPARAM) {
    MoveByKey(key);
    return true;
}

bool CGridView::OnCommand(UINT id, UINT, HWND) {
    if (id != GRID_ID_EDIT_COPY)
        return false;
    Copy();
    return true;
}

bool CGridView::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    result = 0;
    switch (message) {
    case WM_VSCROLL:
        ScrollVertically(LOWORD(wParam), 0);
        return true;
    case WM_HSCROLL:
        ScrollHorizontally(LOWORD(wParam), 0);
        return true;
    case WM_MOUSEWHEEL:
        ScrollToRow(m_topRow - GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * 3);
        return true;
    case WM_LBUTTONDOWN:
        OnLeftButtonDown(static_cast<UINT>(wParam), point);
        return true;
    case WM_MOUSEMOVE:
        OnMouseMove(static_cast<UINT>(wParam), point);
        return true;
    case WM_LBUTTONUP:
        OnLeftButtonUp(point);
        return true;
    case WM_LBUTTONDBLCLK:
        OnLeftDoubleClick(static_cast<UINT>(wParam), point);
        return true;
    case WM_RBUTTONUP: {
        int row = 0;
        int col = 0;
        return HitTest(point, row, col) &&
               OnCellRightClick(row, col, static_cast<UINT>(wParam), point);
    }
    case WM_CAPTURECHANGED:
        m_trackCol = -1;
        return true;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            POINT cursor{};
            GetCursorPos(&cursor);
            ScreenToClient(m_hwnd, &cursor);
            if (m_trackCol >= 0 || HitColumnBorder(cursor) >= 0) {
                SetCursor(LoadCursorA(nullptr, IDC_SIZEWE));
                result = TRUE;
                return true;
            }
        }
        return false;
    case WM_GETDLGCODE:
        result = DLGC_WANTARROWS | DLGC_WANTCHARS;
        return true;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateCells();
        return true;
    default:
        if (m_find && message == m_find->MessageId()) {
            OnFindMessage(lParam);
            return true;
        }
        return WindowBase::OnMessage(message, wParam, lParam, result);
    }
}

void CGridView::InvalidateCells() {
    if (m_hwnd && !m_lockUpdate)
        InvalidateRect(m_hwnd, nullptr, FALSE);
}

void CGridView::InvalidateRow(int row) {
    if (!m_hwnd || m_lockUpdate)
        return;
    if (row == 0 || (row >= m_topRow && row <= m_topRow + VisibleRowCount() + 1))
        InvalidateCells();
}

void CGridView::Redraw() {
    if (m_hwnd && !m_lockUpdate) {
        UpdateScrollBars();
        InvalidateRect(m_hwnd, nullptr, TRUE);
    }
}

// --- Table ------------------------------------------------------------------------------------

bool CGridView::SetReadOnly(bool readOnly) {
    return std::exchange(m_readOnly, readOnly);
}

bool CGridView::LockUpdate(bool lock) {
    const bool previous = std::exchange(m_lockUpdate, lock);
    if (previous && !lock)
        UpdateScrollBars();
    return previous;
}

int CGridView::GetRowCount() const {
    return static_cast<int>(m_rows.size()) - 1;
}

int CGridView::GetColCount() const {
    return static_cast<int>(m_colWidths.size()) - 1;
}

bool CGridView::SetRowCount(int rows) {
    if (!CanChange() || rows < 0)
        return false;
    m_rows.resize(rows + 1, Row{CGridRow(static_cast<int>(m_colWidths.size()))});
    if (m_currentRow > rows)
        ClearCurrentCell();
    m_anchorRow = std::min(m_anchorRow, rows);
    m_topRow = std::clamp(m_topRow, 1, std::max(1, rows));
    Redraw();
    return true;
}

bool CGridView::SetColCount(int cols) {
    if (!CanChange() || cols < 0)
        return false;
    const int defaultWidth = GetAvgCharWidth() * 10;
    m_colWidths.resize(cols + 1, defaultWidth);
    m_colStyles.resize(cols + 1);
    for (Row& row : m_rows)
        row.cells.Resize(cols + 1);
    if (m_currentCol > cols)
        m_currentCol = cols;
    m_scrollX = std::min(m_scrollX, ScrollableWidth());
    Redraw();
    return true;
}

bool CGridView::RemoveRows(int fromRow, int toRow) {
    if (!CanChange() || fromRow < 1 || toRow > GetRowCount() || fromRow > toRow)
        return false;
    m_rows.erase(m_rows.begin() + fromRow, m_rows.begin() + toRow + 1);
    if (m_currentRow >= fromRow) {
        if (m_currentRow <= toRow)
            ClearCurrentCell();
        else
            m_currentRow -= toRow - fromRow + 1;
    }
    m_anchorRow = std::min(m_anchorRow, GetRowCount());
    m_topRow = std::clamp(m_topRow, 1, std::max(1, GetRowCount()));
    Redraw();
    return true;
}

bool CGridView::SetColWidth(int col, int width) {
    if (col < 0 || col > GetColCount() || width < 0)
        return false;
    m_colWidths[col] = width;
    Redraw();
    return true;
}

int CGridView::GetColWidth(int col) const {
    return col >= 0 && col <= GetColCount() ? m_colWidths[col] : 0;
}

int CGridView::GetAvgCharWidth() const {
    base::UniqueFont font(CreateFontIndirectA(&m_font));
    base::WindowDc screen(nullptr);
    base::SelectObjectScope select(screen.Get(), font.Get());
    TEXTMETRICA metrics{};
    GetTextMetricsA(screen.Get(), &metrics);
    return std::max<int>(1, metrics.tmAveCharWidth);
}

int CGridView::GetRowHeight() const {
    return m_rowHeight;
}

void CGridView::RecreateZoomFont() {
    LOGFONTA zoomed = m_font;
    zoomed.lfHeight = MulDiv(m_font.lfHeight, m_zoom, 100);
    zoomed.lfWidth = MulDiv(m_font.lfWidth, m_zoom, 100);
    m_zoomFont.Reset(CreateFontIndirectA(&zoomed));
    base::WindowDc screen(nullptr);
    base::SelectObjectScope select(screen.Get(), m_zoomFont.Get());
    TEXTMETRICA metrics{};
    GetTextMetricsA(screen.Get(), &metrics);
    m_rowHeight = metrics.tmHeight + ZoomPixels(kRowPadding);
}

bool CGridView::IsCell(int row, int col) const {
    return row >= 0 && row <= GetRowCount() && col >= 0 && col <= GetColCount();
}

// --- Styles -----------------------------------------------------------------------------------

uint32_t CGridView::InternLook(const CGridStyle& look) {
    if (m_looks.Count() >= m_looksLimit) {
        DropUnusedLooks();
        m_looksLimit = std::max(kMinLooksLimit, 2 * m_looks.Count());
    }
    return m_looks.Intern(look);
}

void CGridView::DropUnusedLooks() {
    constexpr uint32_t kUnused = UINT32_MAX;
    std::vector<uint32_t> renumbered(m_looks.Count(), kUnused);
    CGridLooks kept;
    for (Row& row : m_rows)
        for (int col = 0; col < row.cells.CellCount(); ++col) {
            uint32_t& number = renumbered[row.cells.GetLook(col)];
            if (number == kUnused)
                number = kept.Intern(m_looks.Get(row.cells.GetLook(col)));
            row.cells.SetLook(col, number);
        }
    m_looks = std::move(kept);
}

bool CGridView::SetStyle(int row, int col, CGridStyle style, StyleMode mode) {
    if (!CanChange() || !IsCell(row, col))
        return false;
    if (mode == StyleMode::Override) {
        CGridStyle changed = GetCellStyle(row, col);
        changed.ChangeStyle(style);
        style = std::move(changed);
    }
    CGridRow& cells = m_rows[row].cells;
    if (style.HasValue())
        cells.SetValue(col, style.GetValue());
    else
        cells.ClearValue(col);
    if (style.HasItemDataPtr())
        cells.SetItem(col, style.GetItemDataPtr());
    else
        cells.ClearItem(col);
    style.ClearValue();
    style.ClearItemDataPtr();
    cells.SetLook(col, InternLook(style));
    InvalidateRow(row);
    return true;
}

bool CGridView::SetValue(int row, int col, const std::string& value) {
    if (!CanChange() || !IsCell(row, col))
        return false;
    m_rows[row].cells.SetValue(col, value);
    InvalidateRow(row);
    return true;
}

CGridStyle CGridView::GetCellStyle(int row, int col) const {
    if (!IsCell(row, col))
        return {};
    const CGridRow& cells = m_rows[row].cells;
    CGridStyle style = m_looks.Get(cells.GetLook(col));
    if (cells.HasValue(col))
        style.SetValue(std::string(cells.GetValue(col)));
    if (cells.HasItem(col))
        style.SetItemDataPtr(cells.GetItem(col));
    return style;
}

CGridStyle CGridView::ComposeStyle(int row, int col) const {
    CGridStyle style = GetCellStyle(row, col);
    if (row == 0 || col == 0)
        style.Inherit(m_headingStyle);
    else
        style.Inherit(GetColumnStyle(col));
    style.Inherit(m_standard);
    return style;
}

std::string CGridView::GetValue(int row, int col) const {
    return ComposeStyle(row, col).GetValue();
}

std::string CGridView::GetDisplayText(int row, int col) const {
    const CGridStyle style = ComposeStyle(row, col);
    return ControlOf(style).GetDisplayText(style);
}

bool CGridView::SetColumnStyle(int col, const CGridStyle& style) {
    if (!CanChange() || col < 1 || col > GetColCount())
        return false;
    m_colStyles[col].ChangeStyle(style);
    InvalidateCells();
    return true;
}

const CGridStyle& CGridView::GetColumnStyle(int col) const {
    return col >= 0 && col <= GetColCount() ? m_colStyles[col] : EmptyStyle();
}

void CGridView::SetStandardFont(const LOGFONTA& font) {
    m_font = font;
    RecreateZoomFont();
    Redraw();
}

bool CGridView::SetItemDataPtr(int row, void* item) {
    if (!CanChange() || row < 0 || row > GetRowCount())
        return false;
    m_rows[row].cells.SetItem(0, item);
    return true;
}

void* CGridView::GetItemDataPtr(int row) const {
    return row >= 0 && row <= GetRowCount() ? m_rows[row].cells.GetItem(0) : nullptr;
}

// --- Cell controls ----------------------------------------------------------------------------

void CGridView::RegisterControl(int controlId, std::unique_ptr<CGridControl> control) {
    m_controls[controlId] = std::move(control);
    InvalidateCells();
}

CGridControl* CGridView::GetRegisteredControl(int controlId) const {
    const auto found = m_controls.find(controlId);
    return found == m_controls.end() ? nullptr : found->second.get();
}

CGridControl& CGridView::ControlOf(const CGridStyle& style) const {
    if (CGridControl* control = GetRegisteredControl(style.GetControl()))
        return *control;
    return *m_controls.at(GRID_IDS_CTRL_STATIC);
}

std::string CGridView::GetControlName(int controlId) {
    char text[256] = {};
    if (LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(controlId), text, sizeof text) > 0)
        return text;
    switch (controlId) {
    case GRID_IDS_CTRL_STATIC:
        return "Static Text";
    case GRID_IDS_CTRL_PROGRESS:
        return "Progress";
    default:
        return {};
    }
}

// --- Current cell and selection -----------------------------------------------------------------

bool CGridView::GetCurrentCell(int& row, int& col) const {
    if (m_currentRow < 1)
        return false;
    row = m_currentRow;
    col = m_currentCol;
    return true;
}

bool CGridView::SetCurrentCell(int row, int col) {
    if (row < 1 || row > GetRowCount() || col < 0 || col > GetColCount())
        return false;
    m_currentRow = row;
    m_currentCol = col;
    const int visible = std::max(1, VisibleRowCount());
    if (row < m_topRow)
        ScrollToRow(row);
    else if (row >= m_topRow + visible)
        ScrollToRow(row - visible + 1);
    InvalidateCells();
    return true;
}

void CGridView::ClearCurrentCell() {
    m_currentRow = 0;
    m_currentCol = 0;
    InvalidateCells();
}

bool CGridView::IsRowSelected(int row) const {
    return row >= 1 && row <= GetRowCount() && m_rows[row].selected;
}

void CGridView::SelectRow(int row, bool selected) {
    if (row >= 1 && row <= GetRowCount()) {
        m_rows[row].selected = selected;
        InvalidateRow(row);
    }
}

void CGridView::ClearSelection() {
    for (Row& row : m_rows)
        row.selected = false;
    InvalidateCells();
}

void CGridView::SelectRange(int fromRow, int toRow) {
    ClearSelection();
    for (int row = std::min(fromRow, toRow); row <= std::max(fromRow, toRow); ++row)
        SelectRow(row, true);
}

std::vector<int> CGridView::GetSelectedRows() const {
    std::vector<int> rows;
    for (int row = 1; row <= GetRowCount(); ++row)
        if (m_rows[row].selected)
            rows.push_back(row);
    return rows;
}

// --- Hooks --------------------------------------------------------------------------------------

bool CGridView::OnCellClick(int, int, UINT, POINT) {
    return false;
}

bool CGridView::OnCellDoubleClick(int, int, UINT, POINT) {
    return false;
}

bool CGridView::OnCellRightClick(int, int, UINT, POINT) {
    return false;
}

bool CGridView::OnColumnResized(int, int) {
    return true;
}

// --- Zoom ---------------------------------------------------------------------------------------

void CGridView::SetZoom(int percent) {
    m_zoom = std::clamp(percent, GRID_ZOOM_MIN, GRID_ZOOM_MAX);
    RecreateZoomFont();
    m_scrollX = std::min(m_scrollX, ScrollableWidth());
    Redraw();
}

void CGridView::ZoomIn() {
    SetZoom(m_zoom * 11 / 10);
}

void CGridView::ZoomOut() {
    SetZoom(m_zoom * 10 / 11);
}

void CGridView::ZoomReset() {
    SetZoom(GRID_ZOOM_NORMAL);
}
