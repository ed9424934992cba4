// What the administrator sees of the monitor grid: the sort mark and the sort kept across
// restarts, the state of a row in a tool tip, Find's first press clear of its dialog, and the
// Columns dialog's reordering.
#include "view_fixture.h"

#include "monitor/columns_dlg.h"
#include "res/resource.h"

#include <commctrl.h>

using namespace monitor;

namespace {

constexpr int kStatusCol = 1;
constexpr int kUsedPercentCol = 2;
constexpr int kObjectCol = 4;
constexpr int kSpaceUsedCol = 6;

LPARAM Point(POINT point) {
    return MAKELPARAM(point.x, point.y);
}

// The middle of a cell of the view, in client coordinates.
POINT CellCentre(const CAXMonView& view, int row, int col) {
    int left = view.GetColWidth(0);
    for (int c = 1; c < col; ++c)
        left += view.GetColWidth(c);
    const int top = row == 0 ? 0 : (row - view.GetTopRow() + 1) * view.GetRowHeight();
    return {left + view.GetColWidth(col) / 2, top + view.GetRowHeight() / 2};
}

// Pixels of the heading's text colour in the upper and lower half of the right end of a
// heading cell, as the view paints it.
std::pair<int, int> MarkPixels(CAXMonView& view, int col) {
    const RECT client = view.ClientRect();
    const HDC screen = GetDC(nullptr);
    base::UniqueDc dc(CreateCompatibleDC(screen));
    base::UniqueBitmap bitmap(CreateCompatibleBitmap(screen, client.right, client.bottom));
    ReleaseDC(nullptr, screen);
    base::SelectObjectScope select(dc.Get(), bitmap.Get());
    view.PaintTo(dc.Get(), client);
    int right = view.GetColWidth(0);
    for (int c = 1; c <= col; ++c)
        right += view.GetColWidth(c);
    const int height = view.GetRowHeight();
    std::pair<int, int> pixels{};
    for (int y = 0; y < height; ++y) {
        for (int x = right - height; x < right; ++x) {
            if (GetPixel(dc.Get(), x, y) == GetSysColor(COLOR_BTNTEXT))
                ++(y < height / 2 ? pixels.first : pixels.second);
        }
    }
    return pixels;
}

} // namespace

TEST_F(ViewTest, SortMarkShowsTheDirectionAndTheSortIsKeptForTheNextStart) {
    m_document.Add("C:\\b", 9, 100);
    m_document.Add("C:\\a", 10, 100);
    m_document.Add("C:\\c", 2, 100);
    CAXMonView& view = OpenView();
    EXPECT_EQ(view.GetSortMarkColumn(), -1) << "the status column, sorted first, does not sort";

    ClickHeading(kSpaceUsedCol); // descending: the mark points down
    EXPECT_EQ(view.GetSortMarkColumn(), kSpaceUsedCol);
    const auto [downTop, downBottom] = MarkPixels(view, kSpaceUsedCol);
    EXPECT_GT(downTop, downBottom);
    ClickHeading(kSpaceUsedCol);
    const auto [upTop, upBottom] = MarkPixels(view, kSpaceUsedCol);
    EXPECT_LT(upTop, upBottom);
    EXPECT_EQ(MarkPixels(view, kObjectCol), (std::pair<int, int>{0, 0}));

    CloseView();
    CAXMonView& reopened = OpenView();
    EXPECT_EQ(reopened.SortColumn(), kSpaceUsedCol);
    EXPECT_TRUE(CAXMonView::IsSortAscending());
    EXPECT_EQ(ObjectColumn(kObjectCol), (std::vector<std::string>{"C:\\c", "C:\\b", "C:\\a"}));
    EXPECT_EQ(reopened.GetSortMarkColumn(), kSpaceUsedCol);
}

TEST_F(ViewTest, StatusAndPercentCellsTellTheRowsStateInATip) {
    m_document.Add("C:\\Over", 150, 100);
    m_document.Add("C:\\Reached", 95, 100).record.SetThreshPercent(1, 90);
    m_document.Add("C:\\Scanning", 1, 100, AttrAbsolute | AttrStatus100);
    m_document.Add("C:\\Calm", 45, 100);
    CAXMonView& view = OpenView();
    const struct {
        const char* object;
        int col;
        const char* tip;
    } cases[] = {{"C:\\Over", kStatusCol, "Over quota: 150 %"},
                 {"C:\\Reached", kUsedPercentCol, "Threshold 1 (90 %) exceeded: 95 % used"},
                 {"C:\\Scanning", kStatusCol, "Scanning"},
                 {"C:\\Calm", kStatusCol, "45 % used, no threshold exceeded"},
                 {"C:\\Calm", kObjectCol, ""}};
    for (const auto& c : cases) {
        int row = 1;
        while (row < view.GetRowCount() && view.GetValue(row, kObjectCol) != c.object)
            ++row;
        SendMessageA(view.Handle(), WM_MOUSEMOVE, 0, Point(CellCentre(view, row, c.col)));
        char text[256] = {};
        TOOLINFOA tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = view.Handle();
        tool.uId = 1;
        tool.lpszText = text;
        SendMessageA(view.GetTipWindow(), TTM_GETTEXTA, sizeof text,
                     reinterpret_cast<LPARAM>(&tool));
        EXPECT_STREQ(text, c.tip) << c.object;
    }
}

