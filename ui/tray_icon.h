// An icon in the taskbar's notification area with a tool tip and any number of states, each
// with its own icon. The icon survives the notification area: when there is none yet (no shell
// running) the icon waits, and it is added again whenever the taskbar announces itself with the
// "TaskbarCreated" message (first start or restart of the shell), in the state last set.
#pragma once

#include "base/handles.h"
#include "ui/window_base.h"

#include <shellapi.h>

#include <map>
#include <memory>
#include <string>

namespace ui {

class CTrayIcon {
public:
    // The shell call; tests put a counting one in its place.
    using NotifyFunction = BOOL(WINAPI*)(DWORD message, NOTIFYICONDATAA* data);

    explicit CTrayIcon(NotifyFunction notify = Shell_NotifyIconA);
    ~CTrayIcon(); // removes the icon
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;

    // The icon belongs to owner, which receives callbackMessage with the mouse message in lParam.
    bool Create(HWND owner, UINT callbackMessage, HINSTANCE instance = nullptr, UINT id = 1);
    // Registers the icon resource of a state (loaded at the small-icon size) and its tool tip.
    bool AddStateIcon(int state, UINT iconResourceId, const std::string& toolTip);
    // Changes the shown state; nothing happens when it is the current state already.
    bool ShowState(int state);
    // Changes the shown state and the tool tip of every state together, in one shell call.
    bool ShowState(int state, const std::string& toolTip);
    int State() const { return m_state; }
    // The tool tip of every state from now on.
    bool SetToolTip(const std::string& toolTip);
    const std::string& ToolTip() const;

    // A balloon from the icon with a title and a text (the icon must be shown).
    bool ShowBalloon(const std::string& title, const std::string& text);

    // Puts the icon in the notification area (as soon as there is one) or takes it out.
    bool Show();
    bool Hide();
    bool IsShown() const { return m_wanted; }
    // The notification area holds the icon now.
    bool IsInNotificationArea() const { return m_added; }

    // The taskbar (re)started: the icon is added again if it is shown.
    void OnTaskbarCreated();
    static UINT TaskbarCreatedMessage();

private:
    class TaskbarListener;
    struct StateIcon {
        base::UniqueIcon icon;
        std::string toolTip;
    };

    NOTIFYICONDATAA Data() const;
    bool Add();
    bool Refresh();

    NotifyFunction m_notify;
    HWND m_owner = nullptr;
    UINT m_callbackMessage = 0;
    HINSTANCE m_instance = nullptr;
    UINT m_id = 1;
    std::map<int, StateIcon> m_icons;
    int m_state = 0;
    bool m_stateChosen = false;
    std::string m_toolTip;
    bool m_wanted = false;
    bool m_added = false;
    std::unique_ptr<TaskbarListener> m_listener;
};

} // namespace ui
