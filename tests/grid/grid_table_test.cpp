// The table model of the grid window: rows, columns, styles, item pointers, read-only and
// update lock, and the stable sort.
#include "grid_test_support.h"

#include "grid/grid_progress.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

using namespace gridtest;

namespace {

class GridTable : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(host.Get(), nullptr);
        ASSERT_TRUE(grid.Create(host.Get(), {0, 0, 500, 300}, 1));
    }
    HostWindow host;
    CGridView grid;
};

std::vector<std::string> RowValues(const CGridView& grid, int row) {
    std::vector<std::string> values;
    for (int col = 1; col <= grid.GetColCount(); ++col)
        values.push_back(grid.GetValue(row, col));
    return values;
}

} // namespace

TEST(GridStyle, OverridesAndInheritsPropertyByProperty) {
    CGridStyle base;
    base.SetValue("base").SetTextColor(RGB(1, 2, 3)).SetUserAttribute(51026, "100");
    CGridStyle cell;
    cell.SetInterior(RGB(9, 9, 9)).SetUserAttribute(51026, "150").SetUserAttribute(51027, "%ld");
    cell.Inherit(base);
    EXPECT_EQ(cell.GetValue(), "base");
    EXPECT_EQ(cell.GetTextColor(), RGB(1, 2, 3));
    EXPECT_EQ(cell.GetInterior(), RGB(9, 9, 9));
    EXPECT_EQ(cell.GetUserAttribute(51026), "150");
    EXPECT_EQ(cell.GetUserAttribute(51027), "%ld");
    EXPECT_FALSE(cell.HasUserAttribute(51025));

    CGridStyle change;
    change.SetValue("new").SetUserAttribute(51025, "5");
    cell.ChangeStyle(change);
    EXPECT_EQ(cell.GetValue(), "new");
    EXPECT_EQ(cell.GetUserAttribute(51025), "5");
    EXPECT_EQ(cell.GetUserAttribute(51026), "150");
}

TEST_F(GridTable, CellsComposeCellColumnAndStandardStyles) {
    grid.SetColCount(3);
    grid.SetRowCount(2);
    grid.StandardStyle().SetInterior(RGB(250, 250, 250));
    grid.SetColumnStyle(2, CGridStyle()
                               .SetControl(GRID_IDS_CTRL_PROGRESS)
                               .SetHorzAlign(GridAlign::Right)
                               .SetUserAttribute(GRID_IDS_UA_PROGRESS_UPPER, "100"));
    grid.SetStyle(1, 2,
                  CGridStyle().SetValue("150").SetUserAttribute(GRID_IDS_UA_PROGRESS_UPPER, "150"));
    grid.SetValue(0, 2, "Used");

    const CGridStyle data = grid.ComposeStyle(1, 2);
    EXPECT_EQ(data.GetControl(), GRID_IDS_CTRL_PROGRESS);
    EXPECT_EQ(data.GetHorzAlign(), GridAlign::Right);
    EXPECT_EQ(data.GetInterior(), RGB(250, 250, 250));
    EXPECT_EQ(data.GetUserAttribute(GRID_IDS_UA_PROGRESS_UPPER), "150");
    EXPECT_EQ(grid.ComposeStyle(2, 2).GetUserAttribute(GRID_IDS_UA_PROGRESS_UPPER), "100");
    // The heading row does not take the column's style.
    EXPECT_EQ(grid.ComposeStyle(0, 2).GetControl(), GRID_IDS_CTRL_STATIC);
    EXPECT_EQ(grid.GetDisplayText(1, 2), "150 %");
    EXPECT_EQ(grid.GetDisplayText(0, 2), "Used");
    EXPECT_EQ(grid.GetDisplayText(1, 1), "");
}

TEST_F(GridTable, RowsColumnsAndItemPointersFollowTheirRows) {
    EXPECT_TRUE(grid.SetColCount(2));
    EXPECT_TRUE(grid.SetRowCount(4));
    EXPECT_EQ(grid.GetRowCount(), 4);
    EXPECT_EQ(grid.GetColCount(), 2);
    int items[5] = {};
    for (int row = 1; row <= 4; ++row) {
        grid.SetItemDataPtr(row, &items[row]);
        grid.SetValue(row, 1, std::to_string(row));
    }
    EXPECT_TRUE(grid.RemoveRows(2, 3));
    ASSERT_EQ(grid.GetRowCount(), 2);
    EXPECT_EQ(grid.GetItemDataPtr(1), &items[1]);
    EXPECT_EQ(grid.GetItemDataPtr(2), &items[4]);
    EXPECT_EQ(grid.GetValue(2, 1), "4");
    EXPECT_FALSE(grid.RemoveRows(2, 3)); // past the end
    EXPECT_FALSE(grid.RemoveRows(0, 1)); // the heading row stays
    EXPECT_EQ(grid.GetRowCount(), 2);

    EXPECT_TRUE(grid.SetColWidth(0, 0));
    EXPECT_TRUE(grid.SetColWidth(2, 77));
    EXPECT_EQ(grid.GetColWidth(0), 0);
    EXPECT_EQ(grid.GetColWidth(2), 77);
    EXPECT_FALSE(grid.SetColWidth(3, 10));
    EXPECT_GT(grid.GetAvgCharWidth(), 2);
    EXPECT_LT(grid.GetAvgCharWidth(), 20);
}

