// The quota property sheet: the editor of one quota record, with its quota page and one page per
// threshold, and a "Template..." button that loads a quota template into the edited values.
#pragma once

#include "server/quota_edit_record.h"
#include "ui/property_sheet.h"

#include <cstdint>
#include <string>

class AXCli;

namespace quota {

// Shows the sheet for `record`, which `client` (connected to `server`) has read. 1 when the
// user closed it with OK: `record` then holds the edited values, thresholds in order of value,
// and a percentage of the device turned into bytes when `capacity` (the bytes of the object's
// device, 0 when unknown) is known. 0 otherwise, with `record` unchanged.
int ShowQuotaProperties(QuotaEditRecord& record, AXCli& client, uint64_t capacity,
                        const char* server, HWND parent = nullptr);

// "Allotrix - Properties for <owner> on <object>".
std::string QuotaSheetCaption(const AllotrixBaseDbRec& record);

class CQuotaPropSheet : public ui::PropertySheet {
public:
    CQuotaPropSheet(const std::string& caption, QuotaEditRecord& workingCopy,
                    const std::string& server, HWND parent = nullptr);

    // Lets the user choose a template of a server, applies it to the edited record and has
    // every open page show the result. False when nothing was applied.
    bool ApplyChosenTemplate();

protected:
    void OnInitialized() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    QuotaEditRecord& m_record;
    std::string m_server;
};

} // namespace quota
