// The commands of the monitor view on the whole grid, driven through the view's command entry
// points as the frame routes them: the column chooser, zoom, find, copy, pause and release,
// and the layout of a printout.
#include "view_fixture.h"

#include "client/axcli.h"
#include "monitor/columns.h"
#include "monitor/columns_dlg.h"
#include "res/resource.h"
#include "ui/command_state.h"
#include "ui/profile.h"

#include <commdlg.h>

#include <algorithm>
#include <functional>
#include <map>

using namespace monitor;
using Names = std::vector<std::string>;

namespace {

constexpr uint64_t kMB = 1024 * 1024;

ColumnCodes Order(std::initializer_list<uint32_t> shown) {
    ColumnCodes order{};
    size_t next = 0;
    for (uint32_t code : shown)
        order[next++] = code;
    order[next++] = kColNone;
    for (uint32_t code = 1; code <= kColumnTypeCount; ++code)
        if (std::find(shown.begin(), shown.end(), code) == shown.end())
            order[next++] = code;
    return order;
}

struct ListItem {
    std::string text;
    uint32_t code;
    bool operator==(const ListItem&) const = default;
};

std::vector<ListItem> ListItems(HWND list) {
    std::vector<ListItem> items;
    const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[128] = {};
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        items.push_back({text, static_cast<uint32_t>(SendMessageA(list, LB_GETITEMDATA, i, 0))});
    }
    return items;
}

void Select(HWND dialog, int listId, int index) {
    HWND list = GetDlgItem(dialog, listId);
    SendMessageA(list, LB_SETCURSEL, index, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(listId, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}

void Click(HWND dialog, int id) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Drags displayed item `from` and drops it on item `onto` through the drag list notifications;
// returns the answers to DL_BEGINDRAG and DL_DRAGGING.
std::pair<LONG_PTR, LONG_PTR> Drag(HWND dialog, int from, int onto, bool cancel = false) {
    HWND list = GetDlgItem(dialog, IDC_DISPLAYED_COLUMNS);
    auto itemPoint = [&](int index) {
        RECT item{};
        SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
        POINT point{item.left + 5, (item.top + item.bottom) / 2};
        ClientToScreen(list, &point);
        return point;
    };
    const UINT dragMessage = RegisterWindowMessageA("commctrl_DragListMsg");
    auto notify = [&](UINT code, POINT point) {
        DRAGLISTINFO info{code, list, point};
        SendMessageA(dialog, dragMessage, IDC_DISPLAYED_COLUMNS, reinterpret_cast<LPARAM>(&info));
        return GetWindowLongPtrA(dialog, DWLP_MSGRESULT);
    };
    const LONG_PTR began = notify(DL_BEGINDRAG, itemPoint(from));
    const LONG_PTR dragging = notify(DL_DRAGGING, itemPoint(onto));
    notify(cancel ? DL_CANCELDRAG : DL_DROPPED, itemPoint(onto));
    return {began, dragging};
}

bool Enabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

// The Columns dialog a command shows modally, handed to `act` from inside its message loop.
std::function<void(HWND)> g_onDialog;
void CALLBACK ActOnColumnsDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = FindWindowA("#32770", "Columns");
    if (!dialog || !g_onDialog)
        return;
    KillTimer(nullptr, timer);
    auto act = std::move(g_onDialog);
    g_onDialog = nullptr;
    act(dialog);
}
void WhenColumnsDialogShows(std::function<void(HWND)> act) {
    g_onDialog = std::move(act);
    SetTimer(nullptr, 0, 20, ActOnColumnsDialog);
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

// ---- Columns dialog ---------------------------------------------------------------------------

class ColumnsDialogTest : public ViewTest {
protected:
    HWND Open(ColumnCodes& order, uint32_t unit = 2) {
        m_dialog = std::make_unique<CColumnsDlg>(order, unit, m_frame);
        EXPECT_TRUE(m_dialog->CreateModeless());
        return m_dialog->Handle();
    }
    std::unique_ptr<CColumnsDlg> m_dialog;
};

TEST_F(ColumnsDialogTest, ListsShownColumnsInOrderAndTheOthersSortedWithMarks) {
    ColumnCodes order = Order({kColServer, kColStatus, kColHighWater});
    HWND dialog = Open(order);

    EXPECT_EQ(ListItems(GetDlgItem(dialog, IDC_DISPLAYED_COLUMNS)),
              (std::vector<ListItem>{
                  {"Server", kColServer}, {"Status", kColStatus}, {"HighWater (AX Only)", 7}}));
    EXPECT_EQ(ListItems(GetDlgItem(dialog, IDC_AVAILABLE_COLUMNS)),
              (std::vector<ListItem>{{"% Space Free", kColFreePercent},
                                     {"% Space Used", kColUsedPercent},
                                     {"Capacity", kColCapacity},
                                     {"Enforce Quota (AX Only)", kColEnforce},
                                     {"Object Name", kColObjectName},
                                     {"Overdraft (AX Only)", kColOverdraft},
                                     {"Space Used", kColSpaceUsed},
                                     {"User (AX Only)", kColUser},
                                     {"Write Through (AX Only)", kColWriteThrough}}));
    EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_AVAILABLE_COLUMNS, LB_GETCURSEL, 0, 0), 0);
    EXPECT_TRUE(Enabled(dialog, IDC_ADD_COLUMN));
    EXPECT_FALSE(Enabled(dialog, IDC_REMOVE_COLUMN));
    EXPECT_TRUE(Enabled(dialog, IDOK));
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_SPACE_UNIT_MEGABYTES), BST_CHECKED);
}

