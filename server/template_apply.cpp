#include "server/template_apply.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

void CopyAttribute(AllotrixBaseDbRec& target, const AllotrixBaseDbRec& source,
                   eQuotaDriverAttributeFlags flag) {
    if (source.IsAttributeSet(flag))
        target.TurnAttributeOn(flag);
    else
        target.TurnAttributeOff(flag);
}

void CopyPolicy(AllotrixActionRec& target, const AllotrixActionRec& source,
                eQuotaPolicyAttributeFlags flag) {
    if (source.IsPolicyFlagSet(flag))
        target.TurnPolicyFlagOn(flag);
    else
        target.TurnPolicyFlagOff(flag);
}

template <size_t N> void CopyWhole(char (&target)[N], const char (&source)[N]) {
    memcpy(target, source, N);
}

void ApplyRecordLevel(AllotrixDbRec& target, const QuotaEditRecord& source) {
    char text[kNumberTextSize];
    if (!source.IsTemplateFlagSet(TplPermQuota))
        target.SetPermQuotaW(source.GetPermQuotaW(text));
    if (!source.IsTemplateFlagSet(TplOverdraft))
        target.SetOverDraftW(source.GetOverDraftW(text));
    struct Guarded {
        uint32_t guard;
        eQuotaDriverAttributeFlags flag;
    };
    static constexpr Guarded kFlags[] = {
        {TplWriteThrough, AttrWriteThrough},
        {TplNoEnforce, AttrNoEnforce},
        {TplExcludeFromAbsolute, AttrExcludeFromAbsolute},
        {TplDiskFull, AttrDiskFull},
        {TplResetHighWater, AttrResetHighWater},
        {TplPermQuota, AttrPercentOfCurrentUsed},
        {TplPercentOfDevice, AttrPercentOfDevice},
        {TplUseDeviceSize, AttrUseDeviceSize},
    };
    for (const Guarded& guarded : kFlags)
        if (!source.IsTemplateFlagSet(guarded.guard))
            CopyAttribute(target, source, guarded.flag);
}

void ApplyEventLog(AllotrixActionRec& target, const AllotrixActionRec& source) {
    target.SetServerName(source.GetServerName());
    target.TurnPolicyFlagOff(PolInformational);
    target.TurnPolicyFlagOff(PolWarning);
    target.TurnPolicyFlagOff(PolSevere);
    if (source.IsPolicyFlagSet(PolInformational))
        target.TurnPolicyFlagOn(PolInformational);
    else if (source.IsPolicyFlagSet(PolWarning))
        target.TurnPolicyFlagOn(PolWarning);
    else
        target.TurnPolicyFlagOn(PolSevere);
    CopyPolicy(target, source, PolSendToConsole);
}

void ApplyMail(ReportMailInfo& target, const ReportMailInfo& source, uint32_t excluded) {
    if (!(excluded & TplActMailTo))
        CopyWhole(target.MailTo, source.MailTo);
    if (!(excluded & TplActMailProfile))
        CopyWhole(target.MailProfile, source.MailProfile);
    if (!(excluded & TplActMailPassword))
        CopyWhole(target.MailPassword, source.MailPassword);
    if (!(excluded & TplActMailCc))
        CopyWhole(target.MailCc, source.MailCc);
    if (!(excluded & TplActMailSubject))
        CopyWhole(target.MailSubject, source.MailSubject);
}

void ApplySchedule(AllotrixActionRec& target, const AllotrixActionRec& source) {
    target.ScheduleFlags = source.ScheduleFlags;
    target.DaysOfMonth = source.DaysOfMonth;
    target.DaysOfWeek = source.DaysOfWeek;
    target.ScheduleChoice = source.ScheduleChoice;
    CopyWhole(target.ScheduleJobTime, source.ScheduleJobTime);
}

