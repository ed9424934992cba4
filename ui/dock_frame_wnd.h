// A top-level frame with a toolbar at the top, a status bar at the bottom and one view filling
// the rest, laid out in RecalcLayout. Commands from the menu, the accelerators and the toolbar go
// to the view first, then to the frame, then to the application; their enabled and checked states
// are asked in the same order (idle time for the toolbar, opening a menu for its items).
#pragma once

#include "ui/dock_status_bar.h"
#include "ui/dock_tool_bar.h"
#include "ui/window_base.h"

#include <string>
#include <vector>

namespace ui {

class CDockFrameWnd : public WindowBase {
public:
    // className: a class registered by the program (its procedure may be DefWindowProc) or null
    // for the framework's plain class. The window is created hidden; show it with Show.
    bool CreateFrame(const char* className, const std::string& title, HMENU menu,
                     DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, DWORD exStyle = 0,
                     const RECT& rect = DefaultRect());

    // To be called from OnCreate of the derived frame.
    bool CreateToolBar(UINT resourceId, HINSTANCE instance = nullptr);
    bool CreateStatusBar(const std::vector<UINT>& indicators = {kMessagePane, kIndicatorCaps,
                                                                kIndicatorNum, kIndicatorScroll});
    // The view receives the area between the bars and the commands first; not owned.
    void SetView(WindowBase* view);
    WindowBase* View() const { return m_view; }

    CDockToolBar& ToolBar() { return m_toolBar; }
    CDockStatusBar& StatusBar() { return m_statusBar; }
    void ShowToolBar(bool show);
    void ShowStatusBar(bool show);
    // Places the bars and gives the view the rest of the client area.
    void RecalcLayout();

    // The state of a command as the view, the frame and the application answer it.
    CommandState QueryCommandState(UINT id);
    // Runs a command through view, frame and application; false when nobody handled it.
    bool ExecuteCommand(UINT id);
    // Toolbar button states and key indicators.
    void OnIdle() override;

protected:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    void OnUpdateCommand(UINT id, CommandState& state) override;
    void OnSize(UINT type, int width, int height) override;
    void OnSetFocus(HWND previous) override;

private:
    bool DispatchCommand(UINT id, UINT code, HWND control);
    void UpdateMenu(HMENU menu);
    void ShowMenuSelection(UINT item, UINT flags, HMENU menu);

    CDockToolBar m_toolBar;
    CDockStatusBar m_statusBar;
    WindowBase* m_view = nullptr;
};

} // namespace ui