TEST_F(ColumnsDialogTest, AddRemoveAndOkWriteTheNewOrderAndUnit) {
    ColumnCodes order = Order({kColStatus, kColObjectName});
    HWND dialog = Open(order);

    Select(dialog, IDC_AVAILABLE_COLUMNS, 0); // % Space Free
    Click(dialog, IDC_ADD_COLUMN);
    EXPECT_FALSE(Enabled(dialog, IDC_ADD_COLUMN));
    EXPECT_TRUE(Enabled(dialog, IDC_REMOVE_COLUMN));
    EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_DISPLAYED_COLUMNS, LB_GETCURSEL, 0, 0), 2);
    Click(dialog, IDC_ADD_COLUMN); // nothing selected on the available side: nothing happens
    EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_DISPLAYED_COLUMNS, LB_GETCOUNT, 0, 0), 3);

    Select(dialog, IDC_DISPLAYED_COLUMNS, 0); // Status goes back, sorted among the others
    Click(dialog, IDC_REMOVE_COLUMN);
    EXPECT_TRUE(Enabled(dialog, IDC_ADD_COLUMN));
    EXPECT_FALSE(Enabled(dialog, IDC_REMOVE_COLUMN));
    const auto available = ListItems(GetDlgItem(dialog, IDC_AVAILABLE_COLUMNS));
    const int statusIndex =
        static_cast<int>(SendDlgItemMessageA(dialog, IDC_AVAILABLE_COLUMNS, LB_GETCURSEL, 0, 0));
    ASSERT_GE(statusIndex, 0);
    EXPECT_EQ(available[statusIndex], (ListItem{"Status", kColStatus}));

    CheckRadioButton(dialog, IDC_SPACE_UNIT_BYTES, IDC_SPACE_UNIT_GIGABYTES,
                     IDC_SPACE_UNIT_GIGABYTES);
    CheckDlgButton(dialog, IDC_SPACE_UNIT_MEGABYTES, BST_UNCHECKED);
    Click(dialog, IDOK);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(m_dialog->SizeUnit(), 3u);
    // Available side: alphabetical by text ("HighWater (AX Only)" before "Object..." etc.).
    std::vector<uint32_t> tail(order.begin() + 3, order.end());
    EXPECT_EQ(order[0], kColObjectName);
    EXPECT_EQ(order[1], kColFreePercent);
    EXPECT_EQ(order[2], kColNone);
    std::vector<std::string> texts;
    for (uint32_t code : tail)
        texts.push_back(CColumnsDlg::ColumnText(code));
    EXPECT_TRUE(std::is_sorted(texts.begin(), texts.end(), [](const auto& a, const auto& b) {
        return lstrcmpiA(a.c_str(), b.c_str()) < 0;
    })) << ::testing::PrintToString(texts);
    EXPECT_EQ(tail.size(), 10u);
}

