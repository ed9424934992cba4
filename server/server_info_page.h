// The first page of the server property sheet: the versions of the server software and of the
// quota filter driver, as the quota service reports them.
#pragma once

#include "server/page_picture.h"
#include "base/handles.h"
#include "ui/property_sheet.h"

#include <cstdint>
#include <string>

class AXCli;

// What the quota service reports of its version, in the client library's capacities.
struct ServerVersion {
    char appVersion[8] = {};
    char appBuild[8] = {};
    char appText[20] = {};
    uint8_t driverMinor = 0;
    uint8_t driverMajor = 0; // 0: no driver information
    uint16_t driverBuild = 0;
    char driverDate[32] = {};
};

// The application line; then, when the driver's major version is not 0, the driver's version
// and date lines.
std::string FormatVersionText(const ServerVersion& version);

class CServerInfoPage : public ui::PropertyPage {
public:
    CServerInfoPage();

    // The connected client (not owned) and the server's name, before the page is created.
    void SetServer(AXCli* client, const std::string& server);
    const std::string& VersionText() const { return m_versionText; }

protected:
    bool OnInitDialog() override;
    void DoDataExchange(ui::DataExchange& exchange) override;

private:
    void ReadVersionText();

    std::string m_versionText;
    PagePicture m_picture;
    AXCli* m_client = nullptr;
    std::string m_server;
    base::UniqueFont m_boldFont;
};