TEST_F(GridTable, CellValuesStayApartWhateverOrderTheyAreSetInAndAsColumnsChange) {
    grid.SetColCount(4);
    grid.SetRowCount(1);
    grid.SetColumnStyle(2, CGridStyle().SetValue("column"));
    grid.SetValue(1, 3, "third");
    grid.SetValue(1, 1, "a longer first value");
    grid.SetValue(1, 4, "");
    grid.SetValue(1, 3, "3");
    EXPECT_EQ(RowValues(grid, 1),
              (std::vector<std::string>{"a longer first value", "column", "3", ""}));
    grid.SetValue(1, 2, ""); // an empty value of the cell's own hides the column's
    EXPECT_EQ(grid.GetValue(1, 2), "");
    grid.SetStyle(1, 2, CGridStyle(), CGridView::StyleMode::Copy);
    EXPECT_EQ(grid.GetValue(1, 2), "column");

    int item = 0;
    grid.SetStyle(1, 3, CGridStyle().SetItemDataPtr(&item));
    EXPECT_EQ(grid.GetCellStyle(1, 3).GetItemDataPtr(), &item);
    EXPECT_EQ(grid.GetValue(1, 3), "3");
    EXPECT_EQ(grid.GetItemDataPtr(1), nullptr); // the row's pointer is column 0's
    grid.SetColCount(2);
    EXPECT_EQ(RowValues(grid, 1), (std::vector<std::string>{"a longer first value", "column"}));
    grid.SetColCount(4);
    EXPECT_FALSE(grid.GetCellStyle(1, 3).HasValue());
    EXPECT_FALSE(grid.GetCellStyle(1, 3).HasItemDataPtr());
    EXPECT_EQ(grid.GetValue(1, 1), "a longer first value");
}

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

TEST_F(GridTable, ReadOnlyRefusesChangesAndLockReturnsThePreviousState) {
    grid.SetColCount(2);
    grid.SetRowCount(1);
    grid.SetValue(1, 1, "kept");
    EXPECT_FALSE(grid.SetReadOnly(true));
    EXPECT_FALSE(grid.SetValue(1, 1, "changed"));
    EXPECT_FALSE(grid.SetRowCount(5));
    EXPECT_FALSE(grid.SetColCount(0));
    EXPECT_FALSE(grid.RemoveRows(1, 1));
    EXPECT_FALSE(grid.SetItemDataPtr(1, &grid));
    EXPECT_EQ(grid.GetValue(1, 1), "kept");
    EXPECT_EQ(grid.GetRowCount(), 1);
    EXPECT_TRUE(grid.SetReadOnly(false));
    EXPECT_TRUE(grid.SetValue(1, 1, "changed"));

    EXPECT_FALSE(grid.LockUpdate(true));
    EXPECT_TRUE(grid.LockUpdate(true));
    EXPECT_TRUE(grid.LockUpdate(false));
    EXPECT_FALSE(grid.IsLockUpdate());
}

namespace {

// Sorts by the number in column 1, so "10" comes after "9".
class NumericGrid : public CGridView {
public:
    std::string GetSortKey(int row, int col, const CGridSortInfo&, const CGridStyle&) override {
        char key[32];
        std::snprintf(key, sizeof key, "%20s", GetValue(row, col).c_str());
        return key;
    }
};

std::vector<std::string> ColumnValues(const CGridView& grid, int col) {
    std::vector<std::string> values;
    for (int row = 1; row <= grid.GetRowCount(); ++row)
        values.push_back(grid.GetValue(row, col));
    return values;
}

} // namespace

