#include "app/main_frame.h"

#include "base/resource_text.h"
#include "app/app_messages.h"
#include "app/window_placement.h"
#include "monitor/ax_mon_doc.h"
#include "monitor/ax_mon_view.h"
#include "monitor/monitor_messages.h"
#include "res/resource.h"
#include "base/handles.h"
#include "server/server_property_sheet.h"
#include "ui/frame_ids.h"
#include "ui/message_box.h"

// The frame toolkit and the menus of the resources name the same commands and bars.
static_assert(ui::kViewToolBarCommand == ID_VIEW_TOOLBAR);
static_assert(ui::kViewStatusBarCommand == ID_VIEW_STATUS_BAR);
static_assert(ui::kToolBarControlId == IDW_TOOLBAR);
static_assert(ui::kStatusBarControlId == IDW_STATUS_BAR);

namespace {

// Commands whose work the console does not offer yet; they stay disabled unless the view
// answers for them.
constexpr UINT kCommandsNotOffered[] = {ID_FILE_SAVE};

// The refresh after the window comes back: almost at once.
constexpr UINT kRefreshSoonMs = 5;

// While the refresh rests, the connection is checked at the refresh frequency by this timer.
constexpr UINT_PTR kConnectionCheckTimerId = 1;
constexpr UINT kDefaultCheckIntervalMs = 5000;

std::string LocalDateAndTime() {
    char date[64] = {};
    char time[64] = {};
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, sizeof date);
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, time, sizeof time);
    return std::string(date) + " " + time;
}

} // namespace

CMainFrame::CMainFrame(monitor::CAXMonDoc& document, ui::CTrayIcon::NotifyFunction notify)
    : m_document(document), m_trayIcon(notify) {}

bool CMainFrame::CreateMainWindow() {
    HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
    if (!menu)
        return false;
    if (!CreateFrame(kMainWindowClass, base::LoadText(IDS_APP_TITLE), menu)) {
        DestroyMenu(menu);
        return false;
    }
    return true;
}

void CMainFrame::SetMonitorView(monitor::CAXMonView* view) {
    m_view = view;
    SetView(view);
    ArmConnectionCheck();
}

void CMainFrame::ArmConnectionCheck() {
    SetTimer(m_hwnd, kConnectionCheckTimerId,
             m_view ? m_view->RefreshIntervalMs() : kDefaultCheckIntervalMs, nullptr);
}

bool CMainFrame::IsRefreshResting() const {
    return !IsVisible() || IsIconic() || (m_view && m_view->IsPaused());
}

void CMainFrame::OnTimer(UINT_PTR id) {
    if (id != kConnectionCheckTimerId)
        return;
    // The frequency may have changed since the timer was set.
    ArmConnectionCheck();
    if (IsRefreshResting())
        m_connectionWatch.Check(m_document.Server(), m_hwnd);
}

void CMainFrame::OnIdle() {
    CDockFrameWnd::OnIdle();
    if (StatusBar().IsWindow())
        StatusBar().SetIdleText(StatusText());
}

std::string CMainFrame::StatusText() const {
    std::string text;
    if (m_view && m_view->IsPaused())
        text = base::LoadText(IDS_STATUS_PAUSED);
    if (m_trayState == kTrayDisconnected) {
        if (!text.empty())
            text += "  ";
        text +=
            base::LoadFormattedText(IDS_STATUS_NO_ANSWER, {m_document.Server(), m_noAnswerSince});
    }
    return text.empty() ? base::LoadText(ui::kIdleMessageText) : text;
}

bool CMainFrame::OnCreate(const CREATESTRUCTA& create) {
    if (!CDockFrameWnd::OnCreate(create))
        return false;
    if (!CreateToolBar(IDR_MAINFRAME) || !CreateStatusBar())
        return false;

    // The notification area may not exist yet (started at logon before the shell, or no shell
    // at all): the icon then appears as soon as the taskbar announces itself.
    std::string tip = base::LoadText(IDS_TRAY_TIP);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!m_trayIcon.Create(m_hwnd, WM_AXMON_TRAY, instance) ||
        !m_trayIcon.AddStateIcon(kTrayConnected, IDI_CONNECTED, tip) ||
        !m_trayIcon.AddStateIcon(kTrayDisconnected, IDI_DISCONNECTED, tip))
        return false;
    m_trayState = kTrayConnected;
    m_trayIcon.ShowState(m_trayState);
    m_trayIcon.SetToolTip(tip);
    m_trayIcon.Show();
    return true;
}

