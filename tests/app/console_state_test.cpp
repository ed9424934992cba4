// What the console shows of the quota service while it lives in the tray: the icon, its tip and
// the status bar follow the real service from the first moment, also with the window hidden;
// the first close explains itself in a balloon.
#include "app/app_messages.h"
#include "app/main_frame.h"
#include "monitor/ax_mon_doc.h"
#include "monitor/ax_mon_view.h"
#include "quota_service.h"
#include "res/resource.h"
#include "ui/frame_ids.h"
#include "ui/profile.h"
#include "ui/thread.h"

#include <gtest/gtest.h>

namespace {

int g_balloons = 0;

BOOL WINAPI RecordTrayCall(DWORD, NOTIFYICONDATAA* data) {
    g_balloons += (data->uFlags & NIF_INFO) != 0;
    return TRUE;
}

} // namespace

// The frame, view and document as the application puts them together, hidden, refreshing every
// second.
TEST(ConsoleState, TrayTipStatusBarAndBalloonFollowTheServiceAlsoWhileHidden) {
    ui::Profile::SetRoot("Ostrel", "KelvaneStateTest" + std::to_string(GetCurrentProcessId()));
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = kMainWindowClass;
    RegisterClassA(&windowClass);
    monitor::CAXMonDoc document;
    CMainFrame frame(document, RecordTrayCall);
    monitor::CAXMonView view(document);
    auto trayBecomes = [&](int state) {
        return ui::PumpMessagesUntil([&] { return frame.TrayState() == state; }, 15000);
    };
    auto statusText = [&] {
        frame.OnIdle();
        return frame.StatusBar().PaneText(0);
    };

    StopServices();
    ASSERT_TRUE(frame.CreateMainWindow());
    ASSERT_TRUE(view.Create(frame.Handle(), frame.ClientRect(), ui::kFirstPaneControlId));
    view.SetFrequencySource([] { return 1u; });
    view.SetStartedHidden(true);
    frame.SetMonitorView(&view);
    document.SetMainWindow(frame.Handle());
    document.SetStartedHidden(true);
    ASSERT_TRUE(document.OnOpenDocument(""));
    view.OnInitialUpdate();
    frame.ShowAtStart(SW_HIDE);
    // The first state comes from the connection of the open, before any refresh.
    const std::string server = document.Server();
    EXPECT_EQ(kTrayDisconnected, frame.TrayState());
    EXPECT_EQ("Kelvane: the quota service on " + server + " does not answer",
              frame.TrayIcon().ToolTip());
    EXPECT_EQ(0u, statusText().find("The quota service on " + server + " does not answer (since "))
        << statusText();

    EnsureServicesRunning();
    ASSERT_TRUE(trayBecomes(kTrayConnected));
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

    frame.CloseConsole();
    document.OnCloseDocument();
    RegDeleteTreeA(HKEY_CURRENT_USER, ui::Profile::RootPath().c_str());
    EnsureServicesRunning();
}