TEST_F(ColumnsDialogTest, OkIsDisabledWhileNothingIsDisplayed) {
    ColumnCodes order = Order({kColStatus, kColServer});
    const ColumnCodes before = order;
    HWND dialog = Open(order);
    for (int i = 0; i < 2; ++i) {
        Select(dialog, IDC_DISPLAYED_COLUMNS, 0);
        Click(dialog, IDC_REMOVE_COLUMN);
    }
    EXPECT_FALSE(Enabled(dialog, IDOK));
    Select(dialog, IDC_AVAILABLE_COLUMNS, 3);
    Click(dialog, IDC_ADD_COLUMN);
    EXPECT_TRUE(Enabled(dialog, IDOK));
    Click(dialog, IDCANCEL);
    EXPECT_EQ(order, before); // Cancel changes nothing
}

TEST_F(ColumnsDialogTest, DraggingReordersTheDisplayedList) {
    ColumnCodes order = Order({kColStatus, kColServer, kColObjectName, kColSpaceUsed});
    HWND dialog = Open(order);
    // Status (first) dropped on Space Used (fourth): lands before it.
    const auto answers = Drag(dialog, 0, 3);
    EXPECT_EQ(answers.first, TRUE);
    EXPECT_EQ(answers.second, DL_MOVECURSOR);
    // Space Used (now last) dropped on Server (first).
    Drag(dialog, 3, 0);
    // A drag that is cancelled moves nothing.
    Drag(dialog, 0, 2, true);
    EXPECT_TRUE(Enabled(dialog, IDC_REMOVE_COLUMN)); // the moved item is selected

    Click(dialog, IDOK);
    EXPECT_EQ(order[0], kColSpaceUsed);
    EXPECT_EQ(order[1], kColServer);
    EXPECT_EQ(order[2], kColObjectName);
    EXPECT_EQ(order[3], kColStatus);
    EXPECT_EQ(order[4], kColNone);
}

// ---- Column command ---------------------------------------------------------------------------