TEST_F(ViewTest, FindsTheFirstMatchAtTheFirstEnterClearOfTheDialogWhichKeepsItsPlace) {
    m_profile.WriteString("ColsDisplayed", "Object Name;Space Used;");
    for (int i = 1; i <= 300; ++i)
        m_document.Add(("C:\\Obj" + std::to_string(1000 + i)).c_str(), 1000 - i, 1000);
    CAXMonView& view = OpenView();
    ShowWindow(m_frame, SW_SHOW);
    view.RouteCommand(ID_EDIT_FIND, 0, nullptr);
    HWND find = view.GetFindDialog();
    ASSERT_NE(find, nullptr);
    HWND edit = GetDlgItem(find, 0x480 /* edt1 */);
    for (char c : std::string("obj101"))
        SendMessageA(edit, WM_CHAR, static_cast<WPARAM>(c), 0);
    MSG enter{};
    enter.hwnd = edit;
    enter.message = WM_KEYDOWN;
    enter.wParam = VK_RETURN;
    ASSERT_TRUE(IsDialogMessageA(find, &enter));

    int row = 0, col = 0;
    ASSERT_TRUE(view.GetCurrentCell(row, col));
    // The rows are sorted by name, descending: the first match from the top is the highest name.
    EXPECT_EQ(view.GetValue(row, 1), "C:\\Obj1019");
    RECT dialog{};
    GetWindowRect(find, &dialog);
    MapWindowPoints(nullptr, view.Handle(), reinterpret_cast<POINT*>(&dialog), 2);
    const int top = (row - view.GetTopRow() + 1) * view.GetRowHeight();
    EXPECT_TRUE(top + view.GetRowHeight() <= dialog.top || top >= dialog.bottom)
        << "row at " << top << ", dialog from " << dialog.top << " to " << dialog.bottom;

    SetWindowPos(find, nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SendMessageA(find, WM_COMMAND, IDCANCEL, 0);
    view.RouteCommand(ID_EDIT_FIND, 0, nullptr);
    GetWindowRect(view.GetFindDialog(), &dialog);
    EXPECT_EQ(dialog.left, 40);
    EXPECT_EQ(dialog.top, 30);
    SendMessageA(view.GetFindDialog(), WM_COMMAND, IDCANCEL, 0);
}

TEST_F(ViewTest, ColumnsDialogMovesItemsUpDownAndOnADoubleClick) {
    ColumnCodes order{kColStatus, kColObjectName, kColServer, kColNone};
    size_t next = 4;
    for (uint32_t code = 1; code <= kColumnTypeCount; ++code)
        if (code != kColStatus && code != kColObjectName && code != kColServer)
            order[next++] = code;
    CColumnsDlg dialog(order, 2, m_frame);
    ASSERT_TRUE(dialog.CreateModeless());
    HWND displayed = GetDlgItem(dialog.Handle(), IDC_DISPLAYED_COLUMNS);
    auto press = [&](int id) { SendMessageA(GetDlgItem(dialog.Handle(), id), BM_CLICK, 0, 0); };
    auto doubleClick = [&](HWND list, int index) {
        RECT item{};
        SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
        const LPARAM at = MAKELPARAM(item.left + 4, (item.top + item.bottom) / 2);
        SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(list, WM_LBUTTONUP, 0, at);
        SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        SendMessageA(list, WM_LBUTTONUP, 0, at);
    };
    auto codes = [&] {
        std::vector<LRESULT> shown;
        for (int i = 0; i < SendMessageA(displayed, LB_GETCOUNT, 0, 0); ++i)
            shown.push_back(SendMessageA(displayed, LB_GETITEMDATA, i, 0));
        return shown;
    };

    SendMessageA(displayed, LB_SETCURSEL, 2, 0); // Server
    SendMessageA(dialog.Handle(), WM_COMMAND, MAKEWPARAM(IDC_DISPLAYED_COLUMNS, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(displayed));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog.Handle(), IDC_MOVE_COLUMN_DOWN)));
    press(IDC_MOVE_COLUMN_UP);
    press(IDC_MOVE_COLUMN_UP);
    EXPECT_EQ(codes(), (std::vector<LRESULT>{kColServer, kColStatus, kColObjectName}));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog.Handle(), IDC_MOVE_COLUMN_UP)));
    press(IDC_MOVE_COLUMN_DOWN);
    EXPECT_EQ(codes(), (std::vector<LRESULT>{kColStatus, kColServer, kColObjectName}));

    doubleClick(displayed, 0); // Status goes to the available side
    EXPECT_EQ(codes(), (std::vector<LRESULT>{kColServer, kColObjectName}));
    doubleClick(GetDlgItem(dialog.Handle(), IDC_AVAILABLE_COLUMNS), 0); // and one comes back
    EXPECT_EQ(codes().size(), 3u);
    press(IDOK);
    EXPECT_EQ(order[0], static_cast<uint32_t>(kColServer));
    EXPECT_EQ(order[1], static_cast<uint32_t>(kColObjectName));
}
