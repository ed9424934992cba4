#include "ui/tray_icon.h"

#include <cstring>

namespace ui {

// A hidden top-level window: the taskbar's announcement is broadcast to top-level windows only.
class CTrayIcon::TaskbarListener : public WindowBase {
public:
    explicit TaskbarListener(CTrayIcon& icon) : m_icon(icon) {}

protected:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        if (message == TaskbarCreatedMessage() && message != 0) {
            m_icon.OnTaskbarCreated();
            result = 0;
            return true;
        }
        return WindowBase::OnMessage(message, wParam, lParam, result);
    }

private:
    CTrayIcon& m_icon;
};

CTrayIcon::CTrayIcon(NotifyFunction notify) : m_notify(notify) {}

CTrayIcon::~CTrayIcon() {
    Hide();
}

UINT CTrayIcon::TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageA("TaskbarCreated");
    return message;
}

bool CTrayIcon::Create(HWND owner, UINT callbackMessage, HINSTANCE instance, UINT id) {
    m_owner = owner;
    m_callbackMessage = callbackMessage;
    m_instance = instance ? instance : GetModuleHandleA(nullptr);
    m_id = id;
    m_listener = std::make_unique<TaskbarListener>(*this);
    return m_listener->Create(nullptr, "Kelvane.TaskbarListener", WS_POPUP);
}

bool CTrayIcon::AddStateIcon(int state, UINT iconResourceId, const std::string& toolTip) {
    base::UniqueIcon icon(static_cast<HICON>(
        LoadImageA(m_instance, MAKEINTRESOURCEA(iconResourceId), IMAGE_ICON,
                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));
    if (!icon)
        return false;
    m_icons[state] = StateIcon{std::move(icon), toolTip};
    return state == m_state && m_stateChosen ? Refresh() : true;
}

bool CTrayIcon::ShowState(int state) {
    if (m_stateChosen && state == m_state)
        return true;
    m_state = state;
    m_stateChosen = true;
    return Refresh();
}

bool CTrayIcon::ShowState(int state, const std::string& toolTip) {
    if (m_stateChosen && state == m_state && toolTip == m_toolTip)
        return true;
    m_state = state;
    m_stateChosen = true;
    m_toolTip = toolTip;
    return Refresh();
}

bool CTrayIcon::ShowBalloon(const std::string& title, const std::string& text) {
    if (!m_added)
        return false;
    NOTIFYICONDATAA data = Data();
    data.uFlags |= NIF_INFO;
    data.dwInfoFlags = NIIF_INFO;
    std::strncpy(data.szInfoTitle, title.c_str(), sizeof data.szInfoTitle - 1);
    std::strncpy(data.szInfo, text.c_str(), sizeof data.szInfo - 1);
    return m_notify(NIM_MODIFY, &data) != FALSE;
}

bool CTrayIcon::SetToolTip(const std::string& toolTip) {
    if (toolTip == m_toolTip)
        return true;
    m_toolTip = toolTip;
    return Refresh();
}

const std::string& CTrayIcon::ToolTip() const {
    auto found = m_icons.find(m_state);
    return m_toolTip.empty() && found != m_icons.end() ? found->second.toolTip : m_toolTip;
}

bool CTrayIcon::Show() {
    m_wanted = true;
    return m_added ? Refresh() : Add();
}

bool CTrayIcon::Hide() {
    m_wanted = false;
    if (!m_added)
        return true;
    NOTIFYICONDATAA data = Data();
    m_added = false;
    return m_notify(NIM_DELETE, &data) != FALSE;
}

void CTrayIcon::OnTaskbarCreated() {
    if (!m_wanted)
        return;
    m_added = false;
    Add();
}

NOTIFYICONDATAA CTrayIcon::Data() const {
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof data;
    data.hWnd = m_owner;
    data.uID = m_id;
    data.uFlags = NIF_MESSAGE | NIF_TIP;
    data.uCallbackMessage = m_callbackMessage;
    auto found = m_icons.find(m_state);
    if (found != m_icons.end()) {
        data.uFlags |= NIF_ICON;
        data.hIcon = found->second.icon.Get();
    }
    const std::string& tip = ToolTip();
    std::strncpy(data.szTip, tip.c_str(), sizeof data.szTip - 1);
    return data;
}

// NIM_ADD, or NIM_MODIFY when the notification area still holds the icon (an announcement that
// was not a restart). Without a notification area the icon stays wanted but not added.
bool CTrayIcon::Add() {
    if (!m_owner)
        return false;
    NOTIFYICONDATAA data = Data();
    m_added = m_notify(NIM_ADD, &data) || m_notify(NIM_MODIFY, &data);
    return m_added;
}

bool CTrayIcon::Refresh() {
    if (!m_wanted)
        return true;
    if (!m_added)
        return Add();
    NOTIFYICONDATAA data = Data();
    if (m_notify(NIM_MODIFY, &data))
        return true;
    m_added = false; // the notification area lost the icon without announcing itself
    return Add();
}

} // namespace ui
