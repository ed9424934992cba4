#include "ui/window_base.h"

#include "base/window_class.h"

#include <utility>

namespace ui {

namespace {
const char kObjectProperty[] = "Kelvane.WindowObject";
thread_local WindowBase* t_creating = nullptr;
} // namespace

WindowBase::~WindowBase() {
    HWND window = m_hwnd;
    bool createdHere = m_createdHere;
    Unsubclass();
    if (createdHere && window && ::IsWindow(window))
        DestroyWindow(window);
}

const RECT& WindowBase::DefaultRect() {
    static const RECT rect{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT};
    return rect;
}

bool WindowBase::Create(const char* className, const char* title, DWORD style, DWORD exStyle,
                        const RECT& rect, HWND parent, HMENU menuOrId) {
    if (m_hwnd)
        return false;
    int width = rect.right == CW_USEDEFAULT ? CW_USEDEFAULT : rect.right - rect.left;
    int height = rect.bottom == CW_USEDEFAULT ? CW_USEDEFAULT : rect.bottom - rect.top;
    WindowBase* outer = t_creating;
    t_creating = this;
    HHOOK hook = SetWindowsHookExA(WH_CBT, CreationHook, nullptr, GetCurrentThreadId());
    HWND created = hook ? CreateWindowExA(exStyle, className ? className : base::PlainWindowClass(),
                                          title, style, rect.left, rect.top, width, height, parent,
                                          menuOrId, GetModuleHandleA(nullptr), nullptr)
                        : nullptr;
    if (hook)
        UnhookWindowsHookEx(hook);
    t_creating = outer;
    if (!created)
        return false;
    m_createdHere = true;
    return true;
}

LRESULT CALLBACK WindowBase::CreationHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && t_creating) {
        WindowBase* object = std::exchange(t_creating, nullptr);
        object->Subclass(reinterpret_cast<HWND>(wParam));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool WindowBase::Subclass(HWND window) {
    if (m_hwnd || !window || FromHandle(window))
        return false;
    Link(window);
    m_defaultProcedure = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowBase::WindowProcedure)));
    if (!m_defaultProcedure) {
        Unlink();
        return false;
    }
    return true;
}

void WindowBase::Unsubclass() {
    if (!m_hwnd)
        return;
    if (m_defaultProcedure && GetWindowLongPtrA(m_hwnd, GWLP_WNDPROC) ==
                                  reinterpret_cast<LONG_PTR>(&WindowBase::WindowProcedure))
        SetWindowLongPtrA(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_defaultProcedure));
    m_defaultProcedure = nullptr;
    Unlink();
}

void WindowBase::Link(HWND window) {
    m_hwnd = window;
    SetPropA(window, kObjectProperty, this);
}

void WindowBase::Unlink() {
    if (m_hwnd)
        RemovePropA(m_hwnd, kObjectProperty);
    m_hwnd = nullptr;
    m_createdHere = false;
}

WindowBase* WindowBase::FromHandle(HWND window) {
    return window ? static_cast<WindowBase*>(GetPropA(window, kObjectProperty)) : nullptr;
}

LRESULT WindowBase::DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam) {
    return m_defaultProcedure ? CallWindowProcA(m_defaultProcedure, m_hwnd, message, wParam, lParam)
                              : 0;
}

LRESULT CALLBACK WindowBase::WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    WindowBase* object = FromHandle(window);
    if (!object)
        return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        LRESULT result = object->DefaultProcessing(message, wParam, lParam);
        object->Unsubclass();
        object->OnFinalMessage();
        return result;
    }
    LRESULT result = 0;
    if (object->OnMessage(message, wParam, lParam, result))
        return result;
    return object->DefaultProcessing(message, wParam, lParam);
}

bool WindowBase::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_CREATE:
        result = DefaultProcessing(message, wParam, lParam);
        if (result != -1 && !OnCreate(*reinterpret_cast<const CREATESTRUCTA*>(lParam)))
            result = -1;
        return true;
    case WM_COMMAND:
        result = 0;
        return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
    case WM_NOTIFY: {
        NMHDR& header = *reinterpret_cast<NMHDR*>(lParam);
        return OnNotify(static_cast<UINT>(header.idFrom), header, result);
    }
    case WM_TIMER:
        OnTimer(wParam);
        return false;
    case WM_SIZE:
        OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        return false;
    case WM_CLOSE:
        result = 0;
        return OnClose();
    case WM_DESTROY:
        OnDestroy();
        return false;
    case WM_PAINT:
        result = 0;
        return OnPaint();
    case WM_ERASEBKGND:
        result = 1;
        return OnEraseBackground(reinterpret_cast<HDC>(wParam));
    case WM_SETFOCUS:
        OnSetFocus(reinterpret_cast<HWND>(wParam));
        return false;
    case WM_CONTEXTMENU:
        result = 0;
        return OnContextMenu(
            reinterpret_cast<HWND>(wParam),
            POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
    case WM_SYSCOMMAND:
        result = 0;
        return OnSysCommand(static_cast<UINT>(wParam & 0xFFF0), lParam);
    case WM_KEYDOWN:
        result = 0;
        return OnKeyDown(static_cast<UINT>(wParam), lParam);
    default:
        return false;
    }
}

bool WindowBase::OnCreate(const CREATESTRUCTA&) {
    return true;
}
bool WindowBase::OnCommand(UINT, UINT, HWND) {
    return false;
}
bool WindowBase::OnNotify(UINT, NMHDR&, LRESULT&) {
    return false;
}
void WindowBase::OnUpdateCommand(UINT, CommandState&) {}
void WindowBase::OnTimer(UINT_PTR) {}
void WindowBase::OnSize(UINT, int, int) {}
bool WindowBase::OnClose() {
    return false;
}
void WindowBase::OnDestroy() {}
bool WindowBase::OnPaint() {
    return false;
}
bool WindowBase::OnEraseBackground(HDC) {
    return false;
}
void WindowBase::OnSetFocus(HWND) {}
bool WindowBase::OnContextMenu(HWND, POINT) {
    return false;
}
bool WindowBase::OnSysCommand(UINT, LPARAM) {
    return false;
}
bool WindowBase::OnKeyDown(UINT, LPARAM) {
    return false;
}

} // namespace ui
