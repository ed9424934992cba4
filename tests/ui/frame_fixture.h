// A frame with toolbar, status bar and view built from the tests' resources, recording where
// each command went.
#pragma once

#include "ui/app.h"
#include "ui/dock_frame_wnd.h"
#include "base/window_class.h"

#include "test_resources.h"

#include <string>
#include <vector>

namespace ui_test {

class TestView : public ui::WindowBase {
public:
    std::vector<std::string>* log = nullptr;
    bool saveEnabled = false;

protected:
    bool OnCommand(UINT id, UINT, HWND) override {
        if (id != ID_TEST_OPEN)
            return false;
        log->push_back("view open");
        return true;
    }
    void OnUpdateCommand(UINT id, ui::CommandState& state) override {
        if (id == ID_TEST_SAVE)
            state.Enable(saveEnabled);
    }
};

class TestFrame : public ui::CDockFrameWnd {
public:
    std::vector<std::string> log;
    TestView view;
    int idleCount = 0;
    bool closeWhenIdle = false;

    // Created with a class whose procedure is DefWindowProc, as the console's own class is.
    bool CreateTestFrame() {
        base::WindowClass windowClass;
        windowClass.name = "KelvaneTest.Frame";
        base::RegisterWindowClass(windowClass);
        HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TEST_MENU));
        if (!CreateFrame("KelvaneTest.Frame", "Frame test", menu, WS_OVERLAPPEDWINDOW, 0,
                         RECT{0, 0, 480, 360}))
            return false;
        Show();
        return true;
    }
    void OnIdle() override {
        ++idleCount;
        CDockFrameWnd::OnIdle();
        if (closeWhenIdle)
            Post(WM_CLOSE);
    }

protected:
    bool OnCreate(const CREATESTRUCTA&) override {
        view.log = &log;
        return CreateToolBar(IDR_TEST_TOOLBAR) && CreateStatusBar() &&
               view.Create(nullptr, "", WS_CHILD | WS_VISIBLE, 0, RECT{0, 0, 10, 10}, m_hwnd,
                           reinterpret_cast<HMENU>(UINT_PTR{ui::kFirstPaneControlId})) &&
               (SetView(&view), true);
    }
    bool OnCommand(UINT id, UINT code, HWND control) override {
        if (id == ID_TEST_OPEN || id == ID_TEST_SAVE) {
            log.push_back(id == ID_TEST_OPEN ? "frame open" : "frame save");
            return true;
        }
        return CDockFrameWnd::OnCommand(id, code, control);
    }
    void OnUpdateCommand(UINT id, ui::CommandState& state) override {
        if (id == ID_TEST_PRINT)
            state.Check(true);
        else
            CDockFrameWnd::OnUpdateCommand(id, state);
    }
};

class TestApp : public ui::App {
public:
    std::vector<std::string>* log = nullptr;

    bool OnCommand(UINT id) override {
        if (id != ID_TEST_PRINT)
            return false;
        if (log)
            log->push_back("app print");
        return true;
    }
};

} // namespace ui_test