TEST_F(ViewTest, ColumnCommandSavesWidthsRebuildsAndKeepsTheSortColumn) {
    m_profile.WriteString("ColsDisplayed", "Status;Object Name;Space Used;Server;");
    m_document.Add("C:\\B", 20 * kMB, 100 * kMB);
    m_document.Add("C:\\A", 10 * kMB, 100 * kMB);
    m_document.Add("C:\\C", 30 * kMB, 100 * kMB);
    CAXMonView& view = OpenView();
    ClickHeading(2); // Object Name, descending
    ClickHeading(2); // ascending
    ASSERT_EQ(ObjectColumn(2), (Names{"C:\\A", "C:\\B", "C:\\C"}));
    view.SetColWidth(3, 77);

    WhenColumnsDialogShows([&](HWND dialog) {
        // Width saved before the dialog showed; nothing of the list yet.
        DWORD width = 0;
        EXPECT_TRUE(m_profile.ReadDword("Space Used", width));
        EXPECT_EQ(width, 77u);
        EXPECT_EQ(ProfileText("ColsDisplayed"), "Status;Object Name;Space Used;Server;");
        EXPECT_FALSE(view.IsTimerArmed());
        Select(dialog, IDC_DISPLAYED_COLUMNS, 0); // Status out
        Click(dialog, IDC_REMOVE_COLUMN);
        Drag(dialog, 2, 0); // Server first
        CheckRadioButton(dialog, IDC_SPACE_UNIT_BYTES, IDC_SPACE_UNIT_GIGABYTES,
                         IDC_SPACE_UNIT_KILOBYTES);
        Click(dialog, IDOK);
    });
    view.RouteCommand(ID_VIEW_COLUMNS, 0, nullptr);

    EXPECT_EQ(ProfileText("ColsDisplayed"), "Server;Object Name;Space Used;");
    ASSERT_EQ(view.GetColCount(), 3);
    EXPECT_EQ(view.GetValue(0, 1), "Server");
    EXPECT_EQ(view.GetValue(0, 2), "Object Name");
    EXPECT_EQ(view.GetValue(0, 3), "Space Used");
    EXPECT_EQ(view.SizeUnit(), 1u);
    EXPECT_EQ(view.GetValue(1, 3), "10,240.0KB");
    // The sort column followed Object Name to column 2, direction kept.
    EXPECT_EQ(view.SortColumn(), 2);
    EXPECT_TRUE(CAXMonView::IsSortAscending());
    EXPECT_EQ(ObjectColumn(2), (Names{"C:\\A", "C:\\B", "C:\\C"}));
    EXPECT_TRUE(view.IsTimerArmed());
    EXPECT_FALSE(view.IsBusy());
}

TEST_F(ViewTest, RemovingTheSortColumnSortsByTheFirstColumnDescending) {
    m_profile.WriteString("ColsDisplayed", "Object Name;Server;Space Used;");
    m_document.Add("C:\\B", 20 * kMB, 100 * kMB);
    m_document.Add("C:\\A", 10 * kMB, 100 * kMB);
    m_document.Add("C:\\C", 30 * kMB, 100 * kMB);
    CAXMonView& view = OpenView();
    ClickHeading(3);
    ClickHeading(3); // Space Used ascending
    ASSERT_TRUE(CAXMonView::IsSortAscending());

    WhenColumnsDialogShows([&](HWND dialog) {
        Select(dialog, IDC_DISPLAYED_COLUMNS, 2);
        Click(dialog, IDC_REMOVE_COLUMN);
        Click(dialog, IDOK);
    });
    view.RouteCommand(ID_VIEW_COLUMNS, 0, nullptr);

    EXPECT_EQ(view.GetColCount(), 2);
    EXPECT_EQ(view.SortColumn(), 1);
    EXPECT_FALSE(CAXMonView::IsSortAscending());
    EXPECT_EQ(ObjectColumn(1), (Names{"C:\\C", "C:\\B", "C:\\A"}));
}

TEST_F(ViewTest, CancellingTheColumnsDialogChangesNothingAndRearmsTheTimer) {
    m_profile.WriteString("ColsDisplayed", "Object Name;Server;");
    m_document.Add("C:\\A", 10, 100);
    CAXMonView& view = OpenView();
    WhenColumnsDialogShows([&](HWND dialog) {
        Select(dialog, IDC_DISPLAYED_COLUMNS, 0);
        Click(dialog, IDC_REMOVE_COLUMN);
        Click(dialog, IDCANCEL);
    });
    view.RouteCommand(ID_VIEW_COLUMNS, 0, nullptr);
    EXPECT_EQ(view.GetColCount(), 2);
    EXPECT_EQ(ProfileText("ColsDisplayed"), "Object Name;Server;");
    EXPECT_TRUE(view.IsTimerArmed());
}

