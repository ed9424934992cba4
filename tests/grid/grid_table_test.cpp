// The table model of the grid window: shared looks, the locale's collation in the sort, and Find.
// (Cell styles composed with their column's are checked through the monitor's view.)
#include "grid_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

using namespace gridtest;

using GridTable = GridFixture<>;

// Cells of equal looks share them; a look no cell uses any longer is dropped in time. Many
// distinct looks set over and over must leave every cell with its own.
TEST_F(GridTable, CellsKeepTheirLooksWhileLooksNoLongerUsedAreDropped) {
    grid.SetColCount(2);
    grid.SetRowCount(300);
    for (int round = 0; round < 4; ++round)
        for (int row = 1; row <= grid.GetRowCount(); ++row)
            grid.SetStyle(row, 1 + row % 2,
                          CGridStyle()
                              .SetValue(std::to_string(row))
                              .SetUserAttribute(GRID_IDS_UA_PROGRESS_UPPER,
                                                std::to_string(round * 1000 + row))
                              .SetTextColor(RGB(round, row % 7, 0)));
    for (int row = 1; row <= grid.GetRowCount(); ++row) {
        const CGridStyle cell = grid.GetCellStyle(row, 1 + row % 2);
        EXPECT_EQ(cell.GetUserAttribute(GRID_IDS_UA_PROGRESS_UPPER), std::to_string(3000 + row));
        EXPECT_EQ(cell.GetTextColor(), RGB(3, row % 7, 0));
        EXPECT_EQ(cell.GetValue(), std::to_string(row));
        EXPECT_TRUE(grid.GetCellStyle(row, 2 - row % 2).IsEmpty());
    }
}

// The sort's own collation is checked against the system's over keys of case, digits, blanks,
// punctuation, the hyphen and apostrophe that word sorting treats apart, Latin-1 letters and
// ligatures, the soft hyphen, control characters and the empty key, and random mixtures of them.
TEST_F(GridTable, SortOrdersAsTheLocaleCollationComparesWithoutCase) {
    const std::vector<std::string> pieces = {
        "",     "a",    "A",     "b",    "B",     "z",    "Z",    "0",    "1",    "9",    "10",
        " ",    "  7",  "-",     "'",    "_",     ".",    ",",    "\\",   "/",    "(",    "~",
        "#",    "%",    "co-op", "coop", "can't", "cant", "\xe9", "\xc9", "e",    "E",    "\xe8",
        "\xe0", "\xc0", "\xe4",  "\xc4", "\xf6",  "\xd6", "\xfc", "\xdf", "ss",   "SS",   "\xe6",
        "ae",   "\xc6", "AE",    "\xf1", "\xe7",  "\xf8", "\xe5", "\xc5", "\xff", "\xad", "\xa0",
        "\x96", "\x97", "\x80",  "\x01", "\x7f",  "\t",   "\xb2", "\xbd"};
    std::vector<std::string> keys = pieces;
    std::mt19937 random(20240611);
    for (int i = 0; i < 2000; ++i) {
        std::string key;
        for (int length = static_cast<int>(random() % 6); length > 0; --length)
            key += pieces[random() % pieces.size()];
        keys.push_back(key);
    }
    grid.SetColCount(2);
    grid.SetRowCount(static_cast<int>(keys.size()));
    for (bool ascending : {true, false}) {
        for (int row = 1; row <= grid.GetRowCount(); ++row) {
            grid.SetValue(row, 1, keys[row - 1]);
            grid.SetValue(row, 2, std::to_string(row - 1));
        }
        grid.SortRows({1, ascending});
        std::vector<int> order(keys.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            const int compared = CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE,
                                                keys[a].c_str(), static_cast<int>(keys[a].size()),
                                                keys[b].c_str(), static_cast<int>(keys[b].size()));
            return compared == (ascending ? CSTR_LESS_THAN : CSTR_GREATER_THAN);
        });
        std::vector<std::string> shown, expected;
        for (int row = 1; row <= grid.GetRowCount(); ++row) {
            shown.push_back(grid.GetValue(row, 2));
            expected.push_back(std::to_string(order[row - 1]));
        }
        EXPECT_EQ(shown, expected) << (ascending ? "ascending" : "descending");
    }
}

// Find goes through hidden columns too, both ways without wrapping, with case and whole words.
// (The Find dialog is checked through the monitor's grid.)
TEST_F(GridTable, FindSearchesHiddenColumnsBothWaysWithCaseAndWholeWords) {
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