void ApplyReports(AllotrixActionRec& target, const AllotrixActionRec& source, uint32_t excluded) {
    struct Guarded {
        uint32_t guard;
        eQuotaPolicyAttributeFlags flag;
    };
    static constexpr Guarded kReports[] = {
        {TplActReportAged, PolReportAged},
        {TplActReportDirUsage, PolReportDirUsage},
        {TplActReportDuplicates, PolReportDuplicates},
        {TplActReportLarge, PolReportLarge},
        {TplActReportLastAccess, PolReportLastAccess},
        {TplActReportNew, PolReportNew},
        {TplActReportUsageByOwner, PolReportUsageByOwner},
        {TplActReportSummary, PolReportSummary},
    };
    for (const Guarded& guarded : kReports)
        if (!(excluded & guarded.guard))
            CopyPolicy(target, source, guarded.flag);
    if (!(excluded & TplActReportFormat)) {
        CopyPolicy(target, source, PolFormatComma);
        CopyPolicy(target, source, PolFormatHtml);
        CopyPolicy(target, source, PolFormatAscii);
    }
    if (!(excluded & TplActMailReport))
        CopyPolicy(target, source, PolMailReport);
}

void ApplyThreshold(AllotrixDbRec& target, const QuotaEditRecord& source, int threshold) {
    const uint32_t excluded = source.TemplateActionFlags[threshold - 1];
    AllotrixActionRec& action = target.Actions[threshold - 1];
    const AllotrixActionRec& from = source.Actions[threshold - 1];

    if (!(excluded & TplActThresholdValue))
        target.SetThreshPercent(threshold, source.GetThreshPercent(threshold));
    if (!(excluded & TplActNotifyUser))
        CopyPolicy(action, from, PolNotifyUser);
    if (!(excluded & TplActEventLog))
        ApplyEventLog(action, from);
    if (!source.IsTemplateFlagSet(TplBelow(threshold)))
        CopyAttribute(target, source, AttrBelow(threshold));
    if (!(excluded & TplActAbove))
        CopyPolicy(action, from, PolAbove);
    if (!(excluded & TplActMessage))
        action.SetMessage(from.GetMessageA());
    ApplyMail(action.ReportMail, from.ReportMail, excluded);
    if (!(excluded & TplActPolicyToExecute))
        action.SetPolicyToExecute(from.GetPolicyToExecute());
    if (!(excluded & TplActAdjustQuota)) {
        char text[kNumberTextSize];
        action.SetAdjustQuotaW(from.GetAdjustQuotaW(text));
        action.SetRepeatW(from.GetRepeatW(text));
    }
    if (!(excluded & TplActReportSet))
        CopyWhole(action.ReportSet, from.ReportSet);
    if (!(excluded & TplActSchedule))
        ApplySchedule(action, from);
    if (!(excluded & TplActOutputDirectory))
        CopyWhole(action.ReportMail.OutputDirectory, from.ReportMail.OutputDirectory);
    ApplyReports(action, from, excluded);
}

} // namespace

void ApplyTemplate(AllotrixDbRec& target, const QuotaEditRecord& source) {
    ApplyRecordLevel(target, source);
    for (int threshold = 1; threshold <= static_cast<int>(kThresholdCount); ++threshold)
        ApplyThreshold(target, source, threshold);
}

void SortThresholds(QuotaEditRecord& record) {
    struct Entry {
        uint8_t value;
        int index;
    };
    std::array<Entry, kThresholdCount> entries;
    for (size_t i = 0; i < kThresholdCount; ++i)
        entries[i] = {record.GetThreshPercent(static_cast<int>(i) + 1), static_cast<int>(i)};
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry& a, const Entry& b) { return a.value > b.value; });

    const QuotaEditRecord before = record;
    for (size_t p = 0; p < kThresholdCount; ++p) {
        const Entry& entry = entries[p];
        record.SetThreshPercent(static_cast<int>(p) + 1, entry.value);
        record.Actions[p] = before.Actions[entry.index];
        record.TemplateActionFlags[p] = before.TemplateActionFlags[entry.index];
    }
}
