#include "server/server_property_sheet.h"

namespace {

std::string LocalComputerName() {
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    GetComputerNameA(name, &size);
    return name;
}

} // namespace

CServerPropertySheet::CServerPropertySheet(HWND mainWindow)
    : ui::PropertySheet("", mainWindow), m_computer(LocalComputerName()) {
    // A server that does not answer shows why on the information page.
    m_client.Connect(m_computer.c_str());
    m_infoPage.SetServer(&m_client, m_computer);
    m_servicePage.SetServer(m_computer);
    m_servicePage.SetMainWindow(mainWindow);
    m_mailPage.SetServer(m_computer);
    m_settingsPage.SetServer(m_computer);

    AddPage(m_infoPage);
    AddPage(m_servicePage);
    AddPage(m_mailPage);
    if (m_client.ServerKind != kServerKindNoSettings)
        AddPage(m_settingsPage);
    SetNoApplyButton();
    SetTitle(m_computer, true);
}
