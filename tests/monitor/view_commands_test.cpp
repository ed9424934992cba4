// The commands of the monitor view on the whole grid, driven through the view's command entry
// points as the frame routes them: the column chooser, zoom, find, copy, pause and release.
#include "ui_test_support.h"
#include "view_fixture.h"

#include "client/axcli.h"
#include "monitor/column_layout.h"
#include "monitor/columns.h"
#include "monitor/columns_dlg.h"
#include "res/resource.h"
#include "ui/command_state.h"
#include "ui/profile.h"

#include <commdlg.h>

#include <functional>

using namespace monitor;
using Names = std::vector<std::string>;
using Codes = std::vector<uint32_t>;

namespace {

constexpr uint64_t kMB = 1024 * 1024;

struct ListItem {
    std::string text;
    uint32_t code;
    bool operator==(const ListItem&) const = default;
};

std::vector<ListItem> ListItems(HWND dialog, int listId) {
    HWND list = GetDlgItem(dialog, listId);
    std::vector<ListItem> items;
    const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[128] = {};
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        items.push_back({text, static_cast<uint32_t>(SendMessageA(list, LB_GETITEMDATA, i, 0))});
    }
    return items;
}

Codes DisplayedCodes(HWND dialog) {
    Codes codes;
    for (const ListItem& item : ListItems(dialog, IDC_DISPLAYED_COLUMNS))
        codes.push_back(item.code);
    return codes;
}

