// The server property sheet opened from the main frame, on the real services and registry of the
// test prefix: the pages, the service sequences with the tray icon following, and the registry
// layout of the mail and settings pages.
#include "console_fixture.h"
#include "tests/server/registry_keys.h"
#include "res/resource.h"
#include "server/connection_message.h"
#include "quota_service.h"
#include "services/axserver/server_settings.h"
#include "base/service_control.h"
#include "ui_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr char kProductKey[] = "Software\\Ostrel\\Allotrix\\4.0";
constexpr char kMailKey[] = "Software\\Ostrel\\Mail";

// The console's main frame, keeping every connection state it is told.
class RecordingFrame : public CMainFrame {
public:
    explicit RecordingFrame(monitor::CAXMonDoc& document) : CMainFrame(document, IgnoreTrayCall) {}
    std::vector<WPARAM> states;

protected:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        if (message == WM_AXMON_CONNECTED)
            states.push_back(wParam);
        return CMainFrame::OnMessage(message, wParam, lParam, result);
    }
};

struct RegistryValue {
    DWORD type = REG_NONE;
    std::string data; // "(missing)" when there is none
};

RegistryValue ReadValue(const char* key, const char* name) {
    RegistryValue value{REG_NONE, std::string(512, '\0')};
    DWORD size = static_cast<DWORD>(value.data.size());
    if (RegGetValueA(HKEY_LOCAL_MACHINE, key, name, RRF_RT_ANY | RRF_NOEXPAND, &value.type,
                     value.data.data(), &size) != ERROR_SUCCESS)
        return {REG_NONE, "(missing)"};
    value.data.resize(size);
    return value;
}

void DeleteValues(const char* key, std::initializer_list<const char*> names) {
    for (const char* name : names)
        RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, key, name);
}

bool ServiceRuns(const char* name) {
    DWORD state = 0;
    return QueryServiceState(name, nullptr, state) == ERROR_SUCCESS && state == SERVICE_RUNNING;
}

// A page of the open sheet, worked from the test's helper thread.
class Page {
public:
    Page(HWND sheet, int index) {
        SendMessageA(sheet, PSM_SETCURSEL, static_cast<WPARAM>(index), 0);
        m_page = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    }
    HWND Item(int id) const { return GetDlgItem(m_page, id); }
    std::string Text(int id) const { return ControlText(m_page, id); }
    void SetText(int id, const std::string& text) const {
        SendMessageA(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    bool Enabled(int id) const { return ::Enabled(m_page, id); }
    void Click(int id) const { ::Click(m_page, id); }
    void SelectRow(int row) const {
        ListView_SetItemState(Item(IDC_SERVICE_LIST), row, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
    }
    // The row's name, state, auditing and status, separated by "|".
    std::string Row(int row) const {
        std::string cells;
        for (int column = 0; column < 4; ++column) {
            char text[260] = {};
            ListView_GetItemText(Item(IDC_SERVICE_LIST), row, column, text, sizeof text);
            cells += (column ? "|" : "") + std::string(text);
        }
        return cells;
    }

private:
    HWND m_page;
};

int PageCount(HWND sheet) {
    return TabCtrl_GetItemCount(
        reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0)));
}

enum PageIndex { kInfoPage, kServicesPage, kMailPage, kSettingsPage };
enum ServiceRow { kQuotaRow, kPolicyRow };

class ServerProperties : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(EnsureServicesRunning());
        RegisterMainWindowClass();
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        ASSERT_TRUE(m_frame.CreateMainWindow());
    }
    void TearDown() override {
        if (m_frame.IsWindow())
            m_frame.Destroy();
        EnsureServicesRunning();
    }

    // Opens the sheet with File > Properties and runs `steps` on it from a helper thread; the
    // steps end the sheet with OK or Cancel.
    void WorkSheet(const std::function<void(HWND sheet)>& steps) {
        DialogDriver driver(LocalComputerName(), steps);
        m_frame.Send(WM_COMMAND, ID_FILE_PROPERTIES);
        EXPECT_TRUE(driver.Ran()) << "no server property sheet";
    }
    static void PressOk(HWND sheet) { SendMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0); }
    static void PressCancel(HWND sheet) { SendMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0); }

    monitor::CAXMonDoc m_document;
    RecordingFrame m_frame{m_document};
};

} // namespace