bool CMainFrame::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_AXMON_TRAY:
        OnTrayNotification(static_cast<UINT>(lParam));
        result = 0;
        return true;
    case WM_AXMON_CONNECTED:
        OnConnectionState(static_cast<int>(wParam));
        result = 0;
        return true;
    case WM_AXMON_EXIT:
        CloseConsole();
        result = 0;
        return true;
    case WM_SHOWWINDOW:
        // However the window comes to show (the tray, a second start), it shows current rows.
        if (wParam && m_view)
            m_view->RefreshSoon(kRefreshSoonMs);
        if (wParam && m_maximiseWhenShown) {
            m_maximiseWhenShown = false;
            Post(WM_SYSCOMMAND, SC_MAXIMIZE);
        }
        return false;
    case WM_QUERYENDSESSION:
        result = TRUE;
        return true;
    case WM_ENDSESSION:
        // The process may end as soon as this returns: close and save now.
        if (wParam) {
            CloseConsole();
            if (m_onSessionEnd)
                m_onSessionEnd();
        }
        result = 0;
        return true;
    default:
        return CDockFrameWnd::OnMessage(message, wParam, lParam, result);
    }
}

bool CMainFrame::OnCommand(UINT id, UINT code, HWND control) {
    switch (id) {
    case ID_TRAY_MONITOR:
        ShowMonitor();
        return true;
    case ID_TRAY_EXIT:
        CloseConsole();
        return true;
    case ID_APP_EXIT:
        Send(WM_CLOSE);
        return true;
    case ID_FILE_PROPERTIES:
        ShowServerProperties();
        return true;
    default:
        return CDockFrameWnd::OnCommand(id, code, control);
    }
}

void CMainFrame::OnUpdateCommand(UINT id, ui::CommandState& state) {
    for (UINT notOffered : kCommandsNotOffered) {
        if (id == notOffered) {
            state.Enable(false);
            return;
        }
    }
    CDockFrameWnd::OnUpdateCommand(id, state);
}

bool CMainFrame::OnClose() {
    if (m_view)
        m_view->StopRefreshTimer();
    Hide();
    // The first time in a session, say where the console went.
    if (!m_closeExplained)
        m_closeExplained = m_trayIcon.ShowBalloon(base::LoadText(IDS_BALLOON_TITLE),
                                                  base::LoadText(IDS_BALLOON_TEXT));
    return true;
}

bool CMainFrame::OnSysCommand(UINT command, LPARAM) {
    if (!m_view)
        return false;
    if (command == SC_MINIMIZE)
        m_view->StopRefreshTimer();
    else if (command == SC_MAXIMIZE || command == SC_RESTORE)
        m_view->StartRefreshTimer(kRefreshSoonMs);
    return false;
}

void CMainFrame::ShowAtStart(int showCommand) {
    const bool maximised = RestoreWindowPlacement(m_hwnd);
    if (showCommand == SW_HIDE) {
        m_maximiseWhenShown = maximised;
        return;
    }
    Show(maximised ? SW_SHOWMAXIMIZED : showCommand);
}

void CMainFrame::ShowMonitor() {
    if (m_view)
        m_view->RefreshSoon(kRefreshSoonMs);
    Show(SW_SHOW);
    if (IsIconic())
        Show(SW_RESTORE);
    SetForegroundWindow(m_hwnd);
}

void CMainFrame::ShowServerProperties() {
    if (m_openSheet) {
        SetForegroundWindow(m_openSheet->Handle());
        return;
    }
    CServerPropertySheet sheet(m_hwnd);
    m_openSheet = &sheet;
    sheet.DoModal();
    m_openSheet = nullptr;
}

void CMainFrame::CloseConsole() {
    // A second close (another program's exit message) may arrive while the first one waits for
    // the refresh thread: it finds the first one under way.
    if (m_closing)
        return;
    m_closing = true;
    SaveWindowPlacement(m_hwnd);
    m_document.StopRefresh();
    Destroy();
}

void CMainFrame::OnTrayNotification(UINT mouseMessage) {
    // The tray stays reachable while the modal sheet disables this window: it only brings the
    // sheet back to the front then.
    if (m_openSheet) {
        if (mouseMessage == WM_LBUTTONDBLCLK || mouseMessage == WM_RBUTTONUP)
            SetForegroundWindow(m_openSheet->Handle());
        return;
    }
    if (mouseMessage == WM_LBUTTONDBLCLK)
        ShowMonitor();
    else if (mouseMessage == WM_RBUTTONUP)
        ShowTrayMenu();
}

void CMainFrame::OnConnectionState(int state) {
    if (state != m_trayState && state == kTrayDisconnected)
        m_noAnswerSince = LocalDateAndTime();
    m_trayState = state;
    m_trayIcon.ShowState(state,
                         base::LoadFormattedText(state == kTrayConnected ? IDS_TRAY_TIP_ANSWERS
                                                                         : IDS_TRAY_TIP_NO_ANSWER,
                                                 {m_document.Server()}));
    if (StatusBar().IsWindow())
        StatusBar().SetIdleText(StatusText());
}

void CMainFrame::ShowTrayMenu() {
    base::UniqueMenu menu(LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TRAY_MENU)));
    if (!menu)
        return;
    HMENU popup = GetSubMenu(menu.Get(), 0);
    SetMenuDefaultItem(popup, 0, TRUE);
    POINT cursor{};
    GetCursorPos(&cursor);
    SetForegroundWindow(m_hwnd);
    TrackPopupMenu(popup, TPM_CENTERALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, m_hwnd,
                   nullptr);
    SetForegroundWindow(m_hwnd);
}
