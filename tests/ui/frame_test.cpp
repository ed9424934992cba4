// The frame lays out its bars and view, routes commands view -> frame -> application, keeps the
// toolbar's buttons in the state the handlers give, and shows help texts and key states.
#include "frame_fixture.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace {

using ui_test::TestApp;
using ui_test::TestFrame;

class Frame : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(frame.CreateTestFrame()); }
    void TearDown() override {
        if (frame.IsWindow())
            frame.Destroy();
    }
    std::string Tip(UINT id) {
        NMTTDISPINFOA info{};
        info.hdr.hwndFrom = reinterpret_cast<HWND>(frame.ToolBar().Send(TB_GETTOOLTIPS));
        info.hdr.idFrom = id;
        info.hdr.code = TTN_GETDISPINFOA;
        frame.Send(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
        return info.lpszText ? info.lpszText : "";
    }
    void SetToggles(bool caps, bool num, bool scroll) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_CAPITAL] = caps ? 1 : 0;
        keys[VK_NUMLOCK] = num ? 1 : 0;
        keys[VK_SCROLL] = scroll ? 1 : 0;
        SetKeyboardState(keys);
    }

    TestApp app;
    TestFrame frame;
};

TEST_F(Frame, ToolbarComesFromTheLayoutResourceWithToolTipsFromStrings) {
    EXPECT_EQ(frame.ToolBar().ButtonIds(),
              (std::vector<UINT>{ID_TEST_OPEN, ID_TEST_SAVE, 0, ID_TEST_PRINT}));
    EXPECT_EQ(frame.ToolBar().Send(TB_BUTTONCOUNT), 4);
    TBBUTTON button{};
    frame.ToolBar().Send(TB_GETBUTTON, 2, reinterpret_cast<LPARAM>(&button));
    EXPECT_TRUE(button.fsStyle & BTNS_SEP);
    frame.ToolBar().Send(TB_GETBUTTON, 3, reinterpret_cast<LPARAM>(&button));
    EXPECT_EQ(button.idCommand, ID_TEST_PRINT);
    EXPECT_EQ(button.iBitmap, 2) << "separators take no image";
    EXPECT_EQ(frame.ToolBar().ButtonImageSize().cx, 16);
    EXPECT_EQ(frame.ToolBar().ButtonImageSize().cy, 15);
    EXPECT_EQ(frame.ToolBar().Id(), static_cast<int>(ui::kToolBarControlId));
    EXPECT_EQ(frame.StatusBar().Id(), static_cast<int>(ui::kStatusBarControlId));

    EXPECT_EQ(Tip(ID_TEST_OPEN), "Open");
    EXPECT_EQ(Tip(ID_TEST_PRINT), "Print");
    EXPECT_EQ(frame.ToolBar().ToolTipText(ID_TEST_PLAIN), "") << "no text after a newline";
}

TEST_F(Frame, ToolbarFromMissingResourceFails) {
    ui::CDockToolBar bar;
    ASSERT_TRUE(bar.Create(frame.Handle(), 0xE810));
    EXPECT_FALSE(bar.LoadToolBar(999));
    EXPECT_TRUE(bar.ButtonIds().empty());
}

TEST_F(Frame, ViewFillsTheAreaBetweenTheBarsAlsoWhenBarsAreHidden) {
    RECT client = frame.ClientRect();
    RECT tool = frame.ToolBar().RectInParent();
    RECT status = frame.StatusBar().RectInParent();
    RECT view = frame.view.RectInParent();
    EXPECT_EQ(tool.top, 0);
    EXPECT_GT(tool.bottom, 0);
    EXPECT_EQ(status.bottom, client.bottom);
    EXPECT_EQ(view.left, 0);
    EXPECT_EQ(view.right, client.right);
    EXPECT_EQ(view.top, tool.bottom);
    EXPECT_EQ(view.bottom, status.top);

    frame.Send(WM_COMMAND, ui::kViewToolBarCommand);
    EXPECT_FALSE(frame.ToolBar().HasVisibleStyle());
    EXPECT_EQ(frame.view.RectInParent().top, 0);
    EXPECT_FALSE(frame.QueryCommandState(ui::kViewToolBarCommand).Checked());

    frame.Send(WM_COMMAND, ui::kViewStatusBarCommand);
    EXPECT_EQ(frame.view.RectInParent().bottom, frame.ClientRect().bottom);

    frame.Move(0, 0, 600, 500);
    client = frame.ClientRect();
    view = frame.view.RectInParent();
    EXPECT_EQ(view.right, client.right);
    EXPECT_EQ(view.bottom, client.bottom);

    frame.Send(WM_COMMAND, ui::kViewToolBarCommand);
    EXPECT_EQ(frame.view.RectInParent().top, frame.ToolBar().RectInParent().bottom);
    EXPECT_TRUE(frame.QueryCommandState(ui::kViewToolBarCommand).Checked());
}

TEST_F(Frame, LayoutOfAHiddenFrameKeepsTheBars) {
    frame.Hide();
    frame.Move(0, 0, 300, 250);
    EXPECT_TRUE(frame.QueryCommandState(ui::kViewToolBarCommand).Checked());
    EXPECT_EQ(frame.view.RectInParent().top, frame.ToolBar().RectInParent().bottom);
    EXPECT_EQ(frame.view.RectInParent().bottom, frame.StatusBar().RectInParent().top);
}

