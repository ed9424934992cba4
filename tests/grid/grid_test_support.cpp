#include "grid_test_support.h"

namespace gridtest {

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

void Click(CGridView& grid, POINT point, UINT flags) {
    SendMessageA(grid.Handle(), WM_LBUTTONDOWN, MK_LBUTTON | flags, PointParam(point));
    SendMessageA(grid.Handle(), WM_LBUTTONUP, flags, PointParam(point));
}

} // namespace gridtest
