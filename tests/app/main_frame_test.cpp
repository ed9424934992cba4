// The main frame in this process: tray states, the Monitor command, hiding on close, and the
// frequency dialog's OK button.
#include "app/app_messages.h"
#include "app/ax_mgr_app.h"
#include "app/frequency_dlg.h"
#include "app/main_frame.h"
#include "monitor/ax_mon_doc.h"
#include "monitor/monitor_messages.h"
#include "res/resource.h"
#include "ui_test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<DWORD> g_trayCalls;

BOOL WINAPI RecordTrayCall(DWORD message, NOTIFYICONDATAA*) {
    g_trayCalls.push_back(message);
    return TRUE;
}

size_t CountTrayCalls(DWORD message) {
    size_t count = 0;
    for (DWORD call : g_trayCalls)
        count += call == message;
    return count;
}

class MainFrameTest : public testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA windowClass{};
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kMainWindowClass;
        RegisterClassA(&windowClass);
        g_trayCalls.clear();
        ASSERT_TRUE(m_frame.CreateMainWindow());
    }
    void TearDown() override {
        if (m_frame.IsWindow())
            m_frame.Destroy();
    }

    monitor::CAXMonDoc m_document;
    CMainFrame m_frame{m_document, RecordTrayCall};
};

} // namespace

TEST_F(MainFrameTest, CreatedHiddenWithCaptionToolbarStatusBarAndConnectedTray) {
    EXPECT_FALSE(m_frame.IsVisible());
    EXPECT_EQ("Kelvane", m_frame.Text());
    EXPECT_TRUE(m_frame.ToolBar().IsWindow());
    EXPECT_TRUE(m_frame.StatusBar().IsWindow());
    EXPECT_EQ(kTrayConnected, m_frame.TrayState());
    EXPECT_EQ(1u, CountTrayCalls(NIM_ADD));
    EXPECT_TRUE(m_frame.TrayIcon().IsInNotificationArea());
}

TEST_F(MainFrameTest, TrayIconFollowsTheConnectionState) {
    size_t modifiesBefore = CountTrayCalls(NIM_MODIFY);
    m_frame.Send(WM_AXMON_CONNECTED, 0);
    EXPECT_EQ(kTrayDisconnected, m_frame.TrayState());
    m_frame.Send(WM_AXMON_CONNECTED, 1);
    EXPECT_EQ(kTrayConnected, m_frame.TrayState());
    EXPECT_EQ(modifiesBefore + 2, CountTrayCalls(NIM_MODIFY));
}

TEST_F(MainFrameTest, CloseHidesAndTrayDoubleClickShowsAgain) {
    m_frame.Show(SW_SHOW);
    m_frame.Send(WM_CLOSE);
    EXPECT_TRUE(m_frame.IsWindow()) << "closing destroyed the frame";
    EXPECT_FALSE(m_frame.IsVisible());
    m_frame.Send(WM_AXMON_TRAY, 0, WM_MOUSEMOVE);
    EXPECT_FALSE(m_frame.IsVisible());
    m_frame.Send(WM_AXMON_TRAY, 0, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(m_frame.IsVisible());
}

TEST_F(MainFrameTest, TrayExitDestroysTheFrameAndRemovesTheIcon) {
    m_frame.Send(WM_COMMAND, ID_TRAY_EXIT);
    EXPECT_FALSE(m_frame.IsWindow());
}

TEST_F(MainFrameTest, CommandsOfWorkNotOfferedAreDisabled) {
    EXPECT_FALSE(m_frame.QueryCommandState(ID_FILE_SAVE).Enabled());
    EXPECT_TRUE(m_frame.QueryCommandState(ID_FILE_FREQUENCY).Enabled());
    EXPECT_TRUE(m_frame.QueryCommandState(ID_APP_ABOUT).Enabled());
}

TEST(HiddenStartSwitch, MatchesOnlyTheSwitchInAnyCase) {
    EXPECT_TRUE(CAXMgrApp::WantsHiddenStart({"-i"}));
    EXPECT_TRUE(CAXMgrApp::WantsHiddenStart({"x", "/I"}));
    EXPECT_TRUE(CAXMgrApp::WantsHiddenStart({"-I", "-i"}));
    EXPECT_FALSE(CAXMgrApp::WantsHiddenStart({"-ix", "i", "--i", "/", ""}));
    EXPECT_FALSE(CAXMgrApp::WantsHiddenStart({}));
}

TEST(FrequencyDialog, ZeroDisablesOkAndOkTakesTheNewValue) {
    bool zeroDisabled = false, oneEnabled = false;
    CFrequencyDlg dialog(5, nullptr);
    DialogDriver driver("Monitor Frequency", [&](HWND window) {
        HWND edit = GetDlgItem(window, IDC_FREQUENCY_SECONDS);
        HWND ok = GetDlgItem(window, IDOK);
        SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("0"));
        zeroDisabled = !IsWindowEnabled(ok);
        SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("12"));
        oneEnabled = IsWindowEnabled(ok) != FALSE;
        SendMessageA(window, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_TRUE(driver.Ran());
    EXPECT_TRUE(zeroDisabled);
    EXPECT_TRUE(oneEnabled);
    EXPECT_EQ(12u, dialog.Seconds());
}
