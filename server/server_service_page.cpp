#include "server/server_service_page.h"

#include "base/error_text.h"
#include "res/resource.h"
#include "server/connection_message.h"
#include "server/server_registry.h"
#include "server/service_state_text.h"
#include "base/service_control.h"
#include "base/handles.h"
#include "ui/message_box.h"
#include "ui/thread.h"
#include "ui/wait_cursor.h"
#include "base/resource_text.h"

#include <cstring>

namespace {

enum Column { kNameColumn, kStateColumn, kAuditingColumn, kStatusColumn };

// The auditing values live in the first of these keys that opens.
constexpr const char* kAuditingKeys[] = {"Software\\Ostrel\\Allotrix\\4.0",
                                         "Software\\Ostrel\\Allotrix\\2.1"};
constexpr char kEnabled[] = "Enabled";
constexpr char kDisabled[] = "Disabled";
constexpr DWORD kAuditingValueSize = 260;
constexpr DWORD kErrorTextSize = 260;
constexpr char kColumnWidthSample[] = "0123456789012345";
constexpr int kColumnMargin = 6;
constexpr COLORREF kServicesPictureBackground = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kWhite = RGB(0xFF, 0xFF, 0xFF);

LONG OpenAuditingKey(HKEY server, REGSAM access, base::UniqueKey& key) {
    LONG error = ERROR_FILE_NOT_FOUND;
    for (const char* path : kAuditingKeys) {
        error = RegOpenKeyExA(server, path, 0, access, key.Put());
        if (error == ERROR_SUCCESS)
            break;
    }
    return error;
}

// On when the value's text contains "Enabled" anywhere, in exactly these letters.
bool ReadAuditing(HKEY key, const char* value) {
    char text[kAuditingValueSize + 1] = {};
    DWORD size = kAuditingValueSize;
    if (RegQueryValueExA(key, value, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size) !=
        ERROR_SUCCESS)
        return false;
    return strstr(text, kEnabled) != nullptr;
}

const char* AuditingText(bool on) {
    return on ? kEnabled : kDisabled;
}

} // namespace

CServerServicePage::CServerServicePage()
    : CServerPage(IDD_SERVER_SERVICES), m_columnTitles(base::LoadText(IDS_SERVICE_COLUMNS)),
      m_services{{"AXServer", "ServerAuditing"}, {"AXPolicy", "PolicyAuditing"}} {}

bool CServerServicePage::OnInitDialog() {
    ui::PropertyPage::OnInitDialog();
    m_list = ui::ListView(Item(IDC_SERVICE_LIST));
    m_images.Create(16, 16, true, 1, 1);
    m_images.AddBitmap(IDB_SERVICE, kWhite);
    m_list.SetImageList(m_images.Handle());
    m_list.SetExtendedStyle(LVS_EX_FULLROWSELECT);

    int width = m_list.StringWidth(kColumnWidthSample) + kColumnMargin;
    size_t start = 0;
    for (int column = 0; start < m_columnTitles.size(); ++column) {
        size_t comma = m_columnTitles.find(',', start);
        if (comma == std::string::npos)
            comma = m_columnTitles.size();
        m_list.InsertColumn(column, m_columnTitles.substr(start, comma - start), width);
        start = comma + 1;
    }
    FillList();

    for (int id : {IDC_SERVICE_START, IDC_SERVICE_STOP, IDC_SERVICE_AUDITING})
        EnableItem(id, false);
    m_picture.SetPicture(IDB_SERVICES_PICTURE, true, kServicesPictureBackground);
    m_picture.TakeOver(m_hwnd, IDC_PAGE_PICTURE);
    return true;
}

bool CServerServicePage::OnCommand(UINT id, UINT code, HWND control) {
    int row = m_list.NextSelected();
    switch (id) {
    case IDC_SERVICE_START:
        if (row >= 0)
            Start(row);
        return true;
    case IDC_SERVICE_STOP:
        if (row >= 0)
            Stop(row);
        return true;
    case IDC_SERVICE_AUDITING:
        if (row >= 0)
            SwitchAuditing(row);
        return true;
    default:
        return ui::PropertyPage::OnCommand(id, code, control);
    }
}

bool CServerServicePage::OnNotify(UINT id, NMHDR& header, LRESULT& result) {
    if (id != IDC_SERVICE_LIST)
        return ui::PropertyPage::OnNotify(id, header, result);
    int row = m_list.NextSelected();
    if (row < 0)
        return false;
    if (header.code == NM_DBLCLK)
        RefreshRow(row);
    else if (header.code == NM_CLICK || header.code == LVN_ITEMCHANGED)
        EnableButtons(row);
    return false;
}

void CServerServicePage::FillList() {
    m_list.DeleteAllItems();
    m_services[kQuotaServiceRow].running = false;
    ServerRegistry registry;
    base::UniqueKey key;
    if (registry.Connect(m_server.c_str()) != ERROR_SUCCESS ||
        OpenAuditingKey(registry.Get(), KEY_QUERY_VALUE, key) != ERROR_SUCCESS)
        return;
    for (Service& service : m_services)
        service.auditing = ReadAuditing(key.Get(), service.auditingValue);
    key.Reset();
    registry.Close();

    for (int row : {kQuotaServiceRow, kPolicyServiceRow}) {
        m_list.InsertItem(row, m_services[row].name, 0);
        m_list.SetItemText(row, kAuditingColumn, AuditingText(m_services[row].auditing));
        RefreshRow(row);
    }
}

