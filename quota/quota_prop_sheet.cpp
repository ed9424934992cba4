#include "quota/quota_prop_sheet.h"

#include "base/error_text.h"
#include "client/axcli.h"
#include "quota/quota_messages.h"
#include "quota/quota_page.h"
#include "quota/threshold_page.h"
#include "res/resource.h"
#include "server/template_apply.h"
#include "server/template_chooser.h"
#include "server/template_reader.h"
#include "ui/message_box.h"
#include "base/resource_text.h"

#include <cstdio>
#include <memory>
#include <vector>

namespace quota {

namespace {

constexpr UINT kApplyButton = 12321;
// Posted to the sheet once it is up: the system disables the Apply button after the sheet's
// initialisation, and it serves here as the always available "Template..." button.
constexpr UINT kEnableTemplateButton = WM_APP + 1;
constexpr int kMonitorOnlyThresholds = 3;

std::string Formatted(UINT formatId, const char* first, const char* second = nullptr) {
    const std::string format = base::LoadText(formatId);
    char text[1024];
    std::snprintf(text, sizeof text, format.c_str(), first, second);
    return text;
}

} // namespace

std::string QuotaSheetCaption(const AllotrixBaseDbRec& record) {
    const std::string owner = record.IsAttributeSet(AttrAbsolute)
                                  ? base::LoadText(IDS_OBJECT_ABSOLUTE)
                                  : std::string(record.GetFileOwner());
    const char* name = record.GetMappedName(1);
    if (name && *name)
        return Formatted(IDS_SHEET_CAPTION_ON, owner.c_str(), name);
    return Formatted(IDS_SHEET_CAPTION, owner.c_str());
}

int ShowQuotaProperties(QuotaEditRecord& record, AXCli& client, uint64_t capacity,
                        const char* server, HWND parent) {
    const std::string serverName = server ? server : "";
    QuotaEditRecord workingCopy = record;
    CQuotaPropSheet sheet(QuotaSheetCaption(record), workingCopy, serverName, parent);

    const bool monitorOnly = client.ServerKind == kServerKindMonitorOnly;
    std::unique_ptr<CPageQuota> quotaPage;
    if (!monitorOnly) {
        quotaPage = std::make_unique<CPageQuota>(workingCopy, capacity);
        sheet.AddPage(*quotaPage);
    }
    const int thresholds = monitorOnly ? kMonitorOnlyThresholds : int{kThresholdCount};
    std::vector<std::unique_ptr<CPage>> thresholdPages;
    for (int i = 0; i < thresholds; ++i) {
        thresholdPages.push_back(std::make_unique<CPage>(
            i, base::LoadText(IDS_THRESHOLD1_CAPTION + static_cast<UINT>(i)), workingCopy, client,
            serverName));
        sheet.AddPage(*thresholdPages.back());
    }
    if (sheet.DoModal() != IDOK)
        return 0;

    SortThresholds(workingCopy);
    record = workingCopy;
    if (record.IsAttributeSet(AttrPercentOfDevice) && capacity != 0) {
        record.TurnAttributeOff(AttrPercentOfDevice);
        record.SetPermQuota(workingCopy.GetPermQuota() * capacity / 100);
    }
    return 1;
}

CQuotaPropSheet::CQuotaPropSheet(const std::string& caption, QuotaEditRecord& workingCopy,
                                 const std::string& server, HWND parent)
    : ui::PropertySheet(caption, parent), m_record(workingCopy), m_server(server) {}

void CQuotaPropSheet::OnInitialized() {
    if (HWND apply = Item(kApplyButton)) {
        SetWindowTextA(apply, base::LoadText(IDS_TEMPLATE_BUTTON).c_str());
        EnableWindow(apply, TRUE);
        Post(kEnableTemplateButton);
    }
}

bool CQuotaPropSheet::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == kEnableTemplateButton) {
        EnableItem(kApplyButton);
        result = 0;
        return true;
    }
    return ui::PropertySheet::OnMessage(message, wParam, lParam, result);
}

bool CQuotaPropSheet::OnCommand(UINT id, UINT code, HWND control) {
    if (id == kApplyButton) {
        ApplyChosenTemplate();
        return true;
    }
    return ui::PropertySheet::OnCommand(id, code, control);
}

bool CQuotaPropSheet::ApplyChosenTemplate() {
    std::string server = m_server;
    if (server.empty()) { // this computer
        char name[MAX_COMPUTERNAME_LENGTH + 1] = "";
        DWORD size = sizeof name;
        GetComputerNameA(name, &size);
        server = name;
    }
    CTemplateChooserDlg chooser(CTemplateChooserDlg::Templates, server.c_str(), m_hwnd);
    if (chooser.DoModal() != IDOK)
        return false;
    QuotaEditRecord source;
    char association[500] = {};
    const std::string& computer = chooser.ComputerName();
    const std::string& name = chooser.ChosenName();
    const LONG status = ReadTemplate(computer.empty() ? nullptr : computer.c_str(), name.c_str(),
                                     association, source, IsFallbackTemplateName(name.c_str()));
    if (status != 0) {
        char text[1024] = "";
        GetErrorText(static_cast<DWORD>(status), text, sizeof text);
        ui::ShowMessage(m_hwnd, text);
        return false;
    }
    ApplyTemplate(m_record, source);
    SendToChildren(WM_AXQUOTA_RELOAD);
    return true;
}

} // namespace quota
