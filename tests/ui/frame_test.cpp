// The frame lays out its bars and view, routes commands view -> frame -> application, gives menu
// items and toolbar buttons the states the handlers give, and shows help texts and key states;
// the application's loop translates accelerators and runs idle work.
#include "base/window_class.h"
#include "ui/app.h"
#include "ui/dock_frame_wnd.h"

#include "test_resources.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;
Log g_log; // the commands as each window handled them

class TestView : public ui::WindowBase {
public:
    bool saveEnabled = false;

protected:
    bool OnCommand(UINT id, UINT, HWND) override {
        return id == ID_TEST_OPEN && (g_log.push_back("view open"), true);
    }
    void OnUpdateCommand(UINT id, ui::CommandState& state) override {
        if (id == ID_TEST_SAVE)
            state.Enable(saveEnabled);
    }
};

class TestFrame : public ui::CDockFrameWnd {
public:
    TestView view;
    bool closeWhenIdle = false;

    void OnIdle() override {
        CDockFrameWnd::OnIdle();
        if (closeWhenIdle)
            Post(WM_CLOSE);
    }

protected:
    bool OnCreate(const CREATESTRUCTA&) override {
        return CreateToolBar(IDR_TEST_TOOLBAR) && CreateStatusBar() &&
               view.Create(nullptr, "", WS_CHILD | WS_VISIBLE, 0, RECT{0, 0, 10, 10}, m_hwnd,
                           reinterpret_cast<HMENU>(UINT_PTR{ui::kFirstPaneControlId})) &&
               (SetView(&view), true);
    }
    bool OnCommand(UINT id, UINT code, HWND control) override {
        if (id != ID_TEST_OPEN && id != ID_TEST_SAVE)
            return CDockFrameWnd::OnCommand(id, code, control);
        g_log.push_back(id == ID_TEST_OPEN ? "frame open" : "frame save");
        return true;
    }
    void OnUpdateCommand(UINT id, ui::CommandState& state) override {
        if (id == ID_TEST_PRINT)
            state.Check(true);
        else
            CDockFrameWnd::OnUpdateCommand(id, state);
    }
};

class TestApp : public ui::App {
public:
    bool OnCommand(UINT id) override {
        return id == ID_TEST_PRINT && (g_log.push_back("app print"), true);
    }
};

// A frame made with a class whose procedure is DefWindowProc, as the console's own class is.
class Frame : public testing::Test {
protected:
    void SetUp() override {
        g_log.clear();
        base::WindowClass windowClass;
        windowClass.name = "KelvaneTest.Frame";
        base::RegisterWindowClass(windowClass);
        HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TEST_MENU));
        ASSERT_TRUE(frame.CreateFrame(windowClass.name, "Frame test", menu, WS_OVERLAPPEDWINDOW, 0,
                                      RECT{0, 0, 480, 360}));
        frame.Show();
    }
    void TearDown() override {
        if (frame.IsWindow())
            frame.Destroy();
    }
    void SetKeys(std::initializer_list<std::pair<int, BYTE>> states) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        for (auto [key, state] : states)
            keys[key] = state;
        SetKeyboardState(keys);
    }
    void ExpectViewBetweenTheBars() {
        const RECT client = frame.ClientRect(), view = frame.view.RectInParent();
        EXPECT_EQ(view.left, 0);
        EXPECT_EQ(view.right, client.right);
        EXPECT_EQ(view.top,
                  frame.ToolBar().HasVisibleStyle() ? frame.ToolBar().RectInParent().bottom : 0);
        EXPECT_EQ(view.bottom, frame.StatusBar().HasVisibleStyle()
                                   ? frame.StatusBar().RectInParent().top
                                   : client.bottom);
    }

    TestApp app;
    TestFrame frame;
};

} // namespace

TEST_F(Frame, ViewFillsTheAreaBetweenTheToolbarFromItsResourceAndTheStatusBar) {
    EXPECT_EQ(frame.ToolBar().ButtonIds(),
              (std::vector<UINT>{ID_TEST_OPEN, ID_TEST_SAVE, 0, ID_TEST_PRINT}));
    TBBUTTON button{};
    frame.ToolBar().Send(TB_GETBUTTON, 3, reinterpret_cast<LPARAM>(&button));
    EXPECT_EQ(button.iBitmap, 2) << "separators take no image";
    EXPECT_EQ(frame.ToolBar().ToolTipText(ID_TEST_PRINT), "Print");
    EXPECT_GT(frame.ToolBar().RectInParent().bottom, 0);
    ExpectViewBetweenTheBars();

    frame.Send(WM_COMMAND, ui::kViewToolBarCommand);
    EXPECT_FALSE(frame.ToolBar().HasVisibleStyle());
    frame.Send(WM_COMMAND, ui::kViewStatusBarCommand);
    frame.Move(0, 0, 600, 500);
    ExpectViewBetweenTheBars();
    frame.Send(WM_COMMAND, ui::kViewToolBarCommand);
    frame.Send(WM_COMMAND, ui::kViewStatusBarCommand);
    ExpectViewBetweenTheBars();

    frame.Hide(); // a hidden frame keeps its bars
    frame.Move(0, 0, 300, 250);
    EXPECT_TRUE(frame.QueryCommandState(ui::kViewToolBarCommand).Checked());
    ExpectViewBetweenTheBars();
}

