// Threads are always waited for, and waiting on the user-interface thread lets a worker's sent
// message through instead of deadlocking.
#include "ui/thread.h"
#include "ui/window_base.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

constexpr UINT kWorkerMessage = WM_APP + 140;

class Receiver : public ui::WindowBase {
public:
    std::atomic<DWORD> handledOnThread{0};
    std::atomic<int> handled{0};

protected:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        if (message == kWorkerMessage) {
            handledOnThread = GetCurrentThreadId();
            ++handled;
            result = static_cast<LRESULT>(wParam) + 1;
            return true;
        }
        return WindowBase::OnMessage(message, wParam, lParam, result);
    }
};

TEST(Thread, RunsOneBodyAtATimeAtItsPriorityAndGivesItsExitCode) {
    base::UniqueHandleKernel release(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    std::atomic<int> priority{0};
    {
        ui::Thread thread;
        ASSERT_TRUE(thread.Start(
            [&]() -> DWORD {
                priority = GetThreadPriority(GetCurrentThread());
                return WaitForSingleObject(release.Get(), 10000) == WAIT_OBJECT_0 ? 17 : 1;
            },
            THREAD_PRIORITY_BELOW_NORMAL));
        EXPECT_FALSE(thread.Start([]() -> DWORD { return 0; })) << "one body at a time";
        EXPECT_FALSE(thread.Join(50));
        EXPECT_TRUE(thread.Running());
        SetEvent(release.Get());
        ASSERT_TRUE(thread.Join(5000));
        EXPECT_EQ(priority, THREAD_PRIORITY_BELOW_NORMAL);
        EXPECT_EQ(thread.ExitCode(), 17u);
        EXPECT_TRUE(thread.Start([]() -> DWORD { return 3; })) << "an ended thread restarts";
        ASSERT_TRUE(thread.Join(5000));
        EXPECT_EQ(thread.ExitCode(), 3u);
    }
    std::atomic<bool> finished{false};
    {
        ui::Thread thread;
        thread.Start([&]() -> DWORD {
            Sleep(200);
            finished = true;
            return 0;
        });
    }
    EXPECT_TRUE(finished) << "the destructor waits for the body";
}

TEST(Thread, JoiningOnTheWindowThreadLetsTheWorkersSentMessageThrough) {
    Receiver receiver;
    ASSERT_TRUE(receiver.Create(nullptr, "receiver", WS_OVERLAPPEDWINDOW));
    receiver.Post(WM_APP + 1); // a posted message the wait must leave queued
    std::atomic<LRESULT> answer{0};
    ui::Thread worker;
    worker.Start([&]() -> DWORD {
        answer = SendMessageA(receiver.Handle(), kWorkerMessage, 41, 0);
        return 0;
    });
    ASSERT_TRUE(worker.Join(5000)) << "the wait deadlocked with the worker's SendMessage";
    EXPECT_EQ(answer, 42);
    EXPECT_EQ(receiver.handledOnThread, GetCurrentThreadId());
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, receiver.Handle(), WM_APP + 1, WM_APP + 1, PM_REMOVE));
}

} // namespace
