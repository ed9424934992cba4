// The mail page of the server property sheet: the messaging profile and the SMTP settings with
// which the policy service sends mail, kept in the server's registry.
#pragma once

#include "server/server_page.h"

#include <string>

class CServerMailPage : public CServerPage {
public:
    CServerMailPage();

protected:
    bool OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    void DoDataExchange(ui::DataExchange& exchange) override;
    // Writes every value; false (the user told why) keeps the sheet open.
    bool OnApply() override;

private:
    void Load();
    // Returns 0 or the error of the first step that failed.
    LONG Save();

    bool m_loading = false; // the controls are being filled: their changes are not the user's
    std::string m_profilePassword;
    std::string m_profile;
    std::string m_smtpServer;
    std::string m_sender;
    std::string m_userName;
    std::string m_password;
};