TEST_F(Frame, CommandsGoToViewFrameAndApplicationAndTheirStatesToMenusButtonsAndKeys) {
    frame.Send(WM_COMMAND, ID_TEST_OPEN);
    frame.Send(WM_COMMAND, MAKEWPARAM(ID_TEST_PRINT, 0),
               reinterpret_cast<LPARAM>(frame.ToolBar().Handle()));
    frame.Send(WM_COMMAND, ID_TEST_PLAIN);
    EXPECT_EQ(g_log, (Log{"view open", "app print"}));
    g_log.clear();

    frame.Send(WM_COMMAND, ui::kViewStatusBarCommand);
    HMENU fileMenu = GetSubMenu(GetMenu(frame.Handle()), 0);
    HMENU viewMenu = GetSubMenu(GetMenu(frame.Handle()), 1);
    frame.Send(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(viewMenu), 1);
    frame.Send(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(fileMenu), 0);
    EXPECT_TRUE(GetMenuState(viewMenu, ui::kViewToolBarCommand, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_FALSE(GetMenuState(viewMenu, ui::kViewStatusBarCommand, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(GetMenuState(fileMenu, ID_TEST_SAVE, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(GetMenuState(fileMenu, ID_TEST_OPEN, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(GetMenuState(fileMenu, ID_TEST_PRINT, MF_BYCOMMAND) & MF_CHECKED);

    frame.OnIdle(); // idle time updates the toolbar
    EXPECT_TRUE(frame.ToolBar().IsButtonEnabled(ID_TEST_OPEN));
    EXPECT_FALSE(frame.ToolBar().IsButtonEnabled(ID_TEST_SAVE));
    EXPECT_TRUE(frame.ToolBar().IsButtonChecked(ID_TEST_PRINT));
    frame.Send(WM_COMMAND, MAKEWPARAM(ID_TEST_SAVE, 1)); // the key of a disabled command
    EXPECT_TRUE(g_log.empty());
    frame.view.saveEnabled = true;
    frame.OnIdle();
    EXPECT_TRUE(frame.ToolBar().IsButtonEnabled(ID_TEST_SAVE));
    frame.Send(WM_COMMAND, MAKEWPARAM(ID_TEST_SAVE, 1));
    EXPECT_EQ(g_log, (Log{"frame save"}));
}

TEST_F(Frame, StatusBarShowsTheHelpOfTheMenuItemUnderTheCursorAndTheKeyToggles) {
    ui::CDockStatusBar& bar = frame.StatusBar();
    EXPECT_EQ(bar.PaneText(0), "Ready");
    HMENU fileMenu = GetSubMenu(GetMenu(frame.Handle()), 0);
    const struct {
        WPARAM selection;
        HMENU menu;
        const char* text;
    } selections[] = {
        {MAKEWPARAM(ID_TEST_OPEN, MF_STRING), fileMenu, "Open a quota file"},
        {MAKEWPARAM(ID_TEST_PLAIN, MF_STRING), fileMenu, "Only a status line"},
        {MAKEWPARAM(0, MF_POPUP), GetMenu(frame.Handle()), ""},
        {MAKEWPARAM(40000, MF_STRING), fileMenu, "Ready"}, // a command without text
        {MAKEWPARAM(0, 0xFFFF), nullptr, "Ready"},         // the menu closed
    };
    for (const auto& select : selections) {
        frame.Send(WM_MENUSELECT, select.selection, reinterpret_cast<LPARAM>(select.menu));
        EXPECT_EQ(bar.PaneText(0), select.text) << select.selection;
    }

    SetKeys({{VK_CAPITAL, 1}, {VK_NUMLOCK, 0}, {VK_SCROLL, 1}});
    frame.OnIdle();
    EXPECT_EQ((Log{bar.PaneText(1), bar.PaneText(2), bar.PaneText(3)}), (Log{"CAP", "", "SCRL"}));
    SetKeys({{VK_CAPITAL, 0}, {VK_NUMLOCK, 1}, {VK_SCROLL, 0}});
    frame.OnIdle();
    EXPECT_EQ((Log{bar.PaneText(1), bar.PaneText(2), bar.PaneText(3)}), (Log{"", "NUM", ""}));
}

TEST_F(Frame, MessageLoopTranslatesAcceleratorsRunsIdleAndEndsWithTheMainWindowOrAQuit) {
    app.SetMainWindow(&frame);
    PostQuitMessage(3);
    EXPECT_EQ(app.MessageLoop(), 3);
    EXPECT_TRUE(frame.IsWindow());

    ASSERT_TRUE(app.UseAccelerators(IDR_TEST_MENU));
    SetKeys({{VK_CONTROL, 0x80}});
    frame.Post(WM_KEYDOWN, 'P', 1);
    frame.closeWhenIdle = true; // idle work runs once the queue is empty
    EXPECT_EQ(app.MessageLoop(), 0);
    SetKeys({{VK_CONTROL, 0}});
    EXPECT_EQ(g_log, (Log{"app print"}));
    EXPECT_FALSE(frame.IsWindow());
}
