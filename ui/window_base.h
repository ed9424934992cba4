// The base of every window the framework drives: it owns the link from the HWND to this object,
// and one switch in OnMessage sends each message to a virtual handler.
#pragma once

#include "ui/command_state.h"
#include "ui/window.h"

#include <windows.h>
#include <commctrl.h>

namespace ui {

class WindowBase : public Window {
public:
    WindowBase() = default;
    virtual ~WindowBase();
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;

    // Creates the window and routes its messages to this object from the very first one, whatever
    // the class's own window procedure is (DefWindowProc, a control's, or the framework's).
    // className null: the framework's plain window class. menuOrId: a menu for a top-level
    // window, the control id for a child.
    bool Create(const char* className, const char* title, DWORD style, DWORD exStyle = 0,
                const RECT& rect = DefaultRect(), HWND parent = nullptr, HMENU menuOrId = nullptr);
    // Routes the messages of an existing window to this object; the window's own procedure
    // becomes the default processing. Undone when the window is destroyed or by Unsubclass.
    bool Subclass(HWND window);
    void Unsubclass();

    // The object linked to a window, or null.
    static WindowBase* FromHandle(HWND window);

    // Command routing from a frame to its view, and command-state queries.
    bool RouteCommand(UINT id, UINT code, HWND control) { return OnCommand(id, code, control); }
    void QueryCommand(UINT id, CommandState& state) { OnUpdateCommand(id, state); }
    // Called by the application's message loop when the queue is empty (main window only).
    virtual void OnIdle() {}
    // A keyboard message on its way to this window or one of its descendants, before it is
    // translated and dispatched; true when this window consumed it. The message loop asks the
    // window the message is for first, then each parent up to the top-level window.
    virtual bool PreTranslateMessage(MSG&) { return false; }

    static const RECT& DefaultRect();

protected:
    // The one dispatch switch. Returns true when the message is handled with result; otherwise
    // the default processing runs. Derived classes handle their own messages first and pass the
    // rest to the base.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // The default processing of the current message (the window's original procedure).
    LRESULT DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam);

    // Handlers. Those returning bool say whether they handled the message; false runs the
    // default processing. The void ones are notifications after which the default runs too.
    virtual bool OnCreate(const CREATESTRUCTA& create); // false: creation fails
    virtual bool OnCommand(UINT id, UINT code, HWND control);
    virtual bool OnNotify(UINT id, NMHDR& header, LRESULT& result);
    virtual void OnUpdateCommand(UINT id, CommandState& state);
    virtual void OnTimer(UINT_PTR id);
    virtual void OnSize(UINT type, int width, int height);
    virtual bool OnClose();
    virtual void OnDestroy();
    virtual bool OnPaint();
    virtual bool OnEraseBackground(HDC dc);
    virtual void OnSetFocus(HWND previous);
    virtual bool OnContextMenu(HWND window, POINT screenPoint);
    virtual bool OnSysCommand(UINT command, LPARAM lParam);
    virtual bool OnKeyDown(UINT key, LPARAM flags);
    // After the last message (WM_NCDESTROY): the HWND link is gone; objects that own themselves
    // may delete themselves here.
    virtual void OnFinalMessage() {}

    // Used by dialogs, whose procedure is a dialog procedure rather than a window procedure.
    void Link(HWND window);
    void Unlink();

private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    static LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam);

    WNDPROC m_defaultProcedure = nullptr;
    bool m_createdHere = false;
};

} // namespace ui