TEST_F(ServerProperties, OpensOnThisComputerWithItsFourPagesOrThreeOnAServerOfKindOne) {
    EXPECT_TRUE(m_frame.QueryCommandState(ID_FILE_PROPERTIES).Enabled());
    ASSERT_EQ(ERROR_SUCCESS, UninstallService("AXPolicy"));
    int pages = 0;
    std::string caption, version, policy;
    bool apply = true, help = true, secondReturned = false;
    WorkSheet([&](HWND sheet) {
        caption = WindowTextOf(sheet);
        pages = PageCount(sheet);
        apply = IsWindowVisible(GetDlgItem(sheet, 0x3021)) != FALSE;
        help = IsWindowVisible(GetDlgItem(sheet, IDHELP)) != FALSE;
        version = Page(sheet, kInfoPage).Text(IDC_VERSION_TEXT);
        policy = Page(sheet, kServicesPage).Row(kPolicyRow);
        // Properties again (the tray stays reachable) opens no second sheet.
        DWORD_PTR answer = 0;
        secondReturned = SendMessageTimeoutA(m_frame.Handle(), WM_COMMAND, ID_FILE_PROPERTIES, 0,
                                             SMTO_NORMAL, 20000, &answer) != 0;
        PressCancel(sheet);
    });
    EXPECT_NE(std::string::npos, caption.find(LocalComputerName())) << caption;
    EXPECT_EQ(4, pages);
    EXPECT_FALSE(apply);
    EXPECT_FALSE(help);
    EXPECT_TRUE(secondReturned);
    EXPECT_EQ("Application Version 4.0 (Build 100) Kelvane", version);
    EXPECT_EQ("AXPolicy|Stopped|Disabled|Not Installed", policy);

    // A server of kind 1 has no settings page.
    ASSERT_EQ(ERROR_SUCCESS, WriteServerKindSetting(kServerKindNoSettings));
    RestartQuotaService();
    bool mailLast = false;
    WorkSheet([&](HWND sheet) {
        pages = PageCount(sheet);
        mailLast = Page(sheet, pages - 1).Item(IDC_MAIL_SMTP_SERVER) != nullptr;
        PressCancel(sheet);
    });
    EXPECT_EQ(ERROR_SUCCESS, WriteServerKindSetting(kServerKindFull));
    RestartQuotaService();
    EXPECT_EQ(3, pages);
    EXPECT_TRUE(mailLast);
}

