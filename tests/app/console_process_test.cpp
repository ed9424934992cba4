// The console as a program: one per desktop, hidden start, closing that only hides, and the
// exit message that ends it and writes its frequency.
#include "app/app_messages.h"
#include "quota_service.h"
#include "base/handles.h"
#include "ui_test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr char kProfileKey[] = "Software\\Ostrel\\Kelvane\\AXMonitor";
// Where settings would go if written before the console set its profile's place.
constexpr char kUnsetProfileKey[] = "Software\\Kelvane";

// A console process started with `arguments`; ended at the end of the test if still running.
class Console {
public:
    explicit Console(const std::string& arguments) {
        m_process.Start("\"" + WindowsPathOf(KELVANE_CONSOLE_EXE) + "\" " + arguments);
    }
    ~Console() {
        if (m_process.IsStarted() && !HasEnded(0)) {
            if (HWND window = FindWindowA(kMainWindowClass, nullptr))
                PostMessageA(window, WM_AXMON_EXIT, 0, 0);
            HasEnded(10000);
        }
    }
    bool Started() const { return m_process.IsStarted(); }
    bool HasEnded(DWORD timeoutMs) const { return m_process.WaitForEnd(timeoutMs); }

private:
    child_process::ChildProcess m_process;
};

HWND WaitForConsoleWindow() {
    HWND window = nullptr;
    WaitUntil([&] { return (window = FindWindowA(kMainWindowClass, nullptr)) != nullptr; }, 20000);
    return window;
}

bool ReadFrequency(DWORD& seconds) {
    DWORD size = sizeof seconds;
    return RegGetValueA(HKEY_CURRENT_USER, kProfileKey, "Frequency", RRF_RT_REG_DWORD, nullptr,
                        &seconds, &size) == ERROR_SUCCESS;
}

class ConsoleProcess : public testing::Test {
protected:
    void SetUp() override {
        EnsureServicesRunning();
        ASSERT_EQ(nullptr, FindWindowA(kMainWindowClass, nullptr)) << "a console is running";
    }
};

} // namespace

TEST_F(ConsoleProcess, OnePerDesktopCloseOnlyHidesAndExitWritesTheFrequencyReadAtStart) {
    DWORD chosen = 17;
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueA(HKEY_CURRENT_USER, kProfileKey, "Frequency", REG_DWORD,
                                             &chosen, sizeof chosen));
    Console first("-I");
    ASSERT_TRUE(first.Started());
    HWND window = WaitForConsoleWindow();
    ASSERT_NE(nullptr, window);
    EXPECT_FALSE(IsWindowVisible(window)) << "-I starts hidden";
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kProfileKey, "Frequency");
    RegDeleteTreeA(HKEY_CURRENT_USER, kUnsetProfileKey);

    Console second("");
    ASSERT_TRUE(second.Started());
    EXPECT_TRUE(second.HasEnded(20000)) << "the second console keeps running";
    base::UniqueKey stray;
    EXPECT_NE(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CURRENT_USER, kUnsetProfileKey, 0, KEY_READ, stray.Put()))
        << "the second console wrote settings";
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(window) != FALSE; }, 10000));

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(window); }, 10000));
    EXPECT_FALSE(first.HasEnded(500)) << "closing the window ended the console";
    DWORD seconds = 0;
    EXPECT_FALSE(ReadFrequency(seconds)) << "hiding wrote the frequency";

    PostMessageA(window, WM_AXMON_EXIT, 0, 0);
    ASSERT_TRUE(first.HasEnded(20000));
    ASSERT_TRUE(ReadFrequency(seconds));
    EXPECT_EQ(17u, seconds);
}