TEST_F(Frame, CommandsGoToViewThenFrameThenApplication) {
    app.log = &frame.log;
    frame.Send(WM_COMMAND, ID_TEST_OPEN);
    frame.Send(WM_COMMAND, ID_TEST_SAVE);
    frame.Send(WM_COMMAND, MAKEWPARAM(ID_TEST_PRINT, 0),
               reinterpret_cast<LPARAM>(frame.ToolBar().Handle()));
    frame.Send(WM_COMMAND, ID_TEST_PLAIN);
    EXPECT_EQ(frame.log, (std::vector<std::string>{"view open", "frame save", "app print"}));
}

TEST_F(Frame, HandlersGiveMenuItemsToolbarButtonsAndKeysTheirStates) {
    frame.Send(WM_COMMAND, ui::kViewStatusBarCommand);
    HMENU viewMenu = GetSubMenu(GetMenu(frame.Handle()), 1);
    HMENU fileMenu = GetSubMenu(GetMenu(frame.Handle()), 0);
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
    EXPECT_TRUE(frame.log.empty());

    frame.view.saveEnabled = true;
    frame.OnIdle();
    EXPECT_TRUE(frame.ToolBar().IsButtonEnabled(ID_TEST_SAVE));
    frame.Send(WM_COMMAND, MAKEWPARAM(ID_TEST_SAVE, 1));
    EXPECT_EQ(frame.log, (std::vector<std::string>{"frame save"}));
}

TEST_F(Frame, MessagePaneShowsTheHelpOfTheMenuItemUnderTheCursor) {
    ui::CDockStatusBar& bar = frame.StatusBar();
    EXPECT_EQ(bar.PaneCount(), 4);
    EXPECT_EQ(bar.PaneText(0), "Ready");
    HMENU fileMenu = GetSubMenu(GetMenu(frame.Handle()), 0);
    frame.Send(WM_MENUSELECT, MAKEWPARAM(ID_TEST_OPEN, MF_STRING),
               reinterpret_cast<LPARAM>(fileMenu));
    EXPECT_EQ(bar.PaneText(0), "Open a quota file");
    frame.Send(WM_MENUSELECT, MAKEWPARAM(ID_TEST_PLAIN, MF_STRING),
               reinterpret_cast<LPARAM>(fileMenu));
    EXPECT_EQ(bar.PaneText(0), "Only a status line");
    frame.Send(WM_MENUSELECT, MAKEWPARAM(0, MF_POPUP),
               reinterpret_cast<LPARAM>(GetMenu(frame.Handle())));
    EXPECT_EQ(bar.PaneText(0), "");
    frame.Send(WM_MENUSELECT, MAKEWPARAM(40000, MF_STRING), reinterpret_cast<LPARAM>(fileMenu));
    EXPECT_EQ(bar.PaneText(0), "Ready") << "a command without text";
    frame.Send(WM_MENUSELECT, MAKEWPARAM(ID_TEST_SAVE, MF_STRING),
               reinterpret_cast<LPARAM>(fileMenu));
    frame.Send(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(bar.PaneText(0), "Ready") << "the menu closed";
}

TEST_F(Frame, IndicatorsFollowTheKeyboardToggles) {
    ui::CDockStatusBar& bar = frame.StatusBar();
    SetToggles(true, false, true);
    frame.OnIdle();
    EXPECT_EQ(bar.PaneText(1), "CAP");
    EXPECT_EQ(bar.PaneText(2), "");
    EXPECT_EQ(bar.PaneText(3), "SCRL");
    SetToggles(false, true, false);
    frame.OnIdle();
    EXPECT_EQ(bar.PaneText(1), "");
    EXPECT_EQ(bar.PaneText(2), "NUM");
    EXPECT_EQ(bar.PaneText(3), "");
}

TEST_F(Frame, MessageLoopTranslatesAcceleratorsRunsIdleAndEndsWithTheMainWindow) {
    app.log = &frame.log;
    app.SetMainWindow(&frame);
    ASSERT_TRUE(app.UseAccelerators(IDR_TEST_MENU));
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    frame.Post(WM_KEYDOWN, 'P', 1);
    frame.closeWhenIdle = true;
    EXPECT_EQ(app.MessageLoop(), 0);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(frame.log, (std::vector<std::string>{"app print"}));
    EXPECT_GE(frame.idleCount, 1) << "idle work runs once the queue is empty";
    EXPECT_FALSE(frame.IsWindow());
}

class RunApp : public ui::App {
public:
    bool startUp = false;
    std::vector<std::string> steps;

protected:
    bool InitInstance() override {
        steps.push_back("init " + std::to_string(ShowCommand()));
        return startUp;
    }
    int ExitInstance(int loopExitCode) override {
        steps.push_back("exit " + std::to_string(loopExitCode));
        return 7;
    }
};

TEST(App, RunCallsInitAndExitAndRunsTheLoopOnlyAfterASuccessfulStart) {
    for (bool startUp : {false, true}) {
        RunApp app;
        app.startUp = startUp;
        EXPECT_EQ(ui::App::Current(), &app);
        // Without a main window a started loop ends at once.
        EXPECT_EQ(app.Run(nullptr, startUp ? SW_SHOW : SW_HIDE), 7);
        EXPECT_EQ(app.steps, (std::vector<std::string>{startUp ? "init 5" : "init 0", "exit 0"}));
    }
}

TEST(App, QuitMessageEndsTheLoopWithItsCode) {
    TestApp app;
    TestFrame frame;
    ASSERT_TRUE(frame.CreateTestFrame());
    app.SetMainWindow(&frame);
    PostQuitMessage(3);
    EXPECT_EQ(app.MessageLoop(), 3);
    EXPECT_TRUE(frame.IsWindow());
}

} // namespace
