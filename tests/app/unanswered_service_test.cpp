// A program that holds the quota service's pipe, accepts every connection and never answers:
// client calls give up at their bound, the console's first load returns with the time-out text
// while its windows keep answering, and a close arriving while the refresh thread is being
// stopped ends the console without a hang.
#include "base/error_text.h"
#include "base/service_control.h"
#include "client/axcli.h"
#include "console_fixture.h"
#include "services/axserver/server_settings.h"
#include "ui/thread.h"
#include "ui_test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr DWORD kShortBoundMs = 800;
constexpr DWORD kWaitMs = 20000;

// Instances of the service's pipe that take connections and read nothing.
class SilentPipeServer {
public:
    SilentPipeServer() {
        for (int i = 0; i < kInstances; ++i) {
            const DWORD first = i == 0 ? FILE_FLAG_FIRST_PIPE_INSTANCE : 0;
            m_pipes.emplace_back(CreateNamedPipeA(
                "\\\\.\\pipe\\AXServer", PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | first,
                PIPE_TYPE_BYTE | PIPE_WAIT, kInstances, 4096, 4096, 0, nullptr));
        }
    }
    bool IsServing() const { return static_cast<bool>(m_pipes.front()); }

    // Whether a client has sent a request that is waiting for its answer.
    bool HasRequest() const {
        for (const base::UniqueFile& pipe : m_pipes) {
            DWORD available = 0;
            if (PeekNamedPipe(pipe.Get(), nullptr, 0, nullptr, &available, nullptr) &&
                available > 0)
                return true;
        }
        return false;
    }
    // Whether a client that connected has closed its end again: what it sent is read, and then
    // the pipe is found broken.
    bool ClientHungUp() const {
        for (const base::UniqueFile& pipe : m_pipes) {
            for (;;) {
                char bytes[256];
                OVERLAPPED overlapped{};
                base::UniqueHandleKernel done(CreateEventA(nullptr, TRUE, FALSE, nullptr));
                overlapped.hEvent = done.Get();
                DWORD read = 0;
                if (ReadFile(pipe.Get(), bytes, sizeof bytes, &read, &overlapped))
                    continue;
                const DWORD error = GetLastError();
                if (error == ERROR_IO_PENDING) {
                    CancelIoEx(pipe.Get(), &overlapped);
                    GetOverlappedResult(pipe.Get(), &overlapped, &read, TRUE);
                }
                if (error == ERROR_BROKEN_PIPE)
                    return true;
                break;
            }
        }
        return false;
    }

private:
    static constexpr int kInstances = 4;
    std::vector<base::UniqueFile> m_pipes;
};

// Stops the services an earlier test left running in the prefix: their pipe must not answer.
void StopQuotaServices() {
    StopServiceAndWait(kPolicyServiceName);
    StopServiceAndWait(kQuotaServiceName);
}

class UnansweredService : public testing::Test {
protected:
    static void SetUpTestSuite() { StopQuotaServices(); }
    void SetUp() override { ASSERT_TRUE(m_server.IsServing()) << "the pipe is taken"; }
    void TearDown() override { AXCli::SetCallTimeout(kAxDefaultCallTimeoutMs); }

    SilentPipeServer m_server;
};

} // namespace

TEST_F(UnansweredService, ACallEndsAtItsBoundOrWhenCancelledAndDropsItsConnection) {
    AXCli::SetCallTimeout(kShortBoundMs);
    AXCli client;
    EXPECT_EQ(static_cast<uint32_t>(ERROR_TIMEOUT), client.Connect(""));
    EXPECT_TRUE(m_server.ClientHungUp());

    // Cancelled while it waits, a call ends at once, however long its bound.
    AXCli::SetCallTimeout(10 * 60 * 1000);
    base::UniqueHandleKernel cancel(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    client.SetCancelEvent(cancel.Get());
    std::thread canceller([&] {
        WaitUntil([&] { return m_server.HasRequest(); }, kWaitMs);
        SetEvent(cancel.Get());
    });
    EXPECT_EQ(static_cast<uint32_t>(ERROR_OPERATION_ABORTED), client.Connect(""));
    canceller.join();
}

TEST_F(UnansweredService, FirstLoadReturnsWithTheTimeOutTextWhileTheWindowKeepsAnswering) {
    AXCli::SetCallTimeout(kShortBoundMs);
    HWND window = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    std::atomic<bool> opened{false};
    std::atomic<int> answered{0}, unanswered{0};
    std::thread prober([&] {
        while (!opened) {
            DWORD_PTR result = 0;
            if (SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result))
                ++answered;
            else
                ++unanswered;
            Sleep(20);
        }
    });
    ASSERT_TRUE(ui::PumpMessagesUntil([&] { return answered > 0; }, kWaitMs));

    FilledDocument document;
    document.SetMainWindow(window);
    const int answeredBefore = answered;
    ASSERT_TRUE(document.OnOpenDocument("C:\\"));
    const int answeredDuringTheLoad = answered - answeredBefore;
    opened = true;
    ui::PumpMessagesUntil([&] { return false; }, 100);
    prober.join();
    DestroyWindow(window);

    EXPECT_GT(answeredDuringTheLoad, 0);
    EXPECT_EQ(0, unanswered.load());
    ASSERT_EQ(1u, document.messages.size());
    EXPECT_NE(std::string::npos, document.messages[0].find(ErrorLine(ERROR_TIMEOUT)))
        << document.messages[0];
    EXPECT_TRUE(document.DisplayedList().empty());
}

TEST(UnansweredServiceConsole, AnExitArrivingWhileCloseStopsTheRefreshEndsTheConsole) {
    StopQuotaServices();
    ConsoleWindows console;
    ASSERT_TRUE(console.Create());
    FilledDocument& document = console.document;
    CMainFrame& frame = console.frame;
    monitor::CAXMonView& view = console.view;
    ASSERT_TRUE(document.OnOpenDocument("C:\\")); // no service yet: nothing to wait for
    view.OnInitialUpdate();

    // The refresh thread's call would wait for the service's answer for ten minutes.
    SilentPipeServer server;
    ASSERT_TRUE(server.IsServing()) << "the pipe is taken";
    AXCli::SetCallTimeout(10 * 60 * 1000);
    ASSERT_TRUE(view.StartRefreshTimer(1));
    ASSERT_TRUE(ui::PumpMessagesUntil([&] { return server.HasRequest(); }, kWaitMs));

    // Another program ends the console while the window closes: its message arrives while the
    // close waits for the refresh thread.
    std::thread other([&] { SendMessageA(frame.Handle(), WM_AXMON_EXIT, 0, 0); });
    ASSERT_TRUE(WaitUntil([] { return HIWORD(GetQueueStatus(QS_SENDMESSAGE)) != 0; }, kWaitMs));
    frame.Send(WM_CLOSE);
    other.join();
    AXCli::SetCallTimeout(kAxDefaultCallTimeoutMs);

    EXPECT_FALSE(frame.IsWindow());
    EXPECT_FALSE(document.IsRefreshThreadRunning());
    EXPECT_TRUE(server.ClientHungUp());
}
