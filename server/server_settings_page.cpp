#include "server/server_settings_page.h"

#include "res/resource.h"
#include "server/server_registry.h"
#include "server/template_chooser.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

constexpr char kParametersKey[] = "SYSTEM\\CurrentControlSet\\Services\\AxFilter\\Parameters";
constexpr unsigned kMaxTemplateCharacters = 34;
constexpr DWORD kTextValueSize = 81;

bool ReadDword(HKEY key, const char* name, DWORD& value) {
    DWORD size = sizeof value;
    return RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) ==
           ERROR_SUCCESS;
}

void WriteDword(HKEY key, const char* name, DWORD value) {
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

} // namespace

CServerSettings::CServerSettings() : CServerPage(IDD_SERVER_SETTINGS) {}

bool CServerSettings::OnInitDialog() {
    ui::PropertyPage::OnInitDialog();
    m_templateButtonImage.Reset(
        static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_BROWSE),
                                        IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS)));
    SendItem(IDC_DEVICE_TEMPLATE_CHOOSE, BM_SETIMAGE, IMAGE_BITMAP,
             reinterpret_cast<LPARAM>(m_templateButtonImage.Get()));
    Load();
    EnableTemplate();
    return true;
}

bool CServerSettings::OnCommand(UINT id, UINT code, HWND control) {
    switch (id) {
    case IDC_DETECT_DEVICES:
        if (code == BN_CLICKED) {
            UpdateData(true);
            EnableTemplate();
        }
        return true;
    case IDC_DEVICE_TEMPLATE_CHOOSE:
        if (code == BN_CLICKED)
            ChooseTemplate();
        return true;
    default:
        return ui::PropertyPage::OnCommand(id, code, control);
    }
}

void CServerSettings::DoDataExchange(ui::DataExchange& exchange) {
    exchange.Text(IDC_DEVICE_TEMPLATE, m_deviceTemplate);
    exchange.MaxLength(IDC_DEVICE_TEMPLATE, kMaxTemplateCharacters);
    exchange.Check(IDC_DETECT_DEVICES, m_detectDevices);
    exchange.Text(IDC_MINIMUM_QUOTA, m_minimumQuota);
}

void CServerSettings::Load() {
    ServerRegistry registry;
    base::UniqueKey key;
    if (registry.Connect(m_server.c_str()) != ERROR_SUCCESS ||
        RegOpenKeyExA(registry.Get(), kParametersKey, 0, KEY_QUERY_VALUE, key.Put()) !=
            ERROR_SUCCESS)
        return;
    DWORD low = 0, high = 0;
    if (ReadDword(key.Get(), "MinPercentQuota", low)) {
        ReadDword(key.Get(), "MinPercentQuotaHigh", high);
        m_minimumQuota = std::to_string((uint64_t{high} << 32) | low);
    }
    char text[kTextValueSize + 1] = {};
    DWORD size = kTextValueSize;
    if (RegQueryValueExA(key.Get(), "DeviceCapTemplate", nullptr, nullptr,
                         reinterpret_cast<BYTE*>(text), &size) == ERROR_SUCCESS)
        m_deviceTemplate = text;
    BYTE flag[kTextValueSize] = {};
    size = sizeof flag;
    if (RegQueryValueExA(key.Get(), "EnableDevCapQuotas", nullptr, nullptr, flag, &size) ==
        ERROR_SUCCESS)
        m_detectDevices = flag[0] != 0;
    UpdateData(false);
}

bool CServerSettings::OnApply() {
    if (!UpdateData(true))
        return false;
    Save();
    return true;
}

void CServerSettings::Save() {
    ServerRegistry registry;
    base::UniqueKey key;
    if (registry.Connect(m_server.c_str()) != ERROR_SUCCESS ||
        RegOpenKeyExA(registry.Get(), kParametersKey, 0, KEY_ALL_ACCESS, key.Put()) !=
            ERROR_SUCCESS)
        return;
    uint64_t minimum = strtoull(m_minimumQuota.c_str(), nullptr, 10);
    WriteDword(key.Get(), "MinPercentQuota", static_cast<DWORD>(minimum));
    WriteDword(key.Get(), "MinPercentQuotaHigh", static_cast<DWORD>(minimum >> 32));
    RegSetValueExA(key.Get(), "DeviceCapTemplate", 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(m_deviceTemplate.c_str()),
                   static_cast<DWORD>(m_deviceTemplate.size() + 1));
    WriteDword(key.Get(), "EnableDevCapQuotas", m_detectDevices ? 1 : 0);
}

void CServerSettings::ChooseTemplate() {
    UpdateData(true);
    CTemplateChooserDlg chooser(CTemplateChooserDlg::Templates, m_server.c_str(), m_hwnd);
    if (chooser.DoModal() == IDOK)
        m_deviceTemplate = chooser.ComputerName() + "\\" + chooser.ChosenName();
    UpdateData(false);
}

void CServerSettings::EnableTemplate() {
    EnableItem(IDC_DEVICE_TEMPLATE, m_detectDevices);
    EnableItem(IDC_DEVICE_TEMPLATE_CHOOSE, m_detectDevices);
}
