// The server property sheet of the computer the console runs on: version information, services,
// mail settings and (unless the server kind has none) the filter driver's settings.
#pragma once

#include "client/axcli.h"
#include "server/server_info_page.h"
#include "server/server_mail_page.h"
#include "server/server_service_page.h"
#include "server/server_settings_page.h"
#include "ui/property_sheet.h"

#include <string>

class CServerPropertySheet : public ui::PropertySheet {
public:
    // Connects to the quota service of this computer and assembles the pages; `mainWindow`
    // owns the sheet and is told when the services page starts or stops the quota service.
    explicit CServerPropertySheet(HWND mainWindow);

    const std::string& ComputerName() const { return m_computer; }

private:
    AXCli m_client;
    std::string m_computer;
    CServerInfoPage m_infoPage;
    CServerServicePage m_servicePage;
    CServerMailPage m_mailPage;
    CServerSettings m_settingsPage;
};
