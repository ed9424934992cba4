// "Command To Execute": the command the threshold runs, and the automatic adjustment of the
// permanent quota with its repeat limit.
#include "client/axcli.h"
#include "quota/size_units.h"
#include "quota/threshold_page.h"
#include "res/resource.h"
#include "ui/message_box.h"
#include "base/resource_text.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>

namespace quota {

namespace {

constexpr UINT kCommandLimit = 1023;
constexpr int kMaxRepeat = 100;

class CommandSubPage : public ThresholdSubPage {
public:
    WORD TemplateId() const override { return IDD_COMMAND_SUBPAGE; }
    UINT ItemTextId() const override { return IDS_CONFIG_COMMAND; }

    void Load(CPage& page, bool first) override {
        AllotrixActionRec& action = page.Action();
        page.SendItem(IDC_COMMAND, EM_LIMITTEXT, kCommandLimit);
        page.SetItemText(IDC_COMMAND, action.GetPolicyToExecute());
        const SizeInUnit adjustment = SplitSize(action.GetAdjustQuota());
        page.SetItemText(IDC_ADJUST_QUOTA,
                         FormatWholeNumber(static_cast<double>(adjustment.Value)));
        if (first) {
            for (UINT text : {IDS_UNIT_BYTES, IDS_UNIT_BYTES + 1, IDS_UNIT_BYTES + 2})
                page.SendItem(IDC_ADJUST_UNIT, CB_ADDSTRING, 0,
                              reinterpret_cast<LPARAM>(base::LoadText(text).c_str()));
        }
        page.SendItem(IDC_ADJUST_UNIT, CB_SETCURSEL, static_cast<WPARAM>(adjustment.Unit));
        char current[260] = "";
        page.SetItemText(IDC_CURRENT_REPEAT, action.GetCurrentRepeatW(current));
        if (first) {
            page.SendItem(IDC_REPEAT_SPIN, UDM_SETBUDDY,
                          reinterpret_cast<WPARAM>(page.Item(IDC_REPEAT)));
            page.SendItem(IDC_REPEAT_SPIN, UDM_SETRANGE32, 0, kMaxRepeat);
        }
        page.SendItem(IDC_REPEAT_SPIN, UDM_SETPOS32, 0, static_cast<LPARAM>(action.GetRepeat()));
        if (page.ServerKind() == kServerKindMonitorOnly) {
            for (int id : {IDC_ADJUST_QUOTA, IDC_ADJUST_UNIT, IDC_CURRENT_REPEAT, IDC_CLEAR_REPEAT,
                           IDC_REPEAT})
                page.EnableItem(id, false);
        }
    }

    bool Save(CPage& page) override {
        const auto unit = page.SendItem(IDC_ADJUST_UNIT, CB_GETCURSEL);
        if (unit < 0)
            return false;
        AllotrixActionRec& action = page.Action();
        action.SetPolicyToExecute(page.ItemText(IDC_COMMAND).c_str());
        action.SetAdjustQuota(
            BytesOf(std::atof(page.ItemText(IDC_ADJUST_QUOTA).c_str()), static_cast<int>(unit)));
        if (std::atof(page.ItemText(IDC_CURRENT_REPEAT).c_str()) == 0)
            action.SetCurrentRepeat(0);
        const long repeat = std::atol(page.ItemText(IDC_REPEAT).c_str());
        action.SetRepeat(static_cast<uint32_t>(std::clamp(repeat, 0L, long{kMaxRepeat})));
        return true;
    }

    bool OnCommand(CPage& page, UINT id, UINT /*code*/) override {
        if (id != IDC_CLEAR_REPEAT)
            return false;
        page.SetItemText(IDC_CURRENT_REPEAT, "0");
        return true;
    }
};

} // namespace

std::unique_ptr<ThresholdSubPage> MakeCommandSubPage() {
    return std::make_unique<CommandSubPage>();
}

} // namespace quota