TEST_F(ViewTest, OnAMonitoringOnlyServerConfirmingDropsUserButKeepsTheOtherFullServerColumns) {
    m_profile.WriteString("ColsDisplayed",
                          "Status;HighWater;User;Object Name;Overdraft;Write Through;"
                          "Enforce Quota;Space Used;");
    m_document.SetServerKind(kServerKindMonitorOnly);
    m_document.Add("C:\\A", 10, 100);
    CAXMonView& view = OpenView();
    ASSERT_EQ(view.GetColCount(), 3);
    EXPECT_EQ(view.GetValue(0, 2), "Object Name");

    std::vector<ListItem> available, displayed;
    WhenColumnsDialogShows([&](HWND dialog) {
        available = ListItems(GetDlgItem(dialog, IDC_AVAILABLE_COLUMNS));
        displayed = ListItems(GetDlgItem(dialog, IDC_DISPLAYED_COLUMNS));
        Click(dialog, IDOK);
    });
    view.RouteCommand(ID_VIEW_COLUMNS, 0, nullptr);

    EXPECT_NE(std::find(available.begin(), available.end(), ListItem{"User (AX Only)", kColUser}),
              available.end());
    EXPECT_EQ(displayed.size(), 7u);
    EXPECT_EQ(ProfileText("ColsDisplayed"),
              "Status;HighWater;Object Name;Overdraft;Write Through;Enforce Quota;Space Used;");
    EXPECT_EQ(view.GetColCount(), 3);
}

// ---- Zoom -------------------------------------------------------------------------------------

TEST_F(ViewTest, ZoomStepsByATenthWithinItsBounds) {
    m_document.Add("C:\\A", 10, 100);
    CAXMonView& view = OpenView();
    std::vector<int> in;
    while (CommandEnabled(view, ID_VIEW_ZOOM_IN)) {
        view.RouteCommand(ID_VIEW_ZOOM_IN, 0, nullptr);
        in.push_back(view.GetZoom());
    }
    EXPECT_EQ(in, (std::vector<int>{110, 121, 133, 146, 160, 176, 193, 212, 233, 256, 281, 309}));
    view.RouteCommand(ID_VIEW_ZOOM_IN, 0,
                      nullptr); // disabled from 300 up: the command does nothing
    EXPECT_EQ(view.GetZoom(), 309);

    view.RouteCommand(ID_VIEW_ZOOM_100, 0, nullptr);
    EXPECT_EQ(view.GetZoom(), 100);
    std::vector<int> out;
    while (CommandEnabled(view, ID_VIEW_ZOOM_OUT)) {
        view.RouteCommand(ID_VIEW_ZOOM_OUT, 0, nullptr);
        out.push_back(view.GetZoom());
    }
    EXPECT_EQ(out, (std::vector<int>{90, 81, 73, 66, 60, 54, 49, 44, 40}));
    EXPECT_TRUE(CommandEnabled(view, ID_VIEW_ZOOM_IN));

    view.SetZoom(299);
    EXPECT_TRUE(CommandEnabled(view, ID_VIEW_ZOOM_IN));
    view.SetZoom(300);
    EXPECT_FALSE(CommandEnabled(view, ID_VIEW_ZOOM_IN));
    view.SetZoom(41);
    EXPECT_TRUE(CommandEnabled(view, ID_VIEW_ZOOM_OUT));
    EXPECT_TRUE(CommandEnabled(view, ID_VIEW_ZOOM_100));
}

// ---- Find -------------------------------------------------------------------------------------

TEST_F(ViewTest, FindOpensTheGridsDialogAndReachesRowsAndColumnsOffTheScreen) {
    m_profile.WriteString("ColsDisplayed", "Status;Space Used;Object Name;Server;");
    for (int i = 1; i <= 200; ++i)
        m_document.Add(("C:\\Obj" + std::to_string(1000 + i)).c_str(), i, 100);
    CAXMonView& view = OpenView();
    view.SetColWidth(3, 0); // Object Name hidden from sight
    EXPECT_TRUE(CommandEnabled(view, ID_EDIT_FIND));

    view.RouteCommand(ID_EDIT_FIND, 0, nullptr);
    HWND find = view.GetFindDialog();
    ASSERT_NE(find, nullptr);
    EXPECT_TRUE(view.IsTimerArmed());
    SetDlgItemTextA(find, 0x480 /* edt1 */, "obj1187");
    SendMessageA(find, WM_COMMAND, IDOK, 0);

    int row = 0, col = 0;
    ASSERT_TRUE(view.GetCurrentCell(row, col));
    EXPECT_EQ(col, 3);
    EXPECT_EQ(view.GetValue(row, 3), "C:\\Obj1187");
    SendMessageA(find, WM_COMMAND, IDCANCEL, 0);
}

