#include "server/server_mail_page.h"

#include "base/error_text.h"
#include "res/resource.h"
#include "server/server_registry.h"
#include "base/handles.h"
#include "ui/message_box.h"
#include "base/resource_text.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

constexpr char kMailKey[] = "Software\\Ostrel\\Mail";
constexpr char kProductKey[] = "Software\\Ostrel\\Allotrix\\4.0";
// Every value holds at most 80 characters and the terminating zero.
constexpr DWORD kValueSize = 81;
constexpr unsigned kMaxCharacters = kValueSize - 1;
constexpr DWORD kErrorTextSize = 260;

constexpr int kEditControls[] = {IDC_MAIL_PROFILE_PASSWORD, IDC_MAIL_PROFILE,
                                 IDC_MAIL_SMTP_SERVER,      IDC_MAIL_SENDER,
                                 IDC_MAIL_USER_NAME,        IDC_MAIL_PASSWORD};

// Reads a value of at most kValueSize bytes; false when it is missing or longer.
bool ReadValue(HKEY key, const char* name, std::string& value) {
    char data[kValueSize + 1] = {};
    DWORD size = kValueSize;
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size) !=
        ERROR_SUCCESS)
        return false;
    value.assign(data, strnlen(data, kValueSize));
    return true;
}

LONG WriteText(HKEY key, const char* name, const std::string& text, DWORD type = REG_SZ) {
    return RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1));
}

// The profile password as the policy service reads it: an 81-byte block, zero-filled.
LONG WriteProfilePassword(HKEY key, const std::string& password) {
    BYTE block[kValueSize] = {};
    memcpy(block, password.data(), std::min<size_t>(password.size(), kMaxCharacters));
    return RegSetValueExA(key, "MailInfo", 0, REG_BINARY, block, sizeof block);
}

} // namespace

CServerMailPage::CServerMailPage() : CServerPage(IDD_SERVER_MAIL) {}

bool CServerMailPage::OnInitDialog() {
    ui::PropertyPage::OnInitDialog();
    Load();
    m_loading = true;
    UpdateData(false);
    m_loading = false;
    // Later systems keep the profile's password with the profile itself.
    if (LOBYTE(LOWORD(GetVersion())) > 3) {
        SetItemText(IDC_MAIL_PROFILE_LABEL, base::LoadText(IDS_MAIL_PROFILE_LABEL));
        EnableItem(IDC_MAIL_PROFILE_PASSWORD_LABEL, false);
        EnableItem(IDC_MAIL_PROFILE_PASSWORD, false);
    }
    return true;
}

bool CServerMailPage::OnCommand(UINT id, UINT code, HWND control) {
    if (code == EN_CHANGE) {
        if (!m_loading)
            UpdateData(true);
        return true;
    }
    return ui::PropertyPage::OnCommand(id, code, control);
}

void CServerMailPage::DoDataExchange(ui::DataExchange& exchange) {
    std::string* members[] = {&m_profilePassword, &m_profile,  &m_smtpServer,
                              &m_sender,          &m_userName, &m_password};
    for (size_t i = 0; i < std::size(kEditControls); ++i) {
        exchange.Text(kEditControls[i], *members[i]);
        exchange.MaxLength(kEditControls[i], kMaxCharacters);
    }
}

void CServerMailPage::Load() {
    ServerRegistry registry;
    if (registry.Connect(m_server.c_str()) != ERROR_SUCCESS)
        return;
    base::UniqueKey key;
    if (RegOpenKeyExA(registry.Get(), kMailKey, 0, KEY_QUERY_VALUE, key.Put()) == ERROR_SUCCESS &&
        ReadValue(key.Get(), "SMTP Server", m_smtpServer)) {
        ReadValue(key.Get(), "Sender", m_sender);
        ReadValue(key.Get(), "Username", m_userName);
        ReadValue(key.Get(), "Password", m_password);
    }
    if (RegOpenKeyExA(registry.Get(), kProductKey, 0, KEY_QUERY_VALUE, key.Put()) ==
            ERROR_SUCCESS &&
        ReadValue(key.Get(), "MailProfile", m_profile))
        ReadValue(key.Get(), "MailInfo", m_profilePassword);
}

bool CServerMailPage::OnApply() {
    if (!UpdateData(true))
        return false;
    LONG error = Save();
    if (error == ERROR_SUCCESS)
        return true;
    char text[kErrorTextSize] = {};
    GetErrorText(static_cast<DWORD>(error), text, sizeof text);
    ui::ShowMessage(m_hwnd, text);
    return false;
}

LONG CServerMailPage::Save() {
    ServerRegistry registry;
    LONG error = registry.Connect(m_server.c_str());
    if (error != ERROR_SUCCESS)
        return error;
    base::UniqueKey key;
    error = RegCreateKeyExA(registry.Get(), kMailKey, 0, const_cast<char*>(""),
                            REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, key.Put(), nullptr);
    if (error != ERROR_SUCCESS)
        return error;
    if ((error = WriteText(key.Get(), "SMTP Server", m_smtpServer)) != ERROR_SUCCESS ||
        (error = WriteText(key.Get(), "Sender", m_sender)) != ERROR_SUCCESS ||
        (error = WriteText(key.Get(), "Username", m_userName)) != ERROR_SUCCESS ||
        (error = WriteText(key.Get(), "Password", m_password, REG_BINARY)) != ERROR_SUCCESS)
        return error;
    error = RegOpenKeyExA(registry.Get(), kProductKey, 0, KEY_ALL_ACCESS, key.Put());
    if (error != ERROR_SUCCESS)
        return error;
    if ((error = WriteText(key.Get(), "MailProfile", m_profile)) != ERROR_SUCCESS)
        return error;
    return WriteProfilePassword(key.Get(), m_profilePassword);
}
