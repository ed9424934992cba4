// A grid in a top-level host window, and helpers to fill it and click on its cells.
#pragma once

#include "grid/grid_view.h"
#include "ui/window_base.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace gridtest {

// A top-level window the grid lives in, destroyed with the test.
struct HostWindow : ui::WindowBase {
    HostWindow() { Create(nullptr, "Grid host", WS_OVERLAPPEDWINDOW); }
};

// A grid of 500 x 300 pixels in its host window, made before each test.
template <class Grid = CGridView> class GridFixture : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(grid.Create(host.Handle(), {0, 0, 500, 300}, 1)); }
    HostWindow host;
    Grid grid;
};

// Fills `rows` x `cols` cells with "r<row>c<col>", headings "H<col>", widths of 60 pixels and
// column 0 hidden.
void FillGrid(CGridView& grid, int rows, int cols);

// The centre of a cell as the grid shows it at its zoom (scrolled down, not across).
POINT CellCenter(const CGridView& grid, int row, int col);

inline LPARAM PointParam(POINT point) {
    return MAKELPARAM(point.x, point.y);
}
void Click(CGridView& grid, POINT point, UINT flags = 0);

} // namespace gridtest
