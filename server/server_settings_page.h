// The settings page of the server property sheet: the quota filter driver's learn-mode minimum
// quota and its automatic detection of devices with the template for their objects.
#pragma once

#include "base/handles.h"
#include "server/server_page.h"

#include <string>

class CServerSettings : public CServerPage {
public:
    CServerSettings();

protected:
    bool OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    void DoDataExchange(ui::DataExchange& exchange) override;
    // Writes the values when the registry can be reached; the sheet closes either way.
    bool OnApply() override;

private:
    void Load();
    void Save();
    void ChooseTemplate();
    void EnableTemplate();

    std::string m_deviceTemplate; // "COMPUTER\template"
    bool m_detectDevices = false;
    std::string m_minimumQuota; // bytes, as decimal digits
    base::UniqueBitmap m_templateButtonImage;
};
