// The tray icon in Wine's real notification area (needs an X display).
#include "ui/thread.h"
#include "ui/tray_icon.h"

#include "test_resources.h"

#include <gtest/gtest.h>

namespace {

bool ShellHoldsIcon(HWND owner, UINT id) {
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof data;
    data.hWnd = owner;
    data.uID = id;
    return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

TEST(TrayIconShell, AddsChangesSurvivesAnAnnouncementAndLeaves) {
    ui::WindowBase owner;
    ASSERT_TRUE(owner.Create(nullptr, "owner", WS_OVERLAPPEDWINDOW));
    ui::CTrayIcon icon;
    ASSERT_TRUE(icon.Create(owner.Handle(), WM_USER + 1, nullptr, 7));
    ASSERT_TRUE(icon.AddStateIcon(1, IDI_TEST_CONNECTED, "Kelvane"));
    ASSERT_TRUE(icon.AddStateIcon(0, IDI_TEST_DISCONNECTED, "Kelvane"));
    icon.ShowState(1);
    ASSERT_TRUE(icon.Show());
    EXPECT_TRUE(icon.IsInNotificationArea());
    EXPECT_TRUE(icon.ShowState(0));
    EXPECT_TRUE(icon.SetToolTip("Kelvane (not connected)"));

    PostMessageA(HWND_BROADCAST, ui::CTrayIcon::TaskbarCreatedMessage(), 0, 0);
    ui::PumpMessagesUntil([] { return false; }, 300);
    EXPECT_TRUE(icon.IsInNotificationArea());
    EXPECT_TRUE(ShellHoldsIcon(owner.Handle(), 7));

    EXPECT_TRUE(icon.Hide());
    EXPECT_FALSE(ShellHoldsIcon(owner.Handle(), 7));
}

} // namespace