void Select(HWND dialog, int listId, int index) {
    HWND list = GetDlgItem(dialog, listId);
    SendMessageA(list, LB_SETCURSEL, index, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(listId, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}

POINT ItemPoint(HWND list, int index) {
    RECT item{};
    SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
    return {item.left + 5, (item.top + item.bottom) / 2};
}

void DoubleClick(HWND dialog, int listId, int index) {
    HWND list = GetDlgItem(dialog, listId);
    const POINT point = ItemPoint(list, index);
    const LPARAM at = MAKELPARAM(point.x, point.y);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(list, WM_LBUTTONUP, 0, at);
    SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageA(list, WM_LBUTTONUP, 0, at);
}

// Drags displayed item `from` and drops it on item `onto` through the drag list notifications.
void Drag(HWND dialog, int from, int onto, bool cancel = false) {
    HWND list = GetDlgItem(dialog, IDC_DISPLAYED_COLUMNS);
    const UINT dragMessage = RegisterWindowMessageA("commctrl_DragListMsg");
    for (UINT code :
         {UINT(DL_BEGINDRAG), UINT(DL_DRAGGING), cancel ? UINT(DL_CANCELDRAG) : UINT(DL_DROPPED)}) {
        POINT point = ItemPoint(list, code == DL_BEGINDRAG ? from : onto);
        ClientToScreen(list, &point);
        DRAGLISTINFO info{code, list, point};
        SendMessageA(dialog, dragMessage, IDC_DISPLAYED_COLUMNS, reinterpret_cast<LPARAM>(&info));
    }
}

bool CommandEnabled(CAXMonView& view, UINT id) {
    ui::CommandState state;
    view.QueryCommand(id, state);
    EXPECT_TRUE(state.Answered()) << id;
    return state.Enabled();
}

std::string ClipboardText() {
    std::string text;
    if (!OpenClipboard(nullptr))
        return text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        text = static_cast<const char*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

std::string ProfileText(const char* value) {
    return ui::Profile::GetString("AXMonitor", value, "");
}

} // namespace

TEST_F(ViewTest, ColumnsDialogMovesColumnsBetweenAndWithinItsListsAndOkWritesOrderAndUnit) {
    ColumnCodes order = ParseColumnList("Server;Status;HighWater", kServerKindFull);
    CColumnsDlg columns(order, 2, m_frame);
    ASSERT_TRUE(columns.CreateModeless());
    HWND dialog = columns.Handle();

    // Shown columns in their order, the others sorted by text, marked where servers lack them.
    EXPECT_EQ(ListItems(dialog, IDC_DISPLAYED_COLUMNS),
              (std::vector<ListItem>{
                  {"Server", kColServer}, {"Status", kColStatus}, {"HighWater (AX Only)", 7}}));
    const auto available = ListItems(dialog, IDC_AVAILABLE_COLUMNS);
    ASSERT_EQ(available.size(), 9u);
    EXPECT_EQ(available.front(), (ListItem{"% Space Free", kColFreePercent}));
    EXPECT_EQ(available.back(), (ListItem{"Write Through (AX Only)", kColWriteThrough}));
    EXPECT_TRUE(Enabled(dialog, IDC_ADD_COLUMN));
    EXPECT_FALSE(Enabled(dialog, IDC_REMOVE_COLUMN));
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_SPACE_UNIT_MEGABYTES), BST_CHECKED);

    Select(dialog, IDC_AVAILABLE_COLUMNS, 0); // % Space Free
    Click(dialog, IDC_ADD_COLUMN);
    EXPECT_FALSE(Enabled(dialog, IDC_ADD_COLUMN));
    EXPECT_TRUE(Enabled(dialog, IDC_REMOVE_COLUMN));
    Click(dialog, IDC_ADD_COLUMN); // nothing selected on the available side: nothing happens
    EXPECT_EQ(DisplayedCodes(dialog), (Codes{kColServer, kColStatus, 7, kColFreePercent}));

    Select(dialog, IDC_DISPLAYED_COLUMNS, 0); // Server goes back, sorted among the others
    Click(dialog, IDC_REMOVE_COLUMN);
    EXPECT_FALSE(Enabled(dialog, IDC_REMOVE_COLUMN));
    const int serverIndex =
        static_cast<int>(SendDlgItemMessageA(dialog, IDC_AVAILABLE_COLUMNS, LB_GETCURSEL, 0, 0));
    ASSERT_GE(serverIndex, 0);
    EXPECT_EQ(ListItems(dialog, IDC_AVAILABLE_COLUMNS)[serverIndex].code, kColServer);

    // Status dropped on % Space Free lands before it; the last item dropped on the first goes
    // first; a cancelled drag moves nothing.
    Drag(dialog, 0, 2);
    Drag(dialog, 2, 0);
    Drag(dialog, 0, 2, true);
    EXPECT_EQ(DisplayedCodes(dialog), (Codes{kColFreePercent, 7, kColStatus}));

    Select(dialog, IDC_DISPLAYED_COLUMNS, 2);
    EXPECT_FALSE(Enabled(dialog, IDC_MOVE_COLUMN_DOWN));
    Click(dialog, IDC_MOVE_COLUMN_UP);
    Click(dialog, IDC_MOVE_COLUMN_UP);
    EXPECT_FALSE(Enabled(dialog, IDC_MOVE_COLUMN_UP));
    Click(dialog, IDC_MOVE_COLUMN_DOWN);
    EXPECT_EQ(DisplayedCodes(dialog), (Codes{kColFreePercent, kColStatus, 7}));

    DoubleClick(dialog, IDC_DISPLAYED_COLUMNS, 0); // % Space Free out, and back again
    EXPECT_EQ(DisplayedCodes(dialog), (Codes{kColStatus, 7}));
    DoubleClick(dialog, IDC_AVAILABLE_COLUMNS, 0);

    CheckRadioButton(dialog, IDC_SPACE_UNIT_BYTES, IDC_SPACE_UNIT_GIGABYTES,
                     IDC_SPACE_UNIT_GIGABYTES);
    CheckDlgButton(dialog, IDC_SPACE_UNIT_MEGABYTES, BST_UNCHECKED);
    Click(dialog, IDOK);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(columns.SizeUnit(), 3u);
    EXPECT_EQ(Codes(order.begin(), order.begin() + 4), (Codes{kColStatus, 7, kColFreePercent, 0}));
}

