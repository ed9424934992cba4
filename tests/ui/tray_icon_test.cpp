// The tray icon keeps its state whatever the notification area does: missing at start, restarted,
// or losing the icon silently. The shell call is replaced by a recording one; the icon in Wine's
// own notification area and its states in the console are checked elsewhere.
#include "ui/thread.h"
#include "ui/tray_icon.h"

#include "test_resources.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct FakeShell {
    bool present = false;
    bool holdsIcon = false;
    std::vector<std::pair<DWORD, HICON>> calls;
} g_shell;

BOOL WINAPI FakeNotify(DWORD message, NOTIFYICONDATAA* data) {
    g_shell.calls.push_back({message, (data->uFlags & NIF_ICON) ? data->hIcon : nullptr});
    if (!g_shell.present)
        return FALSE;
    if (message == NIM_ADD)
        return !std::exchange(g_shell.holdsIcon, true);
    return message == NIM_MODIFY ? g_shell.holdsIcon : std::exchange(g_shell.holdsIcon, false);
}

TEST(TrayIcon, ComesBackInItsLastStateWhenTheTaskbarStartsOrTheShellLostIt) {
    ui::WindowBase owner;
    ASSERT_TRUE(owner.Create(nullptr, "owner", WS_OVERLAPPEDWINDOW));
    auto icon = std::make_unique<ui::CTrayIcon>(FakeNotify);
    ASSERT_TRUE(icon->Create(owner.Handle(), WM_USER + 1));
    ASSERT_TRUE(icon->AddStateIcon(1, IDI_TEST_CONNECTED, "Kelvane"));
    ASSERT_TRUE(icon->AddStateIcon(0, IDI_TEST_DISCONNECTED, "Kelvane"));
    EXPECT_FALSE(icon->AddStateIcon(2, 999, "none")) << "an icon resource that is missing";
    // The taskbar announces itself to every top-level window.
    auto announce = [&](bool answered) {
        const size_t before = g_shell.calls.size();
        PostMessageA(HWND_BROADCAST, ui::CTrayIcon::TaskbarCreatedMessage(), 0, 0);
        return ui::PumpMessagesUntil([&] { return g_shell.calls.size() > before; },
                                     answered ? 3000 : 300);
    };

    icon->ShowState(1);
    EXPECT_FALSE(icon->Show()) << "no notification area yet";
    icon->ShowState(0);
    g_shell.present = true;
    ASSERT_TRUE(announce(true));
    EXPECT_TRUE(icon->IsInNotificationArea());
    EXPECT_EQ(g_shell.calls.back().first, static_cast<DWORD>(NIM_ADD));
    const HICON disconnected = g_shell.calls.back().second;
    icon->ShowState(1);
    const HICON connected = g_shell.calls.back().second;
    EXPECT_NE(connected, disconnected);
    const size_t calls = g_shell.calls.size();
    icon->ShowState(1);
    EXPECT_EQ(g_shell.calls.size(), calls) << "an unchanged state calls nothing";

    g_shell.holdsIcon = false; // the shell ended and started again
    ASSERT_TRUE(announce(true));
    EXPECT_TRUE(g_shell.holdsIcon);
    EXPECT_EQ(g_shell.calls.back(), std::make_pair(DWORD{NIM_ADD}, connected));

    g_shell.holdsIcon = false; // the shell lost the icon without a word
    EXPECT_TRUE(icon->ShowState(0));
    EXPECT_EQ(g_shell.calls.back(), std::make_pair(DWORD{NIM_ADD}, disconnected));

    EXPECT_TRUE(icon->Hide());
    EXPECT_FALSE(announce(false)) << "a hidden icon stays hidden";
    EXPECT_FALSE(g_shell.holdsIcon);
    icon->Show();
    EXPECT_TRUE(g_shell.holdsIcon);
    icon.reset();
    EXPECT_FALSE(g_shell.holdsIcon) << "a destroyed icon leaves the notification area";
}

} // namespace
