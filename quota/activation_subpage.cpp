// "When To Activate": the threshold's value in percent of the permanent quota and its two
// triggers.
#include "quota/threshold_page.h"
#include "res/resource.h"

#include <commctrl.h>

namespace quota {

namespace {

class ActivationSubPage : public ThresholdSubPage {
public:
    WORD TemplateId() const override { return IDD_ACTIVATION_SUBPAGE; }
    UINT ItemTextId() const override { return IDS_CONFIG_ACTIVATION; }

    void Load(CPage& page, bool first) override {
        if (first) {
            page.SendItem(IDC_THRESHOLD_SPIN, UDM_SETBUDDY,
                          reinterpret_cast<WPARAM>(page.Item(IDC_THRESHOLD_VALUE)));
            page.SendItem(IDC_THRESHOLD_SPIN, UDM_SETRANGE32, 0, 255);
        }
        QuotaEditRecord& record = page.Record();
        const int n = page.ThresholdNumber();
        page.SendItem(IDC_THRESHOLD_SPIN, UDM_SETPOS32, 0, record.GetThreshPercent(n));
        page.CheckButton(IDC_TRIGGER_BELOW, record.IsAttributeSet(AttrBelow(n)));
        page.CheckButton(IDC_TRIGGER_ABOVE, page.Action().IsPolicyFlagSet(PolAbove));
    }

    bool Save(CPage& page) override {
        QuotaEditRecord& record = page.Record();
        const int n = page.ThresholdNumber();
        const auto position = page.SendItem(IDC_THRESHOLD_SPIN, UDM_GETPOS32);
        record.SetThreshPercent(n, static_cast<uint8_t>(position & 0xFF));
        if (page.IsButtonChecked(IDC_TRIGGER_BELOW))
            record.TurnAttributeOn(AttrBelow(n));
        else
            record.TurnAttributeOff(AttrBelow(n));
        if (page.IsButtonChecked(IDC_TRIGGER_ABOVE))
            page.Action().TurnPolicyFlagOn(PolAbove);
        else
            page.Action().TurnPolicyFlagOff(PolAbove);
        return true;
    }
};

} // namespace

std::unique_ptr<ThresholdSubPage> MakeActivationSubPage() {
    return std::make_unique<ActivationSubPage>();
}

} // namespace quota
