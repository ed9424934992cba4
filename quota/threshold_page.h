// A threshold page of the quota property sheet: the threshold's value, triggers and actions,
// grouped into sub-pages chosen with the "Configuration:" list.
#pragma once

#include "client/records.h"
#include "quota/gen_dynamic_page.h"
#include "quota/threshold_subpage.h"
#include "server/quota_edit_record.h"
#include "ui/picture_ctrl.h"

#include <string>

class AXCli;

namespace quota {

inline void SetPolicyFlag(AllotrixActionRec& action, eQuotaPolicyAttributeFlags flag, bool on) {
    if (on)
        action.TurnPolicyFlagOn(flag);
    else
        action.TurnPolicyFlagOff(flag);
}

class CPage : public CGenDynamicPage {
public:
    // Page of threshold `index` (0 to 4) of `record`, with the caption of its tab; `client` is
    // the connected client of the record's server `serverName`.
    CPage(int index, const std::string& caption, QuotaEditRecord& record, AXCli& client,
          const std::string& serverName);

    int Index() const { return m_index; }
    int ThresholdNumber() const { return m_index + 1; }
    QuotaEditRecord& Record() { return m_record; }
    AllotrixActionRec& Action() { return m_record.Actions[m_index]; }
    int ServerKind() const;
    AXCli& Client() { return m_client; }
    const std::string& ServerName() const { return m_serverName; }
    // The working copies of the action's mail block and template exclusion word, which the mail
    // dialog and the report sub-page share.
    ReportMailInfo& MailInfo() { return m_mailInfo; }
    uint32_t& ActionFlags() { return m_actionFlags; }

    // The sub-page shown (the last one loaded).
    int ShownSubPage() const { return m_shown; }
    size_t SubPageCount() const { return m_subPages.size(); }

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void DoDataExchange(ui::DataExchange& exchange) override;

private:
    void OnConfigurationChanged();
    void LoadSubPage(int index);
    bool SaveShownSubPage();
    void Reload();
    void MakeCheckBoxesTwoState(int index);

    int m_index;
    QuotaEditRecord& m_record;
    AXCli& m_client;
    std::string m_serverName;
    ThresholdSubPages m_subPages;
    std::vector<bool> m_notYetLoaded;
    int m_configuration = 0;
    int m_shown = 0;
    ReportMailInfo m_mailInfo;
    uint32_t m_actionFlags = 0;
    ui::CPictureCtrl m_picture;
};

} // namespace quota