TEST_F(ServerProperties, ServicesStopStartAndSwitchAuditingInOrderWithTheTrayFollowing) {
    TestKey(HKEY_LOCAL_MACHINE, kProductKey)
        .String("ServerAuditing", "Auditing Enabled") // on: "Enabled" anywhere
        .String("PolicyAuditing", "enabled");         // off: other letters
    MessageBoxWatch boxes;
    std::vector<std::string> rows;
    bool quotaStoppedWhilePolicyRan = false;
    WorkSheet([&](HWND sheet) {
        Page page(sheet, kServicesPage);
        rows.push_back(page.Row(kQuotaRow));
        page.SelectRow(kQuotaRow);
        page.Click(IDC_SERVICE_STOP); // refused: the policy service runs
        quotaStoppedWhilePolicyRan = !ServiceRuns("AXServer");
        page.SelectRow(kPolicyRow);
        page.Click(IDC_SERVICE_STOP);
        rows.push_back(page.Row(kPolicyRow));
        page.Click(IDC_SERVICE_AUDITING); // stopped: switching starts it
        rows.push_back(page.Row(kPolicyRow));
        page.SelectRow(kQuotaRow); // both run: policy stops, quota restarts, policy starts
        page.Click(IDC_SERVICE_AUDITING);
        rows.push_back(page.Row(kQuotaRow));
        rows.push_back(page.Row(kPolicyRow));
        page.SelectRow(kPolicyRow);
        page.Click(IDC_SERVICE_STOP);
        page.SelectRow(kQuotaRow);
        page.Click(IDC_SERVICE_STOP);
        rows.push_back(page.Row(kQuotaRow));
        rows.push_back(page.Enabled(IDC_SERVICE_START) ? "start" : "stop");
        page.Click(IDC_SERVICE_START);
        page.SelectRow(kPolicyRow);
        page.Click(IDC_SERVICE_START);
        rows.push_back(page.Row(kQuotaRow));
        rows.push_back(page.Row(kPolicyRow));
        PressCancel(sheet);
    });
    EXPECT_FALSE(quotaStoppedWhilePolicyRan);
    EXPECT_EQ((std::vector<std::string>{"AXServer|Running|Enabled|", "AXPolicy|Stopped|Disabled|",
                                        "AXPolicy|Running|Enabled|", "AXServer|Running|Disabled|",
                                        "AXPolicy|Running|Enabled|", "AXServer|Stopped|Disabled|",
                                        "start", "AXServer|Running|Disabled|",
                                        "AXPolicy|Running|Enabled|"}),
              rows);
    EXPECT_EQ(
        (std::vector<std::string>{"AXPolicy service need to be stopped before AXServer service."}),
        boxes.Texts());
    EXPECT_EQ("Disabled", ReadValue(kProductKey, "ServerAuditing").data.substr(0, 8));
    EXPECT_EQ(std::string("Enabled\0", 8), ReadValue(kProductKey, "PolicyAuditing").data);
    EXPECT_EQ((std::vector<WPARAM>{0, 1, 0, 1}), m_frame.states);
    EXPECT_EQ(kTrayConnected, m_frame.TrayState());
    EXPECT_TRUE(ServiceRuns("AXServer"));
    EXPECT_TRUE(ServiceRuns("AXPolicy"));
    TestKey(HKEY_LOCAL_MACHINE, kProductKey)
        .String("ServerAuditing", "Disabled")
        .String("PolicyAuditing", "Disabled");
}

TEST_F(ServerProperties, MailSettingsKeepTheirRegistryLayout) {
    DeleteValues(kMailKey, {"SMTP Server", "Sender", "Username", "Password"});
    const std::string longPassword(80, 'p');
    TestKey(HKEY_LOCAL_MACHINE, kMailKey).String("Sender", "not shown without a server");
    TestKey(HKEY_LOCAL_MACHINE, kProductKey)
        .String("MailProfile", "Quota Mail")
        .Binary("MailInfo", "secret", 7);
    std::vector<std::string> shown;
    WorkSheet([&](HWND sheet) {
        Page page(sheet, kMailPage);
        for (int id : {IDC_MAIL_SMTP_SERVER, IDC_MAIL_SENDER, IDC_MAIL_PROFILE})
            shown.push_back(page.Text(id));
        shown.push_back(page.Enabled(IDC_MAIL_PROFILE_PASSWORD) ? "password editable" : "");
        page.SetText(IDC_MAIL_SMTP_SERVER, "smtp.example");
        page.SetText(IDC_MAIL_PASSWORD, longPassword);
        PressOk(sheet);
    });
    EXPECT_EQ((std::vector<std::string>{"", "", "Quota Mail", ""}), shown);
    struct Expected {
        const char* key;
        const char* name;
        DWORD type;
        std::string data;
    } const expected[] = {
        {kMailKey, "SMTP Server", REG_SZ, std::string("smtp.example\0", 13)},
        {kMailKey, "Sender", REG_SZ, std::string(1, '\0')},
        {kMailKey, "Username", REG_SZ, std::string(1, '\0')},
        {kMailKey, "Password", REG_BINARY, longPassword + '\0'},
        {kProductKey, "MailProfile", REG_SZ, std::string("Quota Mail\0", 11)},
        {kProductKey, "MailInfo", REG_BINARY, "secret" + std::string(75, '\0')},
    };
    for (const Expected& value : expected) {
        RegistryValue stored = ReadValue(value.key, value.name);
        EXPECT_EQ(value.type, stored.type) << value.name;
        EXPECT_EQ(value.data, stored.data) << value.name;
    }
}

