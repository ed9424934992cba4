// The mail settings of a threshold's actions: the messaging profile with its password, the To and
// Cc recipients (picked from the address book if need be) and the subject.
#pragma once

#include "base/handles.h"
#include "client/records.h"
#include "quota/threshold_subpage.h"
#include "ui/dialog.h"

#include <cstdint>
#include <string>

namespace quota {

class CMailInfoDlg : public ui::Dialog {
public:
    CMailInfoDlg(uint32_t actionFlags, const ReportMailInfo& mail, HWND parent,
                 AddressBookFunction addressBook = {});

    // After IDOK: the texts as the user left them, and the exclusion word handed back.
    const std::string& Profile() const { return m_profile; }
    const std::string& Password() const { return m_password; }
    const std::string& To() const { return m_to; }
    const std::string& Cc() const { return m_cc; }
    const std::string& Subject() const { return m_subject; }
    uint32_t ActionFlags() const { return m_actionFlags; }

protected:
    bool OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    void DoDataExchange(ui::DataExchange& exchange) override;

private:
    void OpenAddressBook();

    ReportMailInfo m_mail;
    uint32_t m_actionFlags;
    AddressBookFunction m_addressBook;
    bool m_passwordKept; // systems before version 4 keep the profile's password here
    std::string m_profile, m_password, m_to, m_cc, m_subject;
    base::UniqueBitmap m_addressBitmap;
};

// Runs the mail dialog on a page's working copies of the mail block and the exclusion word; OK
// stores the dialog's texts into them, Cancel leaves them as they were.
void EditMailInfo(HWND owner, ReportMailInfo& mail, uint32_t& actionFlags,
                  const AddressBookFunction& addressBook);

} // namespace quota
