#include "ui/dock_frame_wnd.h"

#include "ui/app.h"

namespace ui {

bool CDockFrameWnd::CreateFrame(const char* className, const std::string& title, HMENU menu,
                                DWORD style, DWORD exStyle, const RECT& rect) {
    return Create(className, title.c_str(), style & ~WS_VISIBLE, exStyle, rect, nullptr, menu);
}

bool CDockFrameWnd::CreateToolBar(UINT resourceId, HINSTANCE instance) {
    if (!m_toolBar.Create(m_hwnd) || !m_toolBar.LoadToolBar(resourceId, instance))
        return false;
    RecalcLayout();
    return true;
}

bool CDockFrameWnd::CreateStatusBar(const std::vector<UINT>& indicators) {
    if (!m_statusBar.Create(m_hwnd, indicators))
        return false;
    RecalcLayout();
    return true;
}

void CDockFrameWnd::SetView(WindowBase* view) {
    m_view = view;
    RecalcLayout();
}

void CDockFrameWnd::ShowToolBar(bool show) {
    if (!m_toolBar.IsWindow())
        return;
    m_toolBar.Show(show ? SW_SHOW : SW_HIDE);
    RecalcLayout();
}

void CDockFrameWnd::ShowStatusBar(bool show) {
    if (!m_statusBar.IsWindow())
        return;
    m_statusBar.Show(show ? SW_SHOW : SW_HIDE);
    RecalcLayout();
}

void CDockFrameWnd::RecalcLayout() {
    if (!m_hwnd)
        return;
    RECT area = ClientRect();
    if (m_toolBar.IsWindow() && m_toolBar.HasVisibleStyle()) {
        m_toolBar.Send(TB_AUTOSIZE);
        RECT bar = m_toolBar.RectInParent();
        area.top = bar.bottom;
    }
    if (m_statusBar.IsWindow() && m_statusBar.HasVisibleStyle()) {
        m_statusBar.Resize();
        RECT bar = m_statusBar.RectInParent();
        area.bottom = bar.top;
    }
    if (area.bottom < area.top)
        area.bottom = area.top;
    if (m_view && m_view->IsWindow())
        m_view->Move(area);
}

CommandState CDockFrameWnd::QueryCommandState(UINT id) {
    CommandState state;
    if (m_view && m_view->IsWindow())
        m_view->QueryCommand(id, state);
    if (!state.Answered())
        OnUpdateCommand(id, state);
    if (!state.Answered() && App::Current())
        App::Current()->OnUpdateCommand(id, state);
    return state;
}

bool CDockFrameWnd::ExecuteCommand(UINT id) {
    return DispatchCommand(id, 0, nullptr);
}

bool CDockFrameWnd::DispatchCommand(UINT id, UINT code, HWND control) {
    if (m_view && m_view->IsWindow() && m_view->RouteCommand(id, code, control))
        return true;
    if (OnCommand(id, code, control))
        return true;
    return App::Current() && App::Current()->OnCommand(id);
}

void CDockFrameWnd::OnIdle() {
    if (m_toolBar.IsWindow() && m_toolBar.HasVisibleStyle()) {
        for (UINT id : m_toolBar.ButtonIds()) {
            if (id != 0)
                m_toolBar.ApplyState(id, QueryCommandState(id));
        }
    }
    if (m_statusBar.IsWindow())
        m_statusBar.UpdateIndicators();
}

bool CDockFrameWnd::OnCommand(UINT id, UINT, HWND) {
    switch (id) {
    case kViewToolBarCommand:
        ShowToolBar(!m_toolBar.HasVisibleStyle());
        return true;
    case kViewStatusBarCommand:
        ShowStatusBar(!m_statusBar.HasVisibleStyle());
        return true;
    default:
        return false;
    }
}

void CDockFrameWnd::OnUpdateCommand(UINT id, CommandState& state) {
    switch (id) {
    case kViewToolBarCommand:
        state.Enable(m_toolBar.IsWindow());
        state.Check(m_toolBar.IsWindow() && m_toolBar.HasVisibleStyle());
        break;
    case kViewStatusBarCommand:
        state.Enable(m_statusBar.IsWindow());
        state.Check(m_statusBar.IsWindow() && m_statusBar.HasVisibleStyle());
        break;
    default:
        break;
    }
}

void CDockFrameWnd::OnSize(UINT type, int, int) {
    if (type != SIZE_MINIMIZED)
        RecalcLayout();
}

void CDockFrameWnd::OnSetFocus(HWND) {
    if (m_view && m_view->IsWindow())
        m_view->Focus();
}

void CDockFrameWnd::UpdateMenu(HMENU menu) {
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE;
        if (!GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &item) || item.hSubMenu ||
            (item.fType & MFT_SEPARATOR) || item.wID == 0)
            continue;
        CommandState state = QueryCommandState(item.wID);
        if (!state.Answered())
            continue;
        EnableMenuItem(menu, static_cast<UINT>(i),
                       MF_BYPOSITION | (state.Enabled() ? MF_ENABLED : MF_GRAYED));
        CheckMenuItem(menu, static_cast<UINT>(i),
                      MF_BYPOSITION | (state.Checked() ? MF_CHECKED : MF_UNCHECKED));
    }
}

void CDockFrameWnd::ShowMenuSelection(UINT item, UINT flags, HMENU menu) {
    if (!m_statusBar.IsWindow())
        return;
    if (flags == 0xFFFF && !menu)
        m_statusBar.ShowIdleText(); // the menu closed
    else if (flags & (MF_POPUP | MF_SEPARATOR | MF_SYSMENU))
        m_statusBar.SetMessageText({});
    else
        m_statusBar.ShowCommandHelp(item);
}

bool CDockFrameWnd::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_COMMAND: {
        auto control = reinterpret_cast<HWND>(lParam);
        if (control && control != m_toolBar.Handle())
            break; // a control's notification to the frame itself
        result = 0;
        bool fromAccelerator = !control && HIWORD(wParam) == 1;
        if (fromAccelerator && !QueryCommandState(LOWORD(wParam)).Enabled())
            return true; // the key of a disabled command does nothing
        return DispatchCommand(LOWORD(wParam), HIWORD(wParam), control);
    }
    case WM_NOTIFY:
        if (m_toolBar.IsWindow() &&
            m_toolBar.HandleToolTipRequest(*reinterpret_cast<NMHDR*>(lParam))) {
            result = 0;
            return true;
        }
        break;
    case WM_INITMENUPOPUP:
        if (!HIWORD(lParam))
            UpdateMenu(reinterpret_cast<HMENU>(wParam));
        break;
    case WM_MENUSELECT:
        ShowMenuSelection(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HMENU>(lParam));
        result = 0;
        return true;
    default:
        break;
    }
    return WindowBase::OnMessage(message, wParam, lParam, result);
}

} // namespace ui
