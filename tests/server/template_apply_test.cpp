#include "server/template_apply.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

namespace {

// A record whose fields differ from those of Record(false) wherever ApplyTemplate copies, and
// equal elsewhere.
QuotaEditRecord Record(bool on) {
    QuotaEditRecord record;
    record.SetPermQuota(on ? 75 : 1000000);
    record.SetOverDraft(on ? 5000 : 100);
    if (on)
        record.SetAttributes(AttrWriteThrough | AttrNoEnforce | AttrExcludeFromAbsolute |
                             AttrDiskFull | AttrResetHighWater | AttrPercentOfCurrentUsed |
                             AttrPercentOfDevice | AttrUseDeviceSize | AttrBelow1 | AttrBelow2 |
                             AttrBelow3 | AttrBelow4 | AttrBelow5);
    for (int n = 1; n <= 5; ++n) {
        record.SetThreshPercent(n, static_cast<uint8_t>(on ? 100 - n : 10 + n));
        AllotrixActionRec& action = record.Actions[n - 1];
        const std::string text = (on ? "b" : "a") + std::to_string(n);
        action.SetPolicyFlags(PolWarning);
        if (on)
            action.SetPolicyFlags(PolSendToConsole | PolInformational | PolReportAged |
                                  PolReportLastAccess | PolReportNew | PolReportDuplicates |
                                  PolReportLarge | PolReportDirUsage | PolReportSummary |
                                  PolReportUsageByOwner | PolFormatHtml | PolFormatComma |
                                  PolFormatAscii | PolMailReport | PolNotifyUser | PolAbove);
        action.SetMessage(text.c_str());
        action.SetServerName(text.c_str());
        action.SetPolicyToExecute(text.c_str());
        action.SetReportSet(text.c_str());
        action.SetAdjustQuota(on ? 1000 + n : 7);
        action.SetRepeat(on ? 10 + n : 2);
        strcpy(action.ScheduleJobTime, on ? "1:30:00 PM" : "9:00:00 AM");
        action.DaysOfMonth = on ? 0x40000001u : 0x2u;
        action.DaysOfWeek = on ? 0x41 : 0x2;
        action.ScheduleFlags = on ? 5 : 1;
        action.ScheduleChoice = on ? 3 : 1;
        ReportMailInfo& mail = action.ReportMail;
        for (char* field : {mail.OutputDirectory, mail.MailTo, mail.MailSubject, mail.MailCc})
            strcpy(field, text.c_str());
        mail.SetMailProfile(text.c_str());
        mail.SetMailPassword(text.c_str());
    }
    record.SetRecordId(42);
    record.SetUsedQuota(123456);
    record.SetObjectName("C:", "\\data");
    return record;
}

// What a field of a record holds, for threshold `n` when it belongs to a threshold.
using Field = std::function<std::string(const AllotrixDbRec& record, int n)>;
using A = AllotrixActionRec;

Field Attribute(uint32_t flags) {
    return
        [flags](const AllotrixDbRec& r, int) { return std::to_string(r.GetAttributes() & flags); };
}
Field Policy(uint32_t flags) {
    return [flags](const AllotrixDbRec& r, int n) {
        return std::to_string(r.Actions[n - 1].GetPolicyFlags() & flags);
    };
}
Field Action(std::function<std::string(const A&)> field) {
    return [field](const AllotrixDbRec& r, int n) { return field(r.Actions[n - 1]); };
}
template <size_t N> Field Mail(const char (ReportMailInfo::*text)[N]) {
    return Action([text](const A& a) { return std::string(a.ReportMail.*text, N); });
}

// An exclusion bit, whether it is one of a threshold's, and the fields it keeps.
struct Guard {
    uint32_t bit;
    bool ofThreshold;
    Field kept;
};

const Guard kGuards[] = {
    {TplWriteThrough, false, Attribute(AttrWriteThrough)},
    {TplNoEnforce, false, Attribute(AttrNoEnforce)},
    {TplExcludeFromAbsolute, false, Attribute(AttrExcludeFromAbsolute)},
    {TplDiskFull, false, Attribute(AttrDiskFull)},
    {TplPercentOfDevice, false, Attribute(AttrPercentOfDevice)},
    {TplUseDeviceSize, false, Attribute(AttrUseDeviceSize)},
    {TplResetHighWater, false, Attribute(AttrResetHighWater)},
    {TplPermQuota, false,
     [](const AllotrixDbRec& r, int) {
         return std::to_string(r.GetPermQuota()) +
                std::to_string(r.GetAttributes() & AttrPercentOfCurrentUsed);
     }},
    {TplOverdraft, false,
     [](const AllotrixDbRec& r, int) { return std::to_string(r.GetOverDraft()); }},
    {TplBelow(1), false, Attribute(AttrBelow(1))},
    {TplBelow(3), false, Attribute(AttrBelow(3))},
    {TplBelow(5), false, Attribute(AttrBelow(5))},
    {TplActEventLog, true,
     [](const AllotrixDbRec& r, int n) {
         return Policy(PolInformational | PolWarning | PolSevere | PolSendToConsole)(r, n) +
                r.Actions[n - 1].GetServerName();
     }},
    {TplActReportAged, true, Policy(PolReportAged)},
    {TplActReportLastAccess, true, Policy(PolReportLastAccess)},
    {TplActReportNew, true, Policy(PolReportNew)},
    {TplActReportDuplicates, true, Policy(PolReportDuplicates)},
    {TplActReportLarge, true, Policy(PolReportLarge)},
    {TplActReportDirUsage, true, Policy(PolReportDirUsage)},
    {TplActReportSummary, true, Policy(PolReportSummary)},
    {TplActReportUsageByOwner, true, Policy(PolReportUsageByOwner)},
    {TplActOutputDirectory, true, Mail(&ReportMailInfo::OutputDirectory)},
    {TplActReportFormat, true, Policy(PolFormatComma | PolFormatHtml | PolFormatAscii)},
    {TplActNotifyUser, true, Policy(PolNotifyUser)},
    {TplActMessage, true, Action([](const A& a) { return a.GetMessageA(); })},
    {TplActPolicyToExecute, true, Action([](const A& a) { return a.GetPolicyToExecute(); })},
    {TplActAdjustQuota, true, Action([](const A& a) {
         return std::to_string(a.GetAdjustQuota()) + "/" + std::to_string(a.GetRepeat());
     })},
    {TplActMailReport, true, Policy(PolMailReport)},
    {TplActMailTo, true, Mail(&ReportMailInfo::MailTo)},
    {TplActMailSubject, true, Mail(&ReportMailInfo::MailSubject)},
    {TplActMailCc, true, Mail(&ReportMailInfo::MailCc)},
    {TplActMailProfile, true, Mail(&ReportMailInfo::MailProfile)},
    {TplActMailPassword, true, Mail(&ReportMailInfo::MailPassword)},
    {TplActAbove, true, Policy(PolAbove)},
    {TplActReportSet, true, Action([](const A& a) { return a.ReportSet; })},
    {TplActSchedule, true, Action([](const A& a) {
         return std::string(a.ScheduleJobTime) + std::to_string(a.DaysOfMonth) + "/" +
                std::to_string(a.DaysOfWeek) + "/" + std::to_string(a.ScheduleFlags) + "/" +
                std::to_string(a.ScheduleChoice);
     })},
    {TplActThresholdValue, true,
     [](const AllotrixDbRec& r, int n) { return std::to_string(r.GetThreshPercent(n)); }},
};

} // namespace

