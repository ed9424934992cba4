// Mouse and keyboard on the grid window: the hooks a derived view overrides, the current cell,
// selection and column resizing by dragging the heading border.
#include "grid_test_support.h"

#include <gtest/gtest.h>

using namespace gridtest;

namespace {

struct HookCall {
    std::string hook;
    int row;
    int col;
};

class RecordingGrid : public CGridView {
public:
    bool OnCellClick(int row, int col, UINT, POINT) override {
        calls.push_back({"click", row, col});
        return row == 0 && handleHeadingClicks;
    }
    bool OnCellDoubleClick(int row, int col, UINT, POINT) override {
        calls.push_back({"double", row, col});
        return row > 0;
    }
    bool OnCellRightClick(int row, int col, UINT, POINT) override {
        calls.push_back({"right", row, col});
        return row > 0;
    }
    bool OnColumnResized(int col, int width) override {
        calls.push_back({"resized", width, col});
        return col != refusedColumn;
    }
    std::vector<HookCall> calls;
    bool handleHeadingClicks = true;
    int refusedColumn = -1;
};

class GridMouse : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(grid.Create(host.Get(), {0, 0, 500, 300}, 1));
        FillGrid(grid, 20, 4);
    }
    const HookCall& LastCall() const { return grid.calls.back(); }
    HostWindow host;
    RecordingGrid grid;
};

} // namespace

TEST_F(GridMouse, HeadingClickGoesToTheHookAndLeavesTheCurrentCell) {
    Click(grid, CellCenter(grid, 0, 2));
    ASSERT_EQ(grid.calls.size(), 1u);
    EXPECT_EQ(LastCall().hook, "click");
    EXPECT_EQ(LastCall().row, 0);
    EXPECT_EQ(LastCall().col, 2);
    int row = 0;
    int col = 0;
    EXPECT_FALSE(grid.GetCurrentCell(row, col));
}

TEST_F(GridMouse, DataClickMovesTheCurrentCellAndSelectsTheRow) {
    Click(grid, CellCenter(grid, 3, 2));
    ASSERT_FALSE(grid.calls.empty());
    EXPECT_EQ(LastCall().row, 3);
    int row = 0;
    int col = 0;
    ASSERT_TRUE(grid.GetCurrentCell(row, col));
    EXPECT_EQ(row, 3);
    EXPECT_EQ(col, 2);
    EXPECT_EQ(grid.GetSelectedRows(), std::vector<int>{3});

    Click(grid, CellCenter(grid, 5, 1), MK_SHIFT);
    EXPECT_EQ(grid.GetSelectedRows(), (std::vector<int>{3, 4, 5}));
    Click(grid, CellCenter(grid, 4, 1), MK_CONTROL);
    EXPECT_EQ(grid.GetSelectedRows(), (std::vector<int>{3, 5}));
}

TEST_F(GridMouse, DoubleAndRightClicksReachTheirHooks) {
    DoubleClick(grid, CellCenter(grid, 2, 3));
    ASSERT_FALSE(grid.calls.empty());
    EXPECT_EQ(LastCall().hook, "double");
    EXPECT_EQ(LastCall().row, 2);
    EXPECT_EQ(LastCall().col, 3);

    grid.calls.clear();
    RightClick(grid, CellCenter(grid, 0, 4));
    ASSERT_EQ(grid.calls.size(), 1u);
    EXPECT_EQ(LastCall().hook, "right");
    EXPECT_EQ(LastCall().row, 0);
    EXPECT_EQ(LastCall().col, 4);
    RightClick(grid, CellCenter(grid, 5, 1));
    EXPECT_EQ(LastCall().row, 5);
    // The right click does not move the current cell.
    int row = 0;
    int col = 0;
    ASSERT_TRUE(grid.GetCurrentCell(row, col));
    EXPECT_EQ(row, 2);
    EXPECT_EQ(col, 3);
}

TEST_F(GridMouse, DraggingAHeadingBorderResizesUnlessTheHookRefuses) {
    grid.refusedColumn = 1;
    const POINT border1 = HeadingBorder(grid, 1);
    Drag(grid, border1, {border1.x + 25, border1.y});
    ASSERT_FALSE(grid.calls.empty());
    EXPECT_EQ(LastCall().hook, "resized");
    EXPECT_EQ(LastCall().col, 1);
    EXPECT_EQ(LastCall().row, 85); // the width offered
    EXPECT_EQ(grid.GetColWidth(1), 60);

    const POINT border2 = HeadingBorder(grid, 2);
    Drag(grid, border2, {border2.x - 20, border2.y});
    EXPECT_EQ(LastCall().col, 2);
    EXPECT_EQ(grid.GetColWidth(2), 40);
    // No click hook was called for a press on a border.
    for (const HookCall& call : grid.calls)
        EXPECT_EQ(call.hook, "resized");
}

TEST_F(GridMouse, ArrowKeysMoveTheCurrentCell) {
    SendMessageA(grid.Handle(), WM_KEYDOWN, VK_DOWN, 0);
    int row = 0;
    int col = 0;
    ASSERT_TRUE(grid.GetCurrentCell(row, col));
    EXPECT_EQ(row, 1);
    EXPECT_EQ(col, 1);
    SendMessageA(grid.Handle(), WM_KEYDOWN, VK_DOWN, 0);
    SendMessageA(grid.Handle(), WM_KEYDOWN, VK_RIGHT, 0);
    ASSERT_TRUE(grid.GetCurrentCell(row, col));
    EXPECT_EQ(row, 2);
    EXPECT_EQ(col, 2);
    SendMessageA(grid.Handle(), WM_KEYDOWN, VK_NEXT, 0);
    ASSERT_TRUE(grid.GetCurrentCell(row, col));
    EXPECT_GT(row, 2);
    // The current row stays in view: the grid scrolled when needed.
    EXPECT_LE(grid.GetTopRow(), row);
    SendMessageA(grid.Handle(), WM_KEYDOWN, VK_UP, 0);
    int after = 0;
    ASSERT_TRUE(grid.GetCurrentCell(after, col));
    EXPECT_EQ(after, row - 1);
    EXPECT_EQ(grid.GetSelectedRows(), std::vector<int>{after});
}

TEST_F(GridMouse, ScrolledGridHitsTheRowsShown) {
    SendMessageA(grid.Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
    SendMessageA(grid.Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
    ASSERT_EQ(grid.GetTopRow(), 3);
    Click(grid, CellCenter(grid, 3, 1)); // the first row shown
    int row = 0;
    int col = 0;
    ASSERT_TRUE(grid.GetCurrentCell(row, col));
    EXPECT_EQ(row, 3);
}