TEST_F(GridTable, SortIsStableInBothDirectionsAndKeepsTheCurrentRow) {
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"b", "1"}, {"A", "2"}, {"b", "3"}, {"a", "4"}, {"B", "5"}, {"c", "6"}};
    grid.SetColCount(2);
    grid.SetRowCount(static_cast<int>(rows.size()));
    for (int row = 1; row <= grid.GetRowCount(); ++row) {
        grid.SetValue(row, 1, rows[row - 1].first);
        grid.SetValue(row, 2, rows[row - 1].second);
    }
    grid.SetCurrentCell(5, 2); // "B", "5"

    grid.SortRows({1, true});
    EXPECT_EQ(ColumnValues(grid, 2), (std::vector<std::string>{"2", "4", "1", "3", "5", "6"}));
    int row = 0;
    int col = 0;
    ASSERT_TRUE(grid.GetCurrentCell(row, col));
    EXPECT_EQ(grid.GetValue(row, 2), "5");

    grid.SortRows({1, false});
    EXPECT_EQ(ColumnValues(grid, 2), (std::vector<std::string>{"6", "1", "3", "5", "2", "4"}));
    ASSERT_TRUE(grid.GetCurrentCell(row, col));
    EXPECT_EQ(grid.GetValue(row, 2), "5");
    EXPECT_EQ(grid.GetValue(0, 1), ""); // the heading row never moves
}

TEST(GridSort, DerivedKeysOrderNumbersAndEqualKeysKeepTheirOrder) {
    HostWindow host;
    NumericGrid grid;
    ASSERT_TRUE(grid.Create(host.Get(), {0, 0, 300, 200}, 1));
    const std::vector<std::string> numbers = {"9", "10", "9", "100", "10"};
    grid.SetColCount(2);
    grid.SetRowCount(static_cast<int>(numbers.size()));
    for (int row = 1; row <= grid.GetRowCount(); ++row) {
        grid.SetValue(row, 1, numbers[row - 1]);
        grid.SetValue(row, 2, std::to_string(row));
    }
    grid.SortRows({1, false});
    EXPECT_EQ(ColumnValues(grid, 1), (std::vector<std::string>{"100", "10", "10", "9", "9"}));
    EXPECT_EQ(ColumnValues(grid, 2), (std::vector<std::string>{"4", "2", "5", "1", "3"}));
}

namespace {

// Keys that exercise the collation: case, digits, blanks, punctuation, the hyphen and apostrophe
// that word sorting treats apart, Latin-1 letters with accents and ligatures, the soft hyphen
// that collates as nothing, control characters, and the empty key; then random mixtures of them.
std::vector<std::string> CollationTestKeys() {
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
    return keys;
}

// Positions of `keys` in the stable order CompareStringA gives them.
std::vector<std::string> OrderByCompareString(const std::vector<std::string>& keys,
                                              bool ascending) {
    std::vector<int> order(keys.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const int compared = CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, keys[a].c_str(),
                                            static_cast<int>(keys[a].size()), keys[b].c_str(),
                                            static_cast<int>(keys[b].size()));
        return ascending ? compared == CSTR_LESS_THAN : compared == CSTR_GREATER_THAN;
    });
    std::vector<std::string> positions;
    for (int position : order)
        positions.push_back(std::to_string(position));
    return positions;
}

} // namespace

TEST_F(GridTable, SortOrdersAsTheLocaleCollationComparesWithoutCase) {
    const std::vector<std::string> keys = CollationTestKeys();
    grid.SetColCount(2);
    grid.SetRowCount(static_cast<int>(keys.size()));
    for (bool ascending : {true, false}) {
        for (int row = 1; row <= grid.GetRowCount(); ++row) {
            grid.SetValue(row, 1, keys[row - 1]);
            grid.SetValue(row, 2, std::to_string(row - 1));
        }
        grid.SortRows({1, ascending});
        EXPECT_EQ(ColumnValues(grid, 2), OrderByCompareString(keys, ascending))
            << (ascending ? "ascending" : "descending");
    }
}

TEST(GridControls, RegisteredControlsAreOwnedAndNamed) {
    CGridView grid;
    EXPECT_NE(dynamic_cast<CGridProgressCtrl*>(grid.GetRegisteredControl(GRID_IDS_CTRL_PROGRESS)),
              nullptr);
    EXPECT_EQ(grid.GetRegisteredControl(63632), nullptr);
    grid.RegisterControl(63632, std::make_unique<CGridProgressCtrl>(grid));
    EXPECT_NE(grid.GetRegisteredControl(63632), nullptr);
    // An unknown control falls back to the static text control.
    EXPECT_EQ(&grid.ControlOf(CGridStyle().SetControl(4711)),
              grid.GetRegisteredControl(GRID_IDS_CTRL_STATIC));
    EXPECT_EQ(CGridView::GetControlName(GRID_IDS_CTRL_STATIC), "Static Text");
}
