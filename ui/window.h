// A thin, non-owning wrapper of one HWND: each member wraps one API call.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

class Window {
public:
    Window() = default;
    explicit Window(HWND window) : m_hwnd(window) {}

    HWND Handle() const { return m_hwnd; }
    operator HWND() const { return m_hwnd; }
    bool IsWindow() const { return m_hwnd && ::IsWindow(m_hwnd); }

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return SendMessageA(m_hwnd, message, wParam, lParam);
    }
    bool Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return PostMessageA(m_hwnd, message, wParam, lParam) != FALSE;
    }

    // Sends the message to each child window, and with deep to their children too.
    void SendToChildren(UINT message, WPARAM wParam = 0, LPARAM lParam = 0,
                        bool deep = false) const {
        for (HWND child = GetWindow(m_hwnd, GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT)) {
            SendMessageA(child, message, wParam, lParam);
            if (deep)
                Window(child).SendToChildren(message, wParam, lParam, true);
        }
    }

    bool Show(int command = SW_SHOW) const { return ShowWindow(m_hwnd, command) != FALSE; }
    bool Hide() const { return Show(SW_HIDE); }
    // Visible on screen: this window and all its ancestors have WS_VISIBLE.
    bool IsVisible() const { return IsWindowVisible(m_hwnd) != FALSE; }
    // This window's own WS_VISIBLE, whatever its parent's.
    bool HasVisibleStyle() const { return (Style() & WS_VISIBLE) != 0; }
    bool IsIconic() const { return ::IsIconic(m_hwnd) != FALSE; }
    bool Enable(bool enable = true) const { return EnableWindow(m_hwnd, enable) != FALSE; }
    bool IsEnabled() const { return IsWindowEnabled(m_hwnd) != FALSE; }
    HWND Focus() const { return SetFocus(m_hwnd); }
    bool Destroy() const { return DestroyWindow(m_hwnd) != FALSE; }
    HWND Parent() const { return GetParent(m_hwnd); }
    int Id() const { return GetDlgCtrlID(m_hwnd); }

    bool Move(int x, int y, int width, int height, bool repaint = true) const {
        return MoveWindow(m_hwnd, x, y, width, height, repaint) != FALSE;
    }
    bool Move(const RECT& rect, bool repaint = true) const {
        return Move(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, repaint);
    }
    RECT ClientRect() const {
        RECT rect{};
        GetClientRect(m_hwnd, &rect);
        return rect;
    }
    RECT WindowRect() const {
        RECT rect{};
        GetWindowRect(m_hwnd, &rect);
        return rect;
    }
    // The window's rectangle in its parent's client coordinates.
    RECT RectInParent() const {
        RECT rect = WindowRect();
        MapWindowPoints(nullptr, Parent(), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
    bool Invalidate(bool erase = true) const { return InvalidateRect(m_hwnd, nullptr, erase); }

    std::string Text() const { return TextOf(m_hwnd); }
    bool SetText(const std::string& text) const {
        return SetWindowTextA(m_hwnd, text.c_str()) != FALSE;
    }

    LONG_PTR Style() const { return GetWindowLongPtrA(m_hwnd, GWL_STYLE); }
    void ModifyStyle(LONG_PTR remove, LONG_PTR add) const {
        SetWindowLongPtrA(m_hwnd, GWL_STYLE, (Style() & ~remove) | add);
    }

    UINT_PTR StartTimer(UINT_PTR id, UINT milliseconds) const {
        return SetTimer(m_hwnd, id, milliseconds, nullptr);
    }
    bool StopTimer(UINT_PTR id) const { return KillTimer(m_hwnd, id) != FALSE; }

    HFONT Font() const { return reinterpret_cast<HFONT>(Send(WM_GETFONT)); }
    void SetFont(HFONT font, bool redraw = true) const {
        Send(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
    }

    // Child controls by id.
    HWND Item(int id) const { return GetDlgItem(m_hwnd, id); }
    std::string ItemText(int id) const { return TextOf(Item(id)); }
    bool SetItemText(int id, const std::string& text) const {
        return SetDlgItemTextA(m_hwnd, id, text.c_str()) != FALSE;
    }
    bool EnableItem(int id, bool enable = true) const {
        return EnableWindow(Item(id), enable) != FALSE;
    }
    bool IsItemEnabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    bool ShowItem(int id, bool show = true) const {
        return ShowWindow(Item(id), show ? SW_SHOW : SW_HIDE) != FALSE;
    }
    bool IsItemVisible(int id) const { return IsWindowVisible(Item(id)) != FALSE; }
    void CheckButton(int id, bool checked = true) const {
        CheckDlgButton(m_hwnd, id, checked ? BST_CHECKED : BST_UNCHECKED);
    }
    bool IsButtonChecked(int id) const { return IsDlgButtonChecked(m_hwnd, id) == BST_CHECKED; }
    LRESULT SendItem(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return SendDlgItemMessageA(m_hwnd, id, message, wParam, lParam);
    }
    HWND FocusItem(int id) const { return SetFocus(Item(id)); }

    static std::string TextOf(HWND window) {
        std::string text(static_cast<size_t>(GetWindowTextLengthA(window)) + 1, '\0');
        text.resize(static_cast<size_t>(
            GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
        return text;
    }

protected:
    HWND m_hwnd = nullptr;
};

} // namespace ui
