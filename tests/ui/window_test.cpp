// Messages reach the handler meant for them, from the first message on, whoever registered the
// window's class.
#include "ui/window_base.h"
#include "base/window_class.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class Recorder : public ui::WindowBase {
public:
    std::vector<std::string> calls;
    bool refuseCreate = false;
    bool keepOpenOnClose = false;
    bool finalMessage = false;

protected:
    bool OnCreate(const CREATESTRUCTA& create) override {
        calls.push_back(std::string("create ") + (create.lpszName ? create.lpszName : ""));
        return !refuseCreate;
    }
    bool OnCommand(UINT id, UINT code, HWND) override {
        calls.push_back("command " + std::to_string(id) + " " + std::to_string(code));
        return id == 7;
    }
    bool OnNotify(UINT id, NMHDR& header, LRESULT& result) override {
        calls.push_back("notify " + std::to_string(id) + " " +
                        std::to_string(static_cast<int>(header.code)));
        result = 42;
        return true;
    }
    void OnTimer(UINT_PTR id) override { calls.push_back("timer " + std::to_string(id)); }
    void OnSize(UINT, int width, int height) override {
        calls.push_back("size " + std::to_string(width) + "x" + std::to_string(height));
    }
    bool OnClose() override {
        calls.push_back("close");
        return keepOpenOnClose;
    }
    void OnDestroy() override { calls.push_back("destroy"); }
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        if (message == WM_APP + 5) {
            result = static_cast<LRESULT>(wParam + lParam);
            return true;
        }
        return WindowBase::OnMessage(message, wParam, lParam, result);
    }
    void OnFinalMessage() override { finalMessage = true; }
};

const char* ForeignClass() {
    static const char* name = [] {
        base::WindowClass windowClass;
        windowClass.name = "KelvaneTest.Foreign";
        windowClass.procedure = DefWindowProcA;
        base::RegisterWindowClass(windowClass);
        return "KelvaneTest.Foreign";
    }();
    return name;
}

using testing::Contains;
using testing::Not;

TEST(WindowDispatch, EachMessageReachesItsHandler) {
    Recorder window;
    ASSERT_TRUE(window.Create(nullptr, "plain", WS_OVERLAPPEDWINDOW));
    EXPECT_EQ(window.calls.front(), "create plain");
    EXPECT_EQ(ui::WindowBase::FromHandle(window.Handle()), &window);

    EXPECT_EQ(window.Send(WM_COMMAND, MAKEWPARAM(7, 1), 0), 0);
    NMHDR header{window.Handle(), 12, static_cast<UINT>(-5)};
    EXPECT_EQ(window.Send(WM_NOTIFY, 12, reinterpret_cast<LPARAM>(&header)), 42);
    window.Send(WM_TIMER, 3);
    window.Move(0, 0, 300, 200);
    EXPECT_EQ(window.Send(WM_APP + 5, 2, 3), 5);

    EXPECT_THAT(window.calls, Contains("command 7 1"));
    EXPECT_THAT(window.calls, Contains("notify 12 -5"));
    EXPECT_THAT(window.calls, Contains("timer 3"));
    RECT client = window.ClientRect();
    EXPECT_THAT(window.calls, Contains("size " + std::to_string(client.right) + "x" +
                                       std::to_string(client.bottom)));
}

TEST(WindowDispatch, CloseHandledKeepsTheWindowAndUnhandledDestroysIt) {
    Recorder window;
    ASSERT_TRUE(window.Create(nullptr, "closing", WS_OVERLAPPEDWINDOW));
    HWND handle = window.Handle();
    window.keepOpenOnClose = true;
    window.Send(WM_CLOSE);
    EXPECT_TRUE(IsWindow(handle));
    EXPECT_THAT(window.calls, Not(Contains("destroy")));

    window.keepOpenOnClose = false;
    window.Send(WM_CLOSE);
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_THAT(window.calls, Contains("destroy"));
    EXPECT_TRUE(window.finalMessage);
    EXPECT_EQ(window.Handle(), nullptr);
    EXPECT_EQ(ui::WindowBase::FromHandle(handle), nullptr);
}

TEST(WindowDispatch, RefusedCreationFailsAndLeavesNoWindow) {
    Recorder window;
    window.refuseCreate = true;
    EXPECT_FALSE(window.Create(nullptr, "refused", WS_OVERLAPPEDWINDOW));
    EXPECT_EQ(window.Handle(), nullptr);
    EXPECT_TRUE(window.finalMessage);
}

