// Find through the cells: hidden columns too, both directions without wrapping, case and whole
// words. (The Find dialog and Copy are checked through the monitor's grid.)
#include "grid_test_support.h"

#include <gtest/gtest.h>

using namespace gridtest;

TEST(GridFind, SearchesHiddenColumnsBothWaysWithCaseAndWholeWords) {
    HostWindow host;
    CGridView grid;
    ASSERT_TRUE(grid.Create(host.Get(), {0, 0, 500, 300}, 1));
    grid.SetColCount(3);
    grid.SetRowCount(4);
    grid.SetColWidth(3, 0); // hidden by the user
    const char* cells[4][3] = {{"alpha", "Server1", "note"},
                               {"beta", "server2", "needle in hay"},
                               {"gamma", "SERVER3", "needles"},
                               {"delta", "server4", "Needle"}};
    for (int row = 1; row <= 4; ++row)
        for (int col = 1; col <= 3; ++col)
            grid.SetValue(row, col, cells[row - 1][col - 1]);

    struct Step {
        const char* text;
        CGridFindOptions options; // down, match case, whole word
        bool clearFirst;
        int row, col; // 0: not found, the current cell stays
    };
    const Step steps[] = {
        {"needle", {true, false, false}, false, 2, 3},
        {"needle", {true, false, false}, false, 3, 3},
        {"needle", {true, false, false}, false, 4, 3},
        {"needle", {true, false, false}, false, 0, 0},
        {"server", {false, false, false}, false, 4, 2},
        {"server", {false, false, false}, false, 3, 2},
        {"Needle", {true, true, false}, true, 4, 3},
        {"needle", {true, false, true}, true, 2, 3},
        {"needle", {true, false, true}, false, 4, 3},
        {"SERVER", {true, true, true}, true, 0, 0},
        {"SERVER3", {true, true, true}, false, 3, 2},
        {"", {true, false, false}, false, 0, 0},
    };
    std::pair<int, int> current{0, 0};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.text);
        if (step.clearFirst) {
            grid.ClearCurrentCell();
            current = {0, 0};
        }
        EXPECT_EQ(step.row != 0, grid.FindText(step.text, step.options));
        if (step.row != 0)
            current = {step.row, step.col};
        int row = 0, col = 0;
        grid.GetCurrentCell(row, col);
        EXPECT_EQ(std::make_pair(row, col), current);
    }
    EXPECT_EQ(grid.GetSelectedRows(), std::vector<int>{3});
}
