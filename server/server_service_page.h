// The services page of the server property sheet: the quota service AXServer and the policy
// service AXPolicy with their states and auditing, started, stopped and switched from here.
#pragma once

#include "server/page_picture.h"
#include "ui/image_list.h"
#include "ui/list_view.h"
#include "server/server_page.h"

#include <functional>
#include <string>

class CServerServicePage : public CServerPage {
public:
    // The list's rows, always in this order.
    enum Row { kQuotaServiceRow = 0, kPolicyServiceRow = 1 };

    CServerServicePage();

    // The computer whose services the page shows (empty: this one), before the page is created.
    // The window told that the quota service was started (WM_AXMON_CONNECTED, 1) or stopped (0).
    void SetMainWindow(HWND window) { m_mainWindow = window; }

protected:
    bool OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    bool OnNotify(UINT id, NMHDR& header, LRESULT& result) override;

private:
    struct Service {
        const char* name;
        const char* auditingValue; // REG_SZ "Enabled" or "Disabled"
        bool running = false;
        bool auditing = false;
    };

    void FillList();
    void RefreshRow(int row);
    void EnableButtons(int row);
    void Start(int row);
    void Stop(int row);
    void SwitchAuditing(int row);
    // Writes the row's new auditing setting; false (the user told why) when it cannot.
    bool WriteAuditing(HKEY key, int row);
    // Start or stop the row's service and wait until it runs or has stopped; 0 or the error.
    DWORD StartAndWait(int row);
    DWORD StopAndWait(int row);
    // Runs a start or stop on a worker thread while this thread keeps the windows painted and
    // the row's status says what is going on; the sheet takes no input until it is done.
    DWORD RunServiceCall(int row, UINT progressText, const std::function<DWORD()>& call);
    void NotifyMainWindow(bool quotaServiceRuns);
    void ShowError(DWORD error);

    HWND m_mainWindow = nullptr;
    PagePicture m_picture;
    ui::ImageList m_images;
    std::string m_columnTitles;
    Service m_services[2];
    ui::ListView m_list;
};
