// The context menu of a grid row in the console's main frame: a right click on a data row shows
// it at the click point without moving the current cell, and its command reaches the view
// through the main window for the current cell's row.
#include "console_fixture.h"
#include "res/resource.h"
#include "ui/thread.h"
#include "ui_test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

namespace {

HWND FindPopupMenu() {
    HWND found = nullptr;
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            char name[16] = {};
            GetClassNameA(window, name, sizeof name);
            if (strcmp(name, "#32768") != 0 || !IsWindowVisible(window))
                return TRUE;
            *reinterpret_cast<HWND*>(context) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

} // namespace

TEST(RowMenu, RightClickShowsTheRowMenuWhoseCommandActsOnTheCurrentRow) {
    ConsoleWindows console;
    ASSERT_TRUE(console.Create());
    FilledDocument& document = console.document;
    CMainFrame& frame = console.frame;
    monitor::CAXMonView& view = console.view;
    for (const char* object : {"C:\\First", "C:\\Second", "C:\\Third"})
        document.Add(object, 0, 1000);
    view.OnInitialUpdate();
    frame.Show(SW_SHOW);
    ASSERT_TRUE(view.SetCurrentCell(1, 2));
    const std::string current = view.EntryOfRow(1)->record.GetMappedName(1);

    // A right click on row 3 opens the menu there; its Delete asks about the current row.
    const POINT click{40, view.GetRowHeight() * 3 + view.GetRowHeight() / 2};
    POINT screen = click;
    ClientToScreen(view.Handle(), &screen);
    RECT menuRect{};
    std::atomic<bool> menuShown{false};
    std::thread user([&] {
        HWND menu = nullptr;
        if (!WaitUntil([&] { return (menu = FindPopupMenu()) != nullptr; }, 10000))
            return;
        GetWindowRect(menu, &menuRect);
        menuShown = true;
        PostMessageA(menu, WM_CHAR, 'd', 0);
    });
    MessageBoxWatch answers("Kelvane", IDNO);
    SendMessageA(view.Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(click.x, click.y));
    SendMessageA(view.Handle(), WM_RBUTTONUP, 0, MAKELPARAM(click.x, click.y));
    user.join();
    ASSERT_TRUE(menuShown);
    EXPECT_EQ(screen.x, menuRect.left);
    EXPECT_EQ(screen.y, menuRect.top);
    EXPECT_TRUE(view.IsTimerArmed()) << "the refresh comes back once the menu is gone";

    // The command comes posted to the main window, which routes it to the view.
    ASSERT_TRUE(ui::PumpMessagesUntil([&] { return answers.Answered(); }, 10000));
    ASSERT_EQ(1u, answers.Texts().size());
    EXPECT_EQ("Delete default quota of object " + current + ".  Are you sure?", answers.Texts()[0]);
    int row = 0, col = 0;
    ASSERT_TRUE(view.GetCurrentCell(row, col));
    EXPECT_EQ(1, row);
    EXPECT_EQ(3, view.GetRowCount());

    EXPECT_FALSE(view.OnCellRightClick(0, 1, 0, click)) << "a menu on the heading row";
    frame.Send(WM_COMMAND, ID_TRAY_EXIT);
}
