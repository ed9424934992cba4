// The tray icon keeps its state whatever the notification area does: missing at start, restarted,
// or answering every change. The shell call is replaced by a recording one, except in the test
// against Wine's own notification area.
#include "ui/thread.h"
#include "ui/tray_icon.h"

#include "test_resources.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct ShellCall {
    DWORD message;
    HICON icon;
    std::string tip;
};

struct FakeShell {
    bool present = false;
    bool holdsIcon = false;
    std::vector<ShellCall> calls;
};
FakeShell g_shell;

BOOL WINAPI FakeNotify(DWORD message, NOTIFYICONDATAA* data) {
    g_shell.calls.push_back(
        {message, (data->uFlags & NIF_ICON) ? data->hIcon : nullptr, data->szTip});
    if (!g_shell.present)
        return FALSE;
    switch (message) {
    case NIM_ADD:
        if (g_shell.holdsIcon)
            return FALSE;
        g_shell.holdsIcon = true;
        return TRUE;
    case NIM_MODIFY:
        return g_shell.holdsIcon;
    case NIM_DELETE:
        return std::exchange(g_shell.holdsIcon, false);
    default:
        return FALSE;
    }
}

size_t Count(DWORD message) {
    size_t count = 0;
    for (const auto& call : g_shell.calls)
        count += call.message == message;
    return count;
}

class TrayIcon : public testing::Test {
protected:
    void SetUp() override {
        g_shell = FakeShell{};
        ASSERT_TRUE(owner.Create(nullptr, "owner", WS_OVERLAPPEDWINDOW));
        ASSERT_TRUE(icon.Create(owner.Handle(), WM_USER + 1));
        ASSERT_TRUE(icon.AddStateIcon(1, IDI_TEST_CONNECTED, "Kelvane"));
        ASSERT_TRUE(icon.AddStateIcon(0, IDI_TEST_DISCONNECTED, "Kelvane"));
    }
    // The taskbar announces itself to every top-level window.
    void AnnounceTaskbar() {
        size_t before = g_shell.calls.size();
        PostMessageA(HWND_BROADCAST, ui::CTrayIcon::TaskbarCreatedMessage(), 0, 0);
        ASSERT_TRUE(ui::PumpMessagesUntil([&] { return g_shell.calls.size() > before; }, 3000));
    }
    HICON LastIcon() const { return g_shell.calls.back().icon; }

    ui::WindowBase owner;
    ui::CTrayIcon icon{FakeNotify};
};

TEST_F(TrayIcon, ShowsTheStateIconWithItsTipAndChangesItOnlyWhenTheStateChanges) {
    icon.ShowState(1);
    icon.SetToolTip("Kelvane monitor");
    ASSERT_EQ(Count(NIM_ADD), 0u) << "nothing is shown before Show";
    g_shell.present = true;
    ASSERT_TRUE(icon.Show());
    EXPECT_TRUE(icon.IsInNotificationArea());
    ASSERT_EQ(g_shell.calls.size(), 1u);
    EXPECT_EQ(g_shell.calls[0].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(g_shell.calls[0].tip, "Kelvane monitor");
    HICON connected = LastIcon();
    ASSERT_NE(connected, nullptr);

    icon.ShowState(0);
    icon.ShowState(0);
    EXPECT_EQ(Count(NIM_MODIFY), 1u);
    EXPECT_NE(LastIcon(), connected);
    icon.ShowState(1);
    EXPECT_EQ(Count(NIM_MODIFY), 2u);
    EXPECT_EQ(LastIcon(), connected);
    EXPECT_EQ(icon.State(), 1);
    EXPECT_FALSE(icon.AddStateIcon(2, 999, "none")) << "an icon resource that is missing";
}

TEST_F(TrayIcon, WithoutANotificationAreaTheIconWaitsForTheTaskbar) {
    icon.ShowState(1);
    EXPECT_FALSE(icon.Show());
    EXPECT_TRUE(icon.IsShown());
    EXPECT_FALSE(icon.IsInNotificationArea());
    icon.ShowState(0);
    EXPECT_EQ(icon.State(), 0) << "the state is kept while there is nowhere to show it";

    g_shell.present = true;
    g_shell.calls.clear();
    AnnounceTaskbar();
    EXPECT_TRUE(icon.IsInNotificationArea());
    ASSERT_EQ(g_shell.calls.size(), 1u);
    EXPECT_EQ(g_shell.calls[0].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(g_shell.calls[0].tip, "Kelvane");
    HICON disconnected = LastIcon();
    icon.ShowState(1);
    icon.ShowState(0);
    EXPECT_EQ(LastIcon(), disconnected) << "the re-added icon was the current state's";
}

TEST_F(TrayIcon, RestartedShellGetsTheIconBackInItsLastState) {
    g_shell.present = true;
    icon.ShowState(1);
    icon.Show();
    icon.ShowState(0);
    HICON disconnected = LastIcon();

    g_shell.holdsIcon = false; // the shell ended and started again
    g_shell.calls.clear();
    AnnounceTaskbar();
    ASSERT_EQ(Count(NIM_ADD), 1u);
    EXPECT_EQ(g_shell.calls.back().icon, disconnected);
    EXPECT_TRUE(g_shell.holdsIcon);

    g_shell.calls.clear();
    AnnounceTaskbar(); // an announcement while the icon is still there
    EXPECT_TRUE(g_shell.holdsIcon);
    EXPECT_TRUE(icon.IsInNotificationArea());
    EXPECT_EQ(g_shell.calls.back().message, static_cast<DWORD>(NIM_MODIFY));
}

TEST_F(TrayIcon, ShellThatLostTheIconSilentlyGetsItAgainOnTheNextChange) {
    g_shell.present = true;
    icon.ShowState(1);
    icon.Show();
    g_shell.holdsIcon = false;
    EXPECT_TRUE(icon.ShowState(0));
    EXPECT_TRUE(g_shell.holdsIcon);
    EXPECT_EQ(Count(NIM_ADD), 2u);
}

TEST_F(TrayIcon, HiddenIconStaysHiddenWhenTheTaskbarAnnouncesItself) {
    g_shell.present = true;
    icon.ShowState(1);
    icon.Show();
    EXPECT_TRUE(icon.Hide());
    EXPECT_FALSE(g_shell.holdsIcon);
    icon.ShowState(0);
    size_t calls = g_shell.calls.size();
    PostMessageA(HWND_BROADCAST, ui::CTrayIcon::TaskbarCreatedMessage(), 0, 0);
    ui::PumpMessagesUntil([] { return false; }, 300);
    EXPECT_EQ(g_shell.calls.size(), calls);
    EXPECT_FALSE(g_shell.holdsIcon);
    icon.Show();
    EXPECT_TRUE(g_shell.holdsIcon);
}

TEST_F(TrayIcon, DestroyedIconLeavesTheNotificationArea) {
    g_shell.present = true;
    {
        ui::CTrayIcon scoped(FakeNotify);
        ASSERT_TRUE(scoped.Create(owner.Handle(), WM_USER + 1, nullptr, 2));
        ASSERT_TRUE(scoped.AddStateIcon(1, IDI_TEST_CONNECTED, "scoped"));
        scoped.ShowState(1);
        scoped.Show();
        EXPECT_TRUE(g_shell.holdsIcon);
    }
    EXPECT_FALSE(g_shell.holdsIcon);
    EXPECT_EQ(g_shell.calls.back().message, static_cast<DWORD>(NIM_DELETE));
}

} // namespace