void CServerServicePage::RefreshRow(int row) {
    Service& service = m_services[row];
    DWORD state = 0;
    DWORD error = QueryServiceState(service.name, m_server.c_str(), state);
    ServiceStateText text = DescribeServiceState(error, state);
    service.running = text.running;
    m_list.SetItemText(row, kStateColumn, text.state);
    m_list.SetItemText(row, kStatusColumn, text.status);
    EnableButtons(row);
}

void CServerServicePage::EnableButtons(int row) {
    if (m_list.NextSelected() != row)
        return;
    EnableItem(IDC_SERVICE_START, !m_services[row].running);
    EnableItem(IDC_SERVICE_STOP, m_services[row].running);
    EnableItem(IDC_SERVICE_AUDITING, true);
}

void CServerServicePage::Start(int row) {
    if (m_services[row].running)
        return;
    DWORD error = StartAndWait(row);
    RefreshRow(row);
    if (error != ERROR_SUCCESS) {
        ShowError(error);
        return;
    }
    if (row == kPolicyServiceRow)
        RefreshRow(kQuotaServiceRow);
    else
        NotifyMainWindow(true);
}

void CServerServicePage::Stop(int row) {
    if (row == kQuotaServiceRow && m_services[kPolicyServiceRow].running) {
        ui::ShowMessage(m_hwnd, base::LoadText(IDS_STOP_POLICY_FIRST), MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (!m_services[row].running)
        return;
    DWORD error = StopAndWait(row);
    RefreshRow(row);
    if (error != ERROR_SUCCESS) {
        ShowError(error);
        return;
    }
    if (row == kQuotaServiceRow)
        NotifyMainWindow(false);
}

void CServerServicePage::SwitchAuditing(int row) {
    ui::WaitCursor wait;
    ServerRegistry registry;
    base::UniqueKey key;
    if (registry.Connect(m_server.c_str()) != ERROR_SUCCESS ||
        OpenAuditingKey(registry.Get(), KEY_ALL_ACCESS, key) != ERROR_SUCCESS)
        return;
    if (!WriteAuditing(key.Get(), row))
        return;
    // The service reads its auditing setting when it starts.
    if (row == kPolicyServiceRow) {
        Stop(kPolicyServiceRow);
        Start(kPolicyServiceRow);
        return;
    }
    Service& policy = m_services[kPolicyServiceRow];
    if (!m_services[kQuotaServiceRow].running) {
        Start(kQuotaServiceRow);
        return;
    }
    // The quota service cannot stop while the policy service, which depends on it, runs.
    bool policyRan = policy.running;
    if (policyRan) {
        StopAndWait(kPolicyServiceRow);
        RefreshRow(kPolicyServiceRow);
    }
    Stop(kQuotaServiceRow);
    Start(kQuotaServiceRow);
    if (policyRan)
        StartAndWait(kPolicyServiceRow);
    RefreshRow(kPolicyServiceRow);
}

bool CServerServicePage::WriteAuditing(HKEY key, int row) {
    Service& service = m_services[row];
    const char* text = AuditingText(!service.auditing);
    LONG error =
        RegSetValueExA(key, service.auditingValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                       static_cast<DWORD>(strlen(text) + 1));
    if (error != ERROR_SUCCESS) {
        ShowError(static_cast<DWORD>(error));
        return false;
    }
    service.auditing = !service.auditing;
    m_list.SetItemText(row, kAuditingColumn, text);
    return true;
}

DWORD CServerServicePage::StartAndWait(int row) {
    const char* name = m_services[row].name;
    return RunServiceCall(row, IDS_SERVICE_STARTING,
                          [this, name] { return StartServiceAndWait(name, m_server.c_str()); });
}

DWORD CServerServicePage::StopAndWait(int row) {
    const char* name = m_services[row].name;
    return RunServiceCall(row, IDS_SERVICE_STOPPING,
                          [this, name] { return StopServiceAndWait(name, m_server.c_str()); });
}

DWORD CServerServicePage::RunServiceCall(int row, UINT progressText,
                                         const std::function<DWORD()>& call) {
    ui::WaitCursor wait;
    m_list.SetItemText(row, kStatusColumn, base::LoadText(progressText));
    HWND sheet = Sheet();
    bool sheetWasEnabled = IsWindowEnabled(sheet) != FALSE;
    EnableWindow(sheet, FALSE);
    ui::Thread worker;
    DWORD result = ERROR_NOT_ENOUGH_MEMORY;
    if (worker.Start(call)) {
        ui::PumpMessagesUntil([&worker] { return !worker.Running(); }, INFINITE);
        worker.Join();
        result = worker.ExitCode();
    }
    if (sheetWasEnabled)
        EnableWindow(sheet, TRUE);
    m_list.Focus();
    return result;
}

void CServerServicePage::NotifyMainWindow(bool quotaServiceRuns) {
    if (m_mainWindow)
        SendMessageA(m_mainWindow, WM_AXMON_CONNECTED, quotaServiceRuns ? 1 : 0, 0);
}

void CServerServicePage::ShowError(DWORD error) {
    char text[kErrorTextSize] = {};
    GetErrorText(error, text, sizeof text);
    ui::ShowMessage(m_hwnd, text);
}
