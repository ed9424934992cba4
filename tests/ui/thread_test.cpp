// Threads are always waited for, and waiting on the user-interface thread lets a worker's sent
// message through instead of deadlocking.
#include "ui/event.h"
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

TEST(Event, AutoResetReleasesOneWaitManualResetStaysSet) {
    ui::Event automatic;
    EXPECT_FALSE(automatic.Wait(0));
    automatic.Set();
    EXPECT_TRUE(automatic.Wait(0));
    EXPECT_FALSE(automatic.Wait(0)) << "an auto-reset event clears itself";

    ui::Event manual(ui::Event::Reset::Manual, true);
    EXPECT_TRUE(manual.Wait(0));
    EXPECT_TRUE(manual.Wait(0));
    manual.Clear();
    EXPECT_FALSE(manual.Wait(0));
}

TEST(Thread, RunsAtTheRequestedPriorityAndGivesItsExitCode) {
    ui::Thread thread;
    std::atomic<int> priority{0};
    ASSERT_TRUE(thread.Start(
        [&]() -> DWORD {
            priority = GetThreadPriority(GetCurrentThread());
            return 17;
        },
        THREAD_PRIORITY_BELOW_NORMAL));
    EXPECT_FALSE(thread.Start([]() -> DWORD { return 0; })) << "one body at a time";
    ASSERT_TRUE(thread.Join(5000));
    EXPECT_EQ(priority, THREAD_PRIORITY_BELOW_NORMAL);
    EXPECT_EQ(thread.ExitCode(), 17u);
    EXPECT_FALSE(thread.Running());
    EXPECT_TRUE(thread.Start([]() -> DWORD { return 3; })) << "an ended thread can be restarted";
    ASSERT_TRUE(thread.Join(5000));
    EXPECT_EQ(thread.ExitCode(), 3u);
}

TEST(Thread, DestructorWaitsForTheBody) {
    std::atomic<bool> finished{false};
    {
        ui::Thread thread;
        ui::Event started;
        thread.Start([&]() -> DWORD {
            started.Set();
            Sleep(200);
            finished = true;
            return 0;
        });
        ASSERT_TRUE(started.Wait(5000));
    }
    EXPECT_TRUE(finished);
}

TEST(Thread, JoinTimesOutWhileTheBodyRuns) {
    ui::Event release;
    ui::Thread thread;
    thread.Start([&]() -> DWORD { return release.Wait(10000) ? 0 : 1; });
    EXPECT_FALSE(thread.Join(50));
    EXPECT_TRUE(thread.Running());
    release.Set();
    EXPECT_TRUE(thread.Join(5000));
    EXPECT_EQ(thread.ExitCode(), 0u);
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
