#include "quota/mail_info_dlg.h"

#include "base/resource_text.h"
#include "res/resource.h"
#include "ui/button_bitmap.h"
#include "ui/message_box.h"

#include <algorithm>
#include <cstring>

namespace quota {

namespace {

constexpr unsigned kSecretLimit = kMailSecretSize - 1;
constexpr unsigned kMailTextLimit = 255;

bool PasswordKeptInDialog() {
    return LOBYTE(LOWORD(GetVersion())) < 4;
}

void CopyMailText(char (&field)[kMailTextSize], const std::string& text) {
    const size_t length = std::min(text.size(), kMailTextSize - 1);
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
}

std::string WithoutTrailingSeparator(std::string list) {
    if (!list.empty() && list.back() == ';')
        list.pop_back();
    return list;
}

} // namespace

CMailInfoDlg::CMailInfoDlg(uint32_t actionFlags, const ReportMailInfo& mail, HWND parent,
                           AddressBookFunction addressBook)
    : Dialog(IDD_MAIL_INFO, parent), m_mail(mail), m_actionFlags(actionFlags),
      m_addressBook(std::move(addressBook)), m_passwordKept(PasswordKeptInDialog()) {
    char clear[kMailSecretSize] = "";
    m_mail.GetMailProfile(clear);
    clear[kSecretLimit] = '\0';
    m_profile = clear;
    if (m_passwordKept) {
        m_mail.GetMailPassword(clear);
        clear[kSecretLimit] = '\0';
        m_password = clear;
    }
    m_to.assign(m_mail.MailTo, strnlen(m_mail.MailTo, kMailTextSize - 1));
    m_cc.assign(m_mail.MailCc, strnlen(m_mail.MailCc, kMailTextSize - 1));
    m_subject.assign(m_mail.MailSubject, strnlen(m_mail.MailSubject, kMailTextSize - 1));
}

bool CMailInfoDlg::OnInitDialog() {
    ui::SetButtonBitmap(Item(IDC_ADDRESS_TO), IDB_BROWSE, m_addressBitmap);
    SendItem(IDC_ADDRESS_CC, BM_SETIMAGE, IMAGE_BITMAP,
             reinterpret_cast<LPARAM>(m_addressBitmap.Get()));
    SetItemText(IDC_MAIL_PROFILE_LABEL,
                base::LoadText(m_passwordKept ? IDS_MAILBOX_LABEL : IDS_MAIL_PROFILE_LABEL));
    EnableItem(IDC_MAIL_PROFILE_PASSWORD_LABEL, m_passwordKept);
    EnableItem(IDC_MAIL_INFO_PASSWORD, m_passwordKept);
    return Dialog::OnInitDialog();
}

void CMailInfoDlg::DoDataExchange(ui::DataExchange& exchange) {
    exchange.Text(IDC_MAIL_INFO_PROFILE, m_profile);
    exchange.MaxLength(IDC_MAIL_INFO_PROFILE, kSecretLimit);
    exchange.Text(IDC_MAIL_INFO_PASSWORD, m_password);
    exchange.MaxLength(IDC_MAIL_INFO_PASSWORD, kSecretLimit);
    exchange.Text(IDC_MAIL_INFO_TO, m_to);
    exchange.MaxLength(IDC_MAIL_INFO_TO, kMailTextLimit);
    exchange.Text(IDC_MAIL_INFO_CC, m_cc);
    exchange.MaxLength(IDC_MAIL_INFO_CC, kMailTextLimit);
    exchange.Text(IDC_MAIL_INFO_SUBJECT, m_subject);
    exchange.MaxLength(IDC_MAIL_INFO_SUBJECT, kMailTextLimit);
}

bool CMailInfoDlg::OnCommand(UINT id, UINT code, HWND control) {
    if (id == IDC_ADDRESS_TO || id == IDC_ADDRESS_CC) {
        OpenAddressBook();
        return true;
    }
    return Dialog::OnCommand(id, code, control);
}

void CMailInfoDlg::OpenAddressBook() {
    if (!m_addressBook)
        return;
    CopyMailText(m_mail.MailTo, ItemText(IDC_MAIL_INFO_TO));
    CopyMailText(m_mail.MailCc, ItemText(IDC_MAIL_INFO_CC));
    m_mail.SetMailProfile(ItemText(IDC_MAIL_INFO_PROFILE).c_str());
    m_mail.SetMailPassword(ItemText(IDC_MAIL_INFO_PASSWORD).c_str());
    const std::string failure = m_addressBook(m_mail);
    if (!failure.empty()) {
        ui::ShowMessage(m_hwnd, failure);
        return;
    }
    SetItemText(IDC_MAIL_INFO_TO, WithoutTrailingSeparator(m_mail.MailTo));
    SetItemText(IDC_MAIL_INFO_CC, WithoutTrailingSeparator(m_mail.MailCc));
}

void EditMailInfo(HWND owner, ReportMailInfo& mail, uint32_t& actionFlags,
                  const AddressBookFunction& addressBook) {
    CMailInfoDlg dialog(actionFlags, mail, owner, addressBook);
    if (dialog.DoModal() != IDOK)
        return;
    mail.SetMailProfile(dialog.Profile().c_str());
    mail.SetMailPassword(dialog.Password().c_str());
    CopyMailText(mail.MailTo, dialog.To());
    CopyMailText(mail.MailSubject, dialog.Subject());
    CopyMailText(mail.MailCc, dialog.Cc());
    mail.CountRecipients();
    actionFlags = dialog.ActionFlags();
}

} // namespace quota
