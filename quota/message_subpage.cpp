// "Message To Send": the message with its macros, whom it goes to, its level in the event log
// and the event log's server.
#include "server/server_chooser.h"
#include "quota/threshold_page.h"
#include "res/resource.h"
#include "base/handles.h"
#include "ui/button_bitmap.h"
#include "ui/message_box.h"
#include "base/resource_text.h"

#include <sstream>

namespace quota {

namespace {

constexpr UINT kMessageLimit = 1023;
// The levels in the order of the level list.
constexpr eQuotaPolicyAttributeFlags kLevels[] = {PolInformational, PolWarning, PolSevere};
constexpr UINT kLevelTexts[] = {IDS_WORD_INFORMATIONAL, IDS_WORD_WARNING, IDS_WORD_SEVERE};
// The bits of the action's exclusion word that the mail dialog edits.
constexpr uint32_t kMailFlags =
    TplActMailProfile | TplActMailPassword | TplActMailTo | TplActMailSubject | TplActMailCc;

class MessageSubPage : public ThresholdSubPage {
public:
    WORD TemplateId() const override { return IDD_MESSAGE_SUBPAGE; }
    UINT ItemTextId() const override { return IDS_CONFIG_MESSAGE; }

    void Load(CPage& page, bool first) override {
        AllotrixActionRec& action = page.Action();
        page.SendItem(IDC_MESSAGE, EM_LIMITTEXT, kMessageLimit);
        page.SetItemText(IDC_MESSAGE, action.GetMessageA());
        if (first) {
            std::istringstream macros(base::LoadText(IDS_MESSAGE_MACROS));
            for (std::string macro; std::getline(macros, macro, ',');) {
                if (!macro.empty())
                    page.SendItem(IDC_MACRO, CB_ADDSTRING, 0,
                                  reinterpret_cast<LPARAM>(macro.c_str()));
            }
            page.SendItem(IDC_MACRO, CB_SETCURSEL, 0);
        }
        page.CheckButton(IDC_NOTIFY_USER, action.IsPolicyFlagSet(PolNotifyUser));
        page.CheckButton(IDC_SEND_TO_EVENT_LOG, action.IsPolicyFlagSet(PolSendToConsole));
        page.CheckButton(IDC_SEND_SNMP_TRAP, action.IsPolicyFlagSet(PolSnmpTrap));
        if (first) {
            for (UINT text : kLevelTexts)
                page.SendItem(IDC_MESSAGE_LEVEL, CB_ADDSTRING, 0,
                              reinterpret_cast<LPARAM>(base::LoadText(text).c_str()));
        }
        const int level = action.IsPolicyFlagSet(PolInformational) ? 0
                          : action.IsPolicyFlagSet(PolWarning)     ? 1
                                                                   : 2;
        page.SendItem(IDC_MESSAGE_LEVEL, CB_SETCURSEL, static_cast<WPARAM>(level));
        page.SetItemText(IDC_EVENT_LOG_SERVER, action.GetServerName());
        if (first) {
            ui::SetButtonBitmap(page.Item(IDC_BROWSE_EVENT_LOG_SERVER), IDB_BROWSE, m_browseBitmap);
        }
        EnableEventLogControls(page);
    }

    bool Save(CPage& page) override {
        AllotrixActionRec& action = page.Action();
        action.SetMessage(page.ItemText(IDC_MESSAGE).c_str());
        SetPolicyFlag(action, PolNotifyUser, page.IsButtonChecked(IDC_NOTIFY_USER));
        SetPolicyFlag(action, PolSendToConsole, page.IsButtonChecked(IDC_SEND_TO_EVENT_LOG));
        SetPolicyFlag(action, PolSnmpTrap, page.IsButtonChecked(IDC_SEND_SNMP_TRAP));
        for (eQuotaPolicyAttributeFlags level : kLevels)
            action.TurnPolicyFlagOff(level);
        const auto level = page.SendItem(IDC_MESSAGE_LEVEL, CB_GETCURSEL);
        if (level >= 0 && level < 3)
            action.TurnPolicyFlagOn(kLevels[level]);
        action.SetServerName(page.ItemText(IDC_EVENT_LOG_SERVER).c_str());
        action.ReportMail = page.MailInfo();
        uint32_t& flags = page.Record().TemplateActionFlags[page.Index()];
        flags = (flags & ~kMailFlags) | (page.ActionFlags() & kMailFlags);
        return true;
    }

    bool OnCommand(CPage& page, UINT id, UINT code) override {
        switch (id) {
        case IDC_MACRO:
            if (code == CBN_SELCHANGE)
                InsertMacro(page);
            return true;
        case IDC_SEND_TO_EVENT_LOG:
            EnableEventLogControls(page);
            return true;
        case IDC_BROWSE_EVENT_LOG_SERVER: {
            CServerChooserDlg chooser(nullptr, page.Handle());
            if (chooser.DoModal() == IDOK)
                page.SetItemText(IDC_EVENT_LOG_SERVER, chooser.ComputerName());
            return true;
        }
        case IDC_MAIL_TO:
            EditPageMail(page);
            return true;
        default:
            return false;
        }
    }

private:
    // The chosen macro goes in at the caret of the message.
    static void InsertMacro(CPage& page) {
        const auto index = page.SendItem(IDC_MACRO, CB_GETCURSEL);
        if (index < 0)
            return;
        std::string macro(static_cast<size_t>(page.SendItem(IDC_MACRO, CB_GETLBTEXTLEN, index)),
                          '\0');
        page.SendItem(IDC_MACRO, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(macro.data()));
        page.SendItem(IDC_MESSAGE, EM_SETSEL, static_cast<WPARAM>(-1), 0);
        page.SendItem(IDC_MESSAGE, EM_SCROLLCARET);
        page.SendItem(IDC_MESSAGE, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(macro.c_str()));
    }

    static void EnableEventLogControls(CPage& page) {
        const bool eventLog = page.IsButtonChecked(IDC_SEND_TO_EVENT_LOG);
        for (int id : {IDC_MESSAGE_LEVEL, IDC_EVENT_LOG_SERVER, IDC_BROWSE_EVENT_LOG_SERVER})
            page.EnableItem(id, eventLog);
    }

    base::UniqueBitmap m_browseBitmap;
};

} // namespace

std::unique_ptr<ThresholdSubPage> MakeMessageSubPage() {
    return std::make_unique<MessageSubPage>();
}

} // namespace quota