// The device template is kept, or a chosen one stored as "computer\name".
TEST_F(ServerProperties, SettingsSplitTheMinimumQuotaAndKeepOrChooseTheDeviceTemplate) {
    RemoveAllTemplates();
    OrdinaryTemplate("Devices");
    struct Case {
        bool lowStored;
        DWORD low, high;
        const char* typed; // null: leave the field as shown
        const char* shown;
        DWORD savedLow, savedHigh;
        bool choose;
    } const cases[] = {
        {true, 0, 1, nullptr, "4294967296", 0, 1, false},
        {false, 0, 7, nullptr, "", 0, 0, false},
        {true, 5, 0, "8589934593", "5", 1, 2, true},
    };
    for (const Case& test : cases) {
        DeleteValues(kFallbackParentKey, {"MinPercentQuota"});
        TestKey parameters(HKEY_LOCAL_MACHINE, kFallbackParentKey);
        if (test.lowStored)
            parameters.Dword("MinPercentQuota", test.low);
        parameters.Dword("MinPercentQuotaHigh", test.high)
            .String("DeviceCapTemplate", "FS1\\Devices")
            .Dword("EnableDevCapQuotas", 0);
        std::string shown, chosen;
        bool templateEnabled = true, enabledAfterTick = false;
        DialogDriver chooser("Select a Template", [](HWND dialog) { Click(dialog, IDOK); });
        WorkSheet([&](HWND sheet) {
            Page page(sheet, kSettingsPage);
            shown = page.Text(IDC_MINIMUM_QUOTA);
            templateEnabled =
                page.Enabled(IDC_DEVICE_TEMPLATE) || page.Enabled(IDC_DEVICE_TEMPLATE_CHOOSE);
            SendMessageA(page.Item(IDC_DETECT_DEVICES), BM_SETCHECK, BST_CHECKED, 0);
            page.Click(IDC_DETECT_DEVICES);
            enabledAfterTick =
                page.Enabled(IDC_DEVICE_TEMPLATE) && page.Enabled(IDC_DEVICE_TEMPLATE_CHOOSE);
            if (test.choose)
                page.Click(IDC_DEVICE_TEMPLATE_CHOOSE);
            chosen = page.Text(IDC_DEVICE_TEMPLATE);
            SendMessageA(page.Item(IDC_DETECT_DEVICES), BM_SETCHECK, BST_UNCHECKED, 0);
            page.Click(IDC_DETECT_DEVICES);
            if (test.typed)
                page.SetText(IDC_MINIMUM_QUOTA, test.typed);
            PressOk(sheet);
        });
        EXPECT_EQ(test.shown, shown);
        EXPECT_FALSE(templateEnabled) << test.shown;
        EXPECT_TRUE(enabledAfterTick) << test.shown;
        auto dword = [](const char* name) {
            RegistryValue value = ReadValue(kFallbackParentKey, name);
            DWORD number = ~0u;
            if (value.type == REG_DWORD)
                memcpy(&number, value.data.data(), sizeof number);
            return number;
        };
        EXPECT_EQ(test.savedLow, dword("MinPercentQuota")) << test.shown;
        EXPECT_EQ(test.savedHigh, dword("MinPercentQuotaHigh")) << test.shown;
        EXPECT_EQ(0u, dword("EnableDevCapQuotas")) << test.shown;
        EXPECT_EQ(test.choose, chooser.Ran());
        const std::string kept = test.choose ? LocalComputerName() + "\\Devices" : "FS1\\Devices";
        EXPECT_EQ(kept, chosen);
        EXPECT_EQ(kept + '\0', ReadValue(kFallbackParentKey, "DeviceCapTemplate").data);
    }
    RemoveAllTemplates();
}
