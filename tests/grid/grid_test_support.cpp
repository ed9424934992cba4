#include "grid_test_support.h"

namespace gridtest {

HostWindow::HostWindow(int width, int height)
    : m_hwnd(CreateWindowExA(0, "STATIC", "Grid host", WS_OVERLAPPEDWINDOW, 0, 0, width, height,
                             nullptr, nullptr, GetModuleHandleA(nullptr), nullptr)) {}

HostWindow::~HostWindow() {
    if (m_hwnd)
        DestroyWindow(m_hwnd);
}

void FillGrid(CGridView& grid, int rows, int cols) {
    grid.SetColCount(cols);
    grid.SetRowCount(rows);
    grid.SetColWidth(0, 0);
    for (int col = 1; col <= cols; ++col) {
        grid.SetColWidth(col, 60);
        grid.SetValue(0, col, "H" + std::to_string(col));
        for (int row = 1; row <= rows; ++row)
            grid.SetValue(row, col, "r" + std::to_string(row) + "c" + std::to_string(col));
    }
}

POINT CellCenter(const CGridView& grid, int row, int col) {
    int left = 0;
    for (int c = 0; c < col; ++c)
        left += MulDiv(grid.GetColWidth(c), grid.GetZoom(), 100);
    const int width = MulDiv(grid.GetColWidth(col), grid.GetZoom(), 100);
    const int top = row == 0 ? 0 : grid.GetRowHeight() * (1 + row - grid.GetTopRow());
    return {left + width / 2, top + grid.GetRowHeight() / 2};
}

LPARAM PointParam(POINT point) {
    return MAKELPARAM(point.x, point.y);
}

void Click(CGridView& grid, POINT point, UINT flags) {
    SendMessageA(grid.Handle(), WM_LBUTTONDOWN, MK_LBUTTON | flags, PointParam(point));
    SendMessageA(grid.Handle(), WM_LBUTTONUP, flags, PointParam(point));
}

Canvas::Canvas(int width, int height) : m_width(width) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_dc = CreateCompatibleDC(nullptr);
    m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_bits = static_cast<const unsigned*>(bits);
    m_previous = SelectObject(m_dc, m_bitmap);
}

Canvas::~Canvas() {
    SelectObject(m_dc, m_previous);
    DeleteObject(m_bitmap);
    DeleteDC(m_dc);
}

COLORREF Canvas::Pixel(int x, int y) const {
    GdiFlush();
    const unsigned pixel = m_bits[y * m_width + x];
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

} // namespace gridtest
