// What the console shows of the quota service while it lives in the tray: the icon, its tip and
// the status bar follow the real service from the first moment, also with the window hidden;
// the first close only hides and explains itself in a balloon, a double click on the icon shows
// the window again.
#include "console_fixture.h"
#include "quota_service.h"
#include "res/resource.h"
#include "ui/profile.h"
#include "ui/thread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

int g_balloons = 0;
std::vector<DWORD> g_trayCalls;

BOOL WINAPI RecordTrayCall(DWORD message, NOTIFYICONDATAA* data) {
    g_balloons += (data->uFlags & NIF_INFO) != 0;
    g_trayCalls.push_back(message);
    return TRUE;
}

int TrayCalls(DWORD message) {
    return static_cast<int>(std::count(g_trayCalls.begin(), g_trayCalls.end(), message));
}

} // namespace

// The frame, view and document as the application puts them together, hidden, refreshing every
// second.
TEST(ConsoleState, TrayTipStatusBarAndBalloonFollowTheServiceAlsoWhileHidden) {
    ui::Profile::SetRoot("Ostrel", "KelvaneStateTest" + std::to_string(GetCurrentProcessId()));
    ConsoleWindows console(RecordTrayCall);
    FilledDocument& document = console.document;
    CMainFrame& frame = console.frame;
    monitor::CAXMonView& view = console.view;
    auto trayBecomes = [&](int state) {
        return ui::PumpMessagesUntil([&] { return frame.TrayState() == state; }, 15000);
    };
    auto statusText = [&] {
        frame.OnIdle();
        return frame.StatusBar().PaneText(0);
    };

    StopServices();
    ASSERT_TRUE(console.Create());
    view.SetFrequencySource([] { return 1u; });
    document.SetStartedHidden(true);
    ASSERT_TRUE(document.OnOpenDocument(""));
    view.OnInitialUpdate();
    frame.ShowAtStart(SW_HIDE);
    // The first state comes from the connection of the open, before any refresh.
    const std::string server = document.Server();
    EXPECT_TRUE(document.messages.empty());
    EXPECT_TRUE(frame.ToolBar().IsWindow());
    EXPECT_EQ(1, TrayCalls(NIM_ADD));
    EXPECT_EQ(kTrayDisconnected, frame.TrayState());
    EXPECT_EQ("Kelvane: the quota service on " + server + " does not answer",
              frame.TrayIcon().ToolTip());
    EXPECT_EQ(0u, statusText().find("The quota service on " + server + " does not answer (since "))
        << statusText();

    const int modifies = TrayCalls(NIM_MODIFY);
    EnsureServicesRunning();
    ASSERT_TRUE(trayBecomes(kTrayConnected));
    EXPECT_GT(TrayCalls(NIM_MODIFY), modifies);
    EXPECT_FALSE(frame.IsVisible());
    EXPECT_EQ("Kelvane: the quota service on " + server + " answers", frame.TrayIcon().ToolTip());
    EXPECT_EQ("Ready", statusText());

    frame.Show(SW_SHOW);
    frame.ExecuteCommand(ID_VIEW_PAUSE);
    EXPECT_EQ(0u, statusText().find("Paused")) << statusText();
    frame.ExecuteCommand(ID_VIEW_RELEASE);
    EXPECT_EQ("Ready", statusText());
    for (int close = 0; close < 2; ++close) {
        frame.Send(WM_CLOSE);
        frame.Show(SW_SHOW);
    }
    EXPECT_EQ(1, g_balloons);

    frame.Send(WM_CLOSE);
    StopServices();
    EXPECT_TRUE(trayBecomes(kTrayDisconnected));
    EXPECT_FALSE(frame.IsVisible());
    // The refresh quietly delivers an empty result.
    EXPECT_TRUE(ui::PumpMessagesUntil([&] { return document.DisplayedList().empty(); }, 15000));
    EXPECT_TRUE(document.messages.empty());
    frame.Send(WM_AXMON_TRAY, 0, WM_MOUSEMOVE);
    EXPECT_FALSE(frame.IsVisible());
    frame.Send(WM_AXMON_TRAY, 0, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(frame.IsVisible());

    frame.CloseConsole();
    EXPECT_FALSE(frame.IsWindow());
    document.OnCloseDocument();
    RegDeleteTreeA(HKEY_CURRENT_USER, ui::Profile::RootPath().c_str());
    EnsureServicesRunning();
}
