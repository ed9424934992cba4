// The settings page of the server property sheet: the quota filter driver's learn-mode minimum
// quota and its automatic detection of devices with the template for their objects.
#pragma once

#include "base/handles.h"
#include "ui/property_sheet.h"

#include <string>

class CServerSettings : public ui::PropertyPage {
public:
    CServerSettings();

    // The computer whose settings the page edits (empty: this one), before the page is created.
    void SetServer(const std::string& server) { m_server = server; }

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
    std::string m_server;
};