TEST(WindowSubclass, ClassWithDefWindowProcIsRoutedFromCreation) {
    Recorder window;
    ASSERT_TRUE(window.Create(ForeignClass(), "foreign", WS_OVERLAPPEDWINDOW));
    EXPECT_EQ(window.calls.front(), "create foreign");
    window.Send(WM_COMMAND, MAKEWPARAM(9, 0), 0);
    EXPECT_THAT(window.calls, Contains("command 9 0"));
    char className[64] = {};
    GetClassNameA(window.Handle(), className, sizeof className);
    EXPECT_STREQ(className, "KelvaneTest.Foreign");
}

TEST(WindowSubclass, ChildCreatedInOnCreateGetsItsOwnObject) {
    class Parent : public Recorder {
    public:
        Recorder child;

    protected:
        bool OnCreate(const CREATESTRUCTA& create) override {
            Recorder::OnCreate(create);
            return child.Create(nullptr, "child", WS_CHILD | WS_VISIBLE, 0, RECT{0, 0, 10, 10},
                                m_hwnd, reinterpret_cast<HMENU>(5));
        }
    };
    Parent parent;
    ASSERT_TRUE(parent.Create(nullptr, "parent", WS_OVERLAPPEDWINDOW));
    EXPECT_EQ(parent.calls.front(), "create parent");
    ASSERT_EQ(parent.child.calls.front(), "create child");
    EXPECT_EQ(parent.child.Parent(), parent.Handle());
    EXPECT_EQ(ui::WindowBase::FromHandle(parent.child.Handle()), &parent.child);
}

TEST(WindowDispatch, MessageForChildrenReachesEachChildAndOnRequestTheirChildren) {
    Recorder parent, child, grandchild;
    ASSERT_TRUE(parent.Create(nullptr, "parent", WS_OVERLAPPEDWINDOW));
    ASSERT_TRUE(child.Create(nullptr, "child", WS_CHILD, 0, RECT{0, 0, 5, 5}, parent.Handle()));
    ASSERT_TRUE(
        grandchild.Create(nullptr, "grandchild", WS_CHILD, 0, RECT{0, 0, 5, 5}, child.Handle()));
    parent.SendToChildren(WM_COMMAND, 21);
    EXPECT_THAT(child.calls, Contains("command 21 0"));
    EXPECT_THAT(grandchild.calls, Not(Contains("command 21 0")));
    parent.SendToChildren(WM_COMMAND, 22, 0, true);
    EXPECT_THAT(child.calls, Contains("command 22 0"));
    EXPECT_THAT(grandchild.calls, Contains("command 22 0"));
    EXPECT_THAT(parent.calls, Not(Contains("command 22 0")));
}

TEST(WindowSubclass, ExistingWindowIsRoutedUntilUnsubclassed) {
    HWND existing = CreateWindowExA(0, ForeignClass(), "existing", WS_OVERLAPPEDWINDOW, 0, 0, 100,
                                    100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(existing, nullptr);
    {
        Recorder window;
        ASSERT_TRUE(window.Subclass(existing));
        EXPECT_FALSE(Recorder().Subclass(existing)) << "a window has one object";
        SendMessageA(existing, WM_COMMAND, 11, 0);
        EXPECT_THAT(window.calls, Contains("command 11 0"));
        EXPECT_EQ(GetWindowTextLengthA(existing), 8) << "default processing still answers";
    }
    EXPECT_TRUE(IsWindow(existing)) << "a subclassed window is not the object's to destroy";
    EXPECT_EQ(GetWindowLongPtrA(existing, GWLP_WNDPROC),
              reinterpret_cast<LONG_PTR>(DefWindowProcA));
    EXPECT_EQ(ui::WindowBase::FromHandle(existing), nullptr);
    DestroyWindow(existing);
}

TEST(WindowSubclass, ObjectDestroyedFirstDestroysTheWindowItCreated) {
    HWND handle = nullptr;
    {
        Recorder window;
        ASSERT_TRUE(window.Create(nullptr, "scoped", WS_OVERLAPPEDWINDOW));
        handle = window.Handle();
    }
    EXPECT_FALSE(IsWindow(handle));
}

} // namespace
