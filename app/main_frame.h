// The console's main window: the monitor view with a toolbar, a status bar and an icon in the
// notification area. Closing it only hides it; the tray menu's Exit or WM_AXMON_EXIT end the
// console.
#pragma once

#include "monitor/connection_watch.h"
#include "ui/dock_frame_wnd.h"
#include "ui/tray_icon.h"

#include <functional>

class CServerPropertySheet;

namespace monitor {
class CAXMonDoc;
class CAXMonView;
} // namespace monitor

// Tray states and their icons.
constexpr int kTrayConnected = 1;
constexpr int kTrayDisconnected = 0;

class CMainFrame : public ui::CDockFrameWnd {
public:
    CMainFrame(monitor::CAXMonDoc& document,
               ui::CTrayIcon::NotifyFunction notify = Shell_NotifyIconA);

    // Creates the window hidden with its bars and tray icon; false when any of them fails.
    bool CreateMainWindow();
    // The monitor view it shows; not owned.
    void SetMonitorView(monitor::CAXMonView* view);

    int TrayState() const { return m_trayState; }
    // What the status bar says while no menu is open: "Ready", that the quota service does
    // not answer and since when, "Paused".
    std::string StatusText() const;
    // Toolbar states, key indicators and the status text.
    void OnIdle() override;
    const ui::CTrayIcon& TrayIcon() const { return m_trayIcon; }

    // Puts the window where it was when the console last ended and shows it with
    // `showCommand` (SW_HIDE: stays hidden, maximised when first shown if it was).
    void ShowAtStart(int showCommand);
    // Shows the window and refreshes at once (the tray's Monitor command).
    void ShowMonitor();
    // The server property sheet of this computer, modal (File > Properties, the tray menu);
    // brought to the front when it is open already.
    void ShowServerProperties();
    // Ends the console: stops the refresh thread and destroys the window.
    void CloseConsole();
    // Runs when the user's session ends, after the console closed (the process may end then).
    void SetSessionEndHandler(std::function<void()> handler) {
        m_onSessionEnd = std::move(handler);
    }

protected:
    bool OnCreate(const CREATESTRUCTA& create) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    void OnUpdateCommand(UINT id, ui::CommandState& state) override;
    bool OnClose() override;
    bool OnSysCommand(UINT command, LPARAM lParam) override;
    void OnTimer(UINT_PTR id) override;

private:
    void OnTrayNotification(UINT mouseMessage);
    void OnConnectionState(int state);
    void ShowTrayMenu();
    void ArmConnectionCheck();
    bool IsRefreshResting() const;

    monitor::CAXMonDoc& m_document;
    monitor::CAXMonView* m_view = nullptr;
    ui::CTrayIcon m_trayIcon;
    int m_trayState = kTrayConnected;
    std::string m_noAnswerSince; // local date and time the service stopped answering
    monitor::ConnectionWatch m_connectionWatch;
    bool m_closeExplained = false;
    bool m_maximiseWhenShown = false;
    bool m_closing = false;
    std::function<void()> m_onSessionEnd;
    CServerPropertySheet* m_openSheet = nullptr;
};
