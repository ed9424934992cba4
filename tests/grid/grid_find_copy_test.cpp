// Find through the cells (also hidden columns, both directions, case and whole words), the
// Find dialog driving it, and Copy through the real clipboard.
#include "grid_test_support.h"

#include <commdlg.h>
#include <dlgs.h>
#include <gtest/gtest.h>

using namespace gridtest;

namespace {

class GridFindCopy : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(grid.Create(host.Get(), {0, 0, 500, 300}, 1));
        grid.SetColCount(3);
        grid.SetRowCount(4);
        grid.SetColWidth(0, 0);
        grid.SetColWidth(3, 0); // hidden by the user
        const char* cells[4][3] = {{"alpha", "Server1", "note"},
                                   {"beta", "server2", "needle in hay"},
                                   {"gamma", "SERVER3", "needles"},
                                   {"delta", "server4", "Needle"}};
        for (int row = 1; row <= 4; ++row)
            for (int col = 1; col <= 3; ++col)
                grid.SetValue(row, col, cells[row - 1][col - 1]);
        for (int col = 1; col <= 3; ++col)
            grid.SetValue(0, col, "Head" + std::to_string(col));
    }
    std::pair<int, int> Current() const {
        int row = 0;
        int col = 0;
        if (!grid.GetCurrentCell(row, col))
            return {0, 0};
        return {row, col};
    }
    HostWindow host;
    CGridView grid;
};

std::string ClipboardText() {
    std::string text;
    if (!OpenClipboard(nullptr))
        return "<clipboard busy>";
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        text = static_cast<const char*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

} // namespace

TEST_F(GridFindCopy, FindSearchesHiddenColumnsForwardAndBackward) {
    const CGridFindOptions down{true, false, false};
    ASSERT_TRUE(grid.FindText("needle", down));
    EXPECT_EQ(Current(), std::make_pair(2, 3)); // column 3 has width 0
    ASSERT_TRUE(grid.FindText("needle", down));
    EXPECT_EQ(Current(), std::make_pair(3, 3));
    ASSERT_TRUE(grid.FindText("needle", down));
    EXPECT_EQ(Current(), std::make_pair(4, 3));
    EXPECT_FALSE(grid.FindText("needle", down)); // no wrapping
    EXPECT_EQ(Current(), std::make_pair(4, 3));

    const CGridFindOptions up{false, false, false};
    ASSERT_TRUE(grid.FindText("server", up));
    EXPECT_EQ(Current(), std::make_pair(4, 2));
    ASSERT_TRUE(grid.FindText("server", up));
    EXPECT_EQ(Current(), std::make_pair(3, 2));
    EXPECT_EQ(grid.GetSelectedRows(), std::vector<int>{3});
}

TEST_F(GridFindCopy, FindHonoursMatchCaseAndWholeWord) {
    ASSERT_TRUE(grid.FindText("Needle", {true, true, false}));
    EXPECT_EQ(Current(), std::make_pair(4, 3));
    grid.ClearCurrentCell();
    ASSERT_TRUE(grid.FindText("needle", {true, false, true}));
    EXPECT_EQ(Current(), std::make_pair(2, 3)); // "needles" in row 3 is not the whole word
    ASSERT_TRUE(grid.FindText("needle", {true, false, true}));
    EXPECT_EQ(Current(), std::make_pair(4, 3));
    grid.ClearCurrentCell();
    EXPECT_FALSE(grid.FindText("SERVER", {true, true, true})); // part of the word SERVER3
    ASSERT_TRUE(grid.FindText("SERVER3", {true, true, true}));
    EXPECT_EQ(Current(), std::make_pair(3, 2));
    EXPECT_FALSE(grid.FindText("", {true, false, false}));
}

TEST_F(GridFindCopy, FindDialogMovesTheCurrentCell) {
    grid.ShowFindDialog();
    const HWND dialog = grid.GetFindDialog();
    ASSERT_NE(dialog, nullptr);
    SetDlgItemTextA(dialog, edt1, "gamma");
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    EXPECT_EQ(Current(), std::make_pair(3, 1));
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
    EXPECT_EQ(grid.GetFindDialog(), nullptr);
}

TEST_F(GridFindCopy, CopyPutsAllRowsWhenNoneIsSelected) {
    grid.SortRows({1, false}); // the grid's order is what is copied
    SendMessageA(grid.Handle(), WM_COMMAND, GRID_ID_EDIT_COPY, 0);
    EXPECT_EQ(ClipboardText(), "Head1\tHead2\tHead3\r\n"
                               "gamma\tSERVER3\tneedles\r\n"
                               "delta\tserver4\tNeedle\r\n"
                               "beta\tserver2\tneedle in hay\r\n"
                               "alpha\tServer1\tnote\r\n");
}

TEST_F(GridFindCopy, CopyPutsTheSelectedRowsAsShown) {
    grid.SetColCount(4);
    grid.SetColumnStyle(4, CGridStyle().SetControl(GRID_IDS_CTRL_PROGRESS));
    grid.SetValue(0, 4, "Used");
    grid.SetValue(2, 4, "45");
    grid.SetValue(4, 4, "7");
    grid.SelectRow(4, true);
    grid.SelectRow(2, true);
    ASSERT_TRUE(grid.Copy());
    EXPECT_EQ(ClipboardText(), "Head1\tHead2\tHead3\tUsed\r\n"
                               "beta\tserver2\tneedle in hay\t45 %\r\n"
                               "delta\tserver4\tNeedle\t7 %\r\n");
}