// Each exclusion bit keeps the target's value of its own fields, of its own threshold only, and
// every other field listed comes from the template.
TEST(ApplyTemplate, EachExclusionBitKeepsExactlyItsFields) {
    for (bool sourceOn : {true, false}) {
        const QuotaEditRecord before = Record(!sourceOn);
        AllotrixDbRec copied = before;
        ApplyTemplate(copied, Record(sourceOn));
        const AllotrixDbRec& whole = Record(sourceOn);
        EXPECT_EQ(0, memcmp(&whole, &copied, sizeof copied)) << "without exclusions all is copied";
        for (const Guard& guard : kGuards) {
            for (int n = 1; n <= (guard.ofThreshold ? 5 : 1); ++n) {
                SCOPED_TRACE(::testing::Message() << "bit 0x" << std::hex << guard.bit << " of "
                                                  << (guard.ofThreshold ? n : 0));
                QuotaEditRecord source = Record(sourceOn);
                (guard.ofThreshold ? source.TemplateActionFlags[n - 1] : source.TemplateFlags) =
                    guard.bit;
                AllotrixDbRec target = before;
                ApplyTemplate(target, source);
                ASSERT_NE(guard.kept(copied, n), guard.kept(before, n));
                EXPECT_EQ(guard.kept(before, n), guard.kept(target, n));
                for (const Guard& other : kGuards)
                    for (int m = 1; m <= (other.ofThreshold ? 5 : 1); ++m)
                        if (&other != &guard || m != n) {
                            EXPECT_EQ(other.kept(copied, m), other.kept(target, m))
                                << "bit 0x" << std::hex << other.bit << " of " << m;
                        }
            }
        }
    }
}

// A threshold the template has no key for is reset, with the severe level.
TEST(ApplyTemplate, ThresholdTheTemplateLeavesOutIsReset) {
    QuotaEditRecord target = Record(true);
    ApplyTemplate(target, QuotaEditRecord());
    EXPECT_EQ(0, target.GetThreshPercent2());
    EXPECT_FALSE(target.IsAttributeSet(AttrBelow2));
    AllotrixActionRec fresh;
    fresh.TurnPolicyFlagOn(PolSevere);
    EXPECT_EQ(0, memcmp(&fresh, &target.Actions[1], sizeof fresh));
}