TEST_F(ViewTest, ColumnCommandSavesWidthsFirstCancelKeepsAllAndTheSortFollowsItsColumn) {
    ui::Profile::WriteString("AXMonitor", "ColsDisplayed", "Status;Object Name;Space Used;Server;");
    m_document.Add("C:\\B", 20 * kMB, 100 * kMB);
    m_document.Add("C:\\A", 10 * kMB, 100 * kMB);
    m_document.Add("C:\\C", 30 * kMB, 100 * kMB);
    CAXMonView& view = OpenView();
    ClickHeading(2); // Object Name, descending
    ClickHeading(2); // ascending
    ASSERT_EQ(ObjectColumn(2), (Names{"C:\\A", "C:\\B", "C:\\C"}));
    view.SetColWidth(3, 77);
    auto runColumns = [&](const std::function<void(HWND)>& steps) {
        DialogDriver driver("Columns", steps);
        view.RouteCommand(ID_VIEW_COLUMNS, 0, nullptr);
        EXPECT_TRUE(driver.Ran());
        EXPECT_TRUE(view.IsTimerArmed());
        EXPECT_FALSE(view.IsBusy());
    };

    runColumns([&](HWND dialog) { // everything out: OK waits for a column; Cancel
        EXPECT_EQ(SavedNumber("Space Used"), 77u);
        EXPECT_FALSE(view.IsTimerArmed());
        for (int i = 0; i < 4; ++i) {
            Select(dialog, IDC_DISPLAYED_COLUMNS, 0);
            Click(dialog, IDC_REMOVE_COLUMN);
        }
        EXPECT_FALSE(Enabled(dialog, IDOK));
        Select(dialog, IDC_AVAILABLE_COLUMNS, 3);
        Click(dialog, IDC_ADD_COLUMN);
        EXPECT_TRUE(Enabled(dialog, IDOK));
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(ProfileText("ColsDisplayed"), "Status;Object Name;Space Used;Server;");
    EXPECT_EQ(view.GetColCount(), 4);

    runColumns([&](HWND dialog) { // Status out: Object Name becomes column 1
        Select(dialog, IDC_DISPLAYED_COLUMNS, 0);
        Click(dialog, IDC_REMOVE_COLUMN);
        CheckRadioButton(dialog, IDC_SPACE_UNIT_BYTES, IDC_SPACE_UNIT_GIGABYTES,
                         IDC_SPACE_UNIT_KILOBYTES);
        Click(dialog, IDOK);
    });
    EXPECT_EQ(ProfileText("ColsDisplayed"), "Object Name;Space Used;Server;");
    ASSERT_EQ(view.GetColCount(), 3);
    EXPECT_EQ(view.SizeUnit(), 1u);
    EXPECT_EQ(view.SortColumn(), 1);
    EXPECT_TRUE(CAXMonView::IsSortAscending());
    EXPECT_EQ(ObjectColumn(1), (Names{"C:\\A", "C:\\B", "C:\\C"}));

    runColumns([&](HWND dialog) { // the sort column out: the first column sorts, descending
        Select(dialog, IDC_DISPLAYED_COLUMNS, 0);
        Click(dialog, IDC_REMOVE_COLUMN);
        Click(dialog, IDOK);
    });
    EXPECT_EQ(view.SortColumn(), 1);
    EXPECT_FALSE(CAXMonView::IsSortAscending());
    EXPECT_EQ(ObjectColumn(1), (Names{"30,720.0KB", "20,480.0KB", "10,240.0KB"}));
}

TEST_F(ViewTest, FindsAtTheFirstEnterInAHiddenColumnClearOfTheDialogWhichKeepsItsPlace) {
    ui::Profile::WriteString("AXMonitor", "ColsDisplayed", "Object Name;Space Used;");
    for (int i = 1; i <= 300; ++i)
        m_document.Add(("C:\\Obj" + std::to_string(1000 + i)).c_str(), 1000 - i, 1000);
    CAXMonView& view = OpenView();
    view.SetColWidth(1, 0); // Object Name hidden from sight
    ShowWindow(m_frame, SW_SHOW);
    EXPECT_TRUE(CommandEnabled(view, ID_EDIT_FIND));
    view.RouteCommand(ID_EDIT_FIND, 0, nullptr);
    HWND find = view.GetFindDialog();
    ASSERT_NE(find, nullptr);
    EXPECT_TRUE(view.IsTimerArmed());
    HWND edit = GetDlgItem(find, 0x480 /* edt1 */);
    for (char c : std::string("obj101"))
        SendMessageA(edit, WM_CHAR, static_cast<WPARAM>(c), 0);
    MSG enter{edit, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    ASSERT_TRUE(IsDialogMessageA(find, &enter));

    int row = 0, col = 0;
    ASSERT_TRUE(view.GetCurrentCell(row, col));
    // The rows are sorted by name, descending: the first match from the top is the highest name.
    EXPECT_EQ(col, 1);
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

TEST_F(ViewTest, CopyPutsTheCellsAsShownOnTheClipboard) {
    ui::Profile::WriteString(
        "AXMonitor", "ColsDisplayed",
        "Object Name;User;% Space Used;Space Used;Write Through;Enforce Quota;");
    m_document.Add("C:\\Data", 50 * kMB, 100 * kMB, AttrAbsolute | AttrWriteThrough);
    m_document.Add("C:\\Data", 30 * kMB, 40 * kMB, AttrNoEnforce, "alice");
    m_document.Add("C:\\Home", 5 * kMB, 10 * kMB, AttrGroupOwner, "STAFF");
    CAXMonView& view = OpenView();
    ClickHeading(4); // Space Used, descending
    ASSERT_TRUE(CommandEnabled(view, ID_EDIT_COPY));

    ASSERT_TRUE(view.RouteCommand(ID_EDIT_COPY, 0, nullptr));
    const std::string heading =
        "Object Name\tUser\t% Space Used\tSpace Used\tWrite Through\tEnforce Quota\r\n";
    EXPECT_EQ(ClipboardText(),
              heading + "C:\\Data\tObject (Absolute)\t50 %\t50.0MB\tEnabled\tEnabled\r\n" +
                  "C:\\Data\talice\t75 %\t30.0MB\tDisabled\tDisabled\r\n" +
                  "C:\\Home\tSTAFF\t50 %\t5.0MB\tDisabled\tEnabled\r\n");

    view.SelectRow(3, true); // only the selected rows once any is selected
    view.RouteCommand(ID_EDIT_COPY, 0, nullptr);
    EXPECT_EQ(ClipboardText(), heading + "C:\\Home\tSTAFF\t50 %\t5.0MB\tDisabled\tEnabled\r\n");
}

TEST_F(ViewTest, PauseStopsTheTimerUntilReleaseAndACommandMeanwhileRearmsIt) {
    m_document.Add("C:\\A", 10, 100);
    CAXMonView& view = OpenView(true);
    ASSERT_TRUE(view.IsTimerArmed());
    EXPECT_FALSE(CommandEnabled(view, ID_VIEW_RELEASE));
    for (bool commandWhilePaused : {false, true}) {
        EXPECT_TRUE(CommandEnabled(view, ID_VIEW_PAUSE));
        view.RouteCommand(ID_VIEW_PAUSE, 0, nullptr);
        EXPECT_TRUE(view.IsPaused());
        EXPECT_FALSE(view.IsTimerArmed());
        EXPECT_TRUE(view.IsBusy()); // results arriving now are dropped
        EXPECT_FALSE(CommandEnabled(view, ID_VIEW_PAUSE));
        EXPECT_TRUE(CommandEnabled(view, ID_VIEW_RELEASE));
        if (commandWhilePaused) {
            DialogDriver driver("Columns", [](HWND dialog) { Click(dialog, IDCANCEL); });
            view.RouteCommand(ID_VIEW_COLUMNS, 0, nullptr);
            EXPECT_TRUE(view.IsPaused());
            EXPECT_TRUE(view.IsTimerArmed());
            EXPECT_FALSE(view.IsBusy());
        }
        view.RouteCommand(ID_VIEW_RELEASE, 0, nullptr);
        EXPECT_FALSE(view.IsPaused());
        EXPECT_TRUE(view.IsTimerArmed());
        EXPECT_FALSE(view.IsBusy());
    }
}

TEST_F(ViewTest, TheViewAnswersItsCommandsAndLeavesTheOthersToTheFrame) {
    m_document.Add("C:\\A", 10, 100);
    CAXMonView& view = OpenView();
    SendMessageA(view.Handle(), WM_COMMAND, ID_VIEW_ZOOM_IN, 0); // as an accelerator sends it
    EXPECT_EQ(view.GetZoom(), 110);
    view.SetZoom(300);
    EXPECT_FALSE(CommandEnabled(view, ID_VIEW_ZOOM_IN));
    view.RouteCommand(ID_VIEW_ZOOM_100, 0, nullptr);
    EXPECT_EQ(view.GetZoom(), 100);
    EXPECT_FALSE(CommandEnabled(view, ID_FILE_SAVE));
    for (UINT command : {ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW, ID_FILE_PRINT_SETUP,
                         ID_QUOTA_PROPERTIES, ID_VIEW_ZOOM_OUT})
        EXPECT_TRUE(CommandEnabled(view, command)) << command;
    view.ClearCurrentCell(); // no row: the row commands show nothing
    EXPECT_TRUE(view.RouteCommand(ID_QUOTA_PROPERTIES, 0, nullptr));
    for (UINT command : {ID_EDIT_DELETE, ID_QUOTA_SCAN, ID_QUOTA_APPLY_TEMPLATE}) {
        MessageBoxWatch none("Kelvane", IDOK);
        EXPECT_TRUE(view.RouteCommand(command, 0, nullptr));
        EXPECT_TRUE(view.IsTimerArmed());
        EXPECT_TRUE(none.Texts().empty()) << command;
    }
    ui::CommandState other;
    view.QueryCommand(ID_APP_ABOUT, other);
    EXPECT_FALSE(other.Answered());
    EXPECT_FALSE(view.RouteCommand(ID_APP_ABOUT, 0, nullptr));
}