// ---- Copy -------------------------------------------------------------------------------------

TEST_F(ViewTest, CopyPutsTheCellsAsShownOnTheClipboard) {
    m_profile.WriteString("ColsDisplayed",
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

    view.SelectRow(3, true);
    view.RouteCommand(ID_EDIT_COPY, 0, nullptr);
    EXPECT_EQ(ClipboardText(), heading + "C:\\Home\tSTAFF\t50 %\t5.0MB\tDisabled\tEnabled\r\n");
}

// ---- Pause and release ------------------------------------------------------------------------

TEST_F(ViewTest, PauseStopsTheTimerAndReleaseRestartsIt) {
    m_document.Add("C:\\A", 10, 100);
    CAXMonView& view = OpenView(true);
    ASSERT_TRUE(view.IsTimerArmed());
    EXPECT_TRUE(CommandEnabled(view, ID_VIEW_PAUSE));
    EXPECT_FALSE(CommandEnabled(view, ID_VIEW_RELEASE));

    view.RouteCommand(ID_VIEW_PAUSE, 0, nullptr);
    EXPECT_TRUE(view.IsPaused());
    EXPECT_FALSE(view.IsTimerArmed());
    EXPECT_TRUE(view.IsBusy()); // results arriving now are dropped
    EXPECT_FALSE(CommandEnabled(view, ID_VIEW_PAUSE));
    EXPECT_TRUE(CommandEnabled(view, ID_VIEW_RELEASE));

    view.RouteCommand(ID_VIEW_RELEASE, 0, nullptr);
    EXPECT_FALSE(view.IsPaused());
    EXPECT_TRUE(view.IsTimerArmed());
    EXPECT_FALSE(view.IsBusy());
}

TEST_F(ViewTest, ACommandRunWhilePausedRearmsTheTimerAndReleaseOnlyClearsTheFlag) {
    m_document.Add("C:\\A", 10, 100);
    CAXMonView& view = OpenView(true);
    view.RouteCommand(ID_VIEW_PAUSE, 0, nullptr);
    ASSERT_FALSE(view.IsTimerArmed());

    WhenColumnsDialogShows([](HWND dialog) { Click(dialog, IDCANCEL); });
    view.RouteCommand(ID_VIEW_COLUMNS, 0, nullptr);
    EXPECT_TRUE(view.IsPaused());
    EXPECT_TRUE(view.IsTimerArmed());
    EXPECT_FALSE(view.IsBusy());

    view.RouteCommand(ID_VIEW_RELEASE, 0, nullptr);
    EXPECT_FALSE(view.IsPaused());
    EXPECT_TRUE(view.IsTimerArmed());
}

TEST_F(ViewTest, SaveStaysDisabledPropertiesEnabledAndOtherCommandsAreLeftToTheFrame) {
    CAXMonView& view = OpenView();
    EXPECT_FALSE(CommandEnabled(view, ID_FILE_SAVE));
    EXPECT_TRUE(CommandEnabled(view, ID_FILE_PRINT));
    EXPECT_TRUE(CommandEnabled(view, ID_FILE_PRINT_PREVIEW));
    EXPECT_TRUE(CommandEnabled(view, ID_FILE_PRINT_SETUP));
    EXPECT_TRUE(CommandEnabled(view, ID_QUOTA_PROPERTIES));
    view.ClearCurrentCell();
    EXPECT_TRUE(view.RouteCommand(ID_QUOTA_PROPERTIES, 0, nullptr)); // no row: nothing opens
    ui::CommandState other;
    view.QueryCommand(ID_APP_ABOUT, other);
    EXPECT_FALSE(other.Answered());
    EXPECT_FALSE(view.RouteCommand(ID_APP_ABOUT, 0, nullptr));
}

// ---- Printout layout --------------------------------------------------------------------------

TEST_F(ViewTest, APrintoutOfTwoHundredRowsTakesEveryRowOnceOnA4Pages) {
    m_profile.WriteString("ColsDisplayed", "Object Name;Space Used;Server;");
    for (int i = 1; i <= 200; ++i)
        m_document.Add(("C:\\Row" + std::to_string(1000 + i)).c_str(), i * kMB, 1000 * kMB);
    CAXMonView& view = OpenView();
    const SIZE a4{2480, 3508};
    const int pages = view.GetPrintPageCount(a4, 300);
    ASSERT_GE(pages, 2);

    // Read back what each page draws through a metafile: headings on every page, each row once.
    std::map<std::string, int> rowsSeen;
    for (int page = 0; page < pages; ++page) {
        HDC reference = GetDC(nullptr);
        HDC record = CreateEnhMetaFileA(reference, nullptr, nullptr, nullptr);
        ReleaseDC(nullptr, reference);
        view.PrintPage(record, a4, 300, page);
        HENHMETAFILE metafile = CloseEnhMetaFile(record);
        std::vector<std::string> texts;
        EnumEnhMetaFile(
            nullptr, metafile,
            [](HDC, HANDLETABLE*, const ENHMETARECORD* item, int, LPARAM data) -> int {
                if (item->iType == EMR_EXTTEXTOUTW) {
                    const auto* text = reinterpret_cast<const EMREXTTEXTOUTW*>(item);
                    const auto* chars = reinterpret_cast<const wchar_t*>(
                        reinterpret_cast<const BYTE*>(item) + text->emrtext.offString);
                    std::string narrow;
                    for (DWORD i = 0; i < text->emrtext.nChars; ++i)
                        narrow += static_cast<char>(chars[i]);
                    reinterpret_cast<std::vector<std::string>*>(data)->push_back(narrow);
                }
                return 1;
            },
            &texts, nullptr);
        DeleteEnhMetaFile(metafile);
        EXPECT_NE(std::find(texts.begin(), texts.end(), "Object Name"), texts.end()) << page;
        EXPECT_NE(std::find(texts.begin(), texts.end(), "Space Used"), texts.end()) << page;
        for (const std::string& text : texts)
            if (text.rfind("C:\\Row", 0) == 0)
                ++rowsSeen[text];
    }
    EXPECT_EQ(rowsSeen.size(), 200u);
    for (const auto& [row, count] : rowsSeen)
        EXPECT_EQ(count, 1) << row;
}

// ---- Command routing --------------------------------------------------------------------------

TEST_F(ViewTest, TheViewAnswersTheFramesCommandsAndTheirStates) {
    m_document.Add("C:\\A", 10, 100);
    CAXMonView& view = OpenView();

    SendMessageA(view.Handle(), WM_COMMAND, ID_VIEW_ZOOM_IN, 0); // as an accelerator sends it
    EXPECT_EQ(view.GetZoom(), 110);
    EXPECT_TRUE(view.RouteCommand(ID_VIEW_PAUSE, 0, nullptr));
    EXPECT_TRUE(view.IsPaused());
    ui::CommandState release, save, about;
    view.QueryCommand(ID_VIEW_RELEASE, release);
    view.QueryCommand(ID_FILE_SAVE, save);
    view.QueryCommand(ID_APP_ABOUT, about);
    EXPECT_TRUE(release.Answered() && release.Enabled());
    EXPECT_TRUE(save.Answered() && !save.Enabled());
    EXPECT_FALSE(about.Answered());
    EXPECT_FALSE(view.RouteCommand(ID_APP_ABOUT, 0, nullptr));
}
