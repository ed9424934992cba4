// Mouse and keyboard on the grid window: the current cell, the selection with Shift and Ctrl, the
// arrow and page keys, a scrolled and zoomed grid, and the double-click hook a derived view
// overrides.
#include "grid_test_support.h"

#include <gtest/gtest.h>

using namespace gridtest;

namespace {

class RecordingGrid : public CGridView {
public:
    bool OnCellDoubleClick(int row, int col, UINT, POINT) override {
        doubleClicked = {row, col};
        return true;
    }
    std::pair<int, int> doubleClicked;
};

class GridMouse : public GridFixture<RecordingGrid> {
protected:
    void SetUp() override {
        GridFixture::SetUp();
        FillGrid(grid, 20, 4);
    }
    std::pair<int, int> Current() const {
        int row = 0, col = 0;
        return grid.GetCurrentCell(row, col) ? std::make_pair(row, col) : std::make_pair(0, 0);
    }
    void Key(WPARAM key) { SendMessageA(grid.Handle(), WM_KEYDOWN, key, 0); }
};

} // namespace

TEST_F(GridMouse, ClicksMoveTheCurrentCellAndSelectRowsWithShiftAndCtrl) {
    Click(grid, CellCenter(grid, 3, 2));
    EXPECT_EQ(Current(), std::make_pair(3, 2));
    EXPECT_EQ(grid.GetSelectedRows(), std::vector<int>{3});
    Click(grid, CellCenter(grid, 5, 1), MK_SHIFT);
    EXPECT_EQ(grid.GetSelectedRows(), (std::vector<int>{3, 4, 5}));
    Click(grid, CellCenter(grid, 4, 1), MK_CONTROL);
    EXPECT_EQ(grid.GetSelectedRows(), (std::vector<int>{3, 5}));

    SendMessageA(grid.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, PointParam(CellCenter(grid, 2, 3)));
    EXPECT_EQ(grid.doubleClicked, std::make_pair(2, 3));

    SendMessageA(grid.Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
    SendMessageA(grid.Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
    ASSERT_EQ(grid.GetTopRow(), 3);
    Click(grid, CellCenter(grid, 3, 1)); // the first row shown
    EXPECT_EQ(Current(), std::make_pair(3, 1));
    grid.SetZoom(200);
    EXPECT_EQ(grid.GetColWidth(1), 60) << "widths stay unzoomed for saving";
    Click(grid, CellCenter(grid, 4, 2));
    EXPECT_EQ(Current(), std::make_pair(4, 2));
}

TEST_F(GridMouse, KeysMoveTheCurrentCellAndKeepItInView) {
    Key(VK_DOWN);
    EXPECT_EQ(Current(), std::make_pair(1, 1)) << "the first key starts at the first cell";
    Key(VK_DOWN);
    Key(VK_RIGHT);
    EXPECT_EQ(Current(), std::make_pair(2, 2));
    Key(VK_NEXT);
    const int paged = Current().first;
    EXPECT_GT(paged, 2);
    EXPECT_LE(grid.GetTopRow(), paged);
    Key(VK_UP);
    EXPECT_EQ(Current(), std::make_pair(paged - 1, 2));
    EXPECT_EQ(grid.GetSelectedRows(), std::vector<int>{paged - 1});
}
