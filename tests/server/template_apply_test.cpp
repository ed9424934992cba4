#include "record_compare.h"
#include "registry_keys.h"
#include "server/template_apply.h"
#include "server/template_reader.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// Sets every field ApplyTemplate may copy, each to a value that depends on `tag`, so that two
// records built with different tags differ in every copied field.
void FillAction(AllotrixActionRec& action, char tag, int threshold, bool on) {
    std::string text = std::string(1, tag) + std::to_string(threshold);
    action.SetPolicyFlags(0);
    if (on) {
        for (eQuotaPolicyAttributeFlags flag :
             {PolSendToConsole, PolInformational, PolReportAged, PolReportLastAccess, PolReportNew,
              PolReportDuplicates, PolReportLarge, PolReportDirUsage, PolReportSummary,
              PolReportUsageByOwner, PolFormatHtml, PolFormatComma, PolFormatAscii, PolMailReport,
              PolNotifyUser, PolAbove})
            action.TurnPolicyFlagOn(flag);
    } else {
        action.TurnPolicyFlagOn(PolWarning);
    }
    action.SetMessage(("message " + text).c_str());
    action.SetServerName(("SERVER" + text).c_str());
    action.SetPolicyToExecute(("run " + text).c_str());
    action.SetAdjustQuota(on ? 1000 + threshold : 7);
    action.SetRepeat(on ? 10 + threshold : 2);
    action.SetReportSet(("set " + text).c_str());
    strcpy(action.ScheduleJobTime, on ? "1:30:00 PM" : "9:00:00 AM");
    action.DaysOfMonth = on ? 0x40000001u : 0x2u;
    action.DaysOfWeek = on ? 0x41 : 0x2;
    action.ScheduleFlags = on ? 5 : 1;
    action.ScheduleChoice = on ? 3 : 1;
    ReportMailInfo& mail = action.ReportMail;
    strcpy(mail.OutputDirectory, ("C:\\out\\" + text).c_str());
    strcpy(mail.MailTo, ("to" + text).c_str());
    strcpy(mail.MailSubject, ("subject" + text).c_str());
    strcpy(mail.MailCc, ("cc" + text).c_str());
    mail.SetMailProfile(("profile" + text).c_str());
    mail.SetMailPassword(("password" + text).c_str());
}

// A record whose fields differ from those of Record(false) wherever ApplyTemplate copies.
QuotaEditRecord Record(bool on) {
    QuotaEditRecord record;
    char tag = on ? 'b' : 'a';
    record.SetPermQuota(on ? 75 : 1000000);
    record.SetOverDraft(on ? 5000 : 100);
    if (on)
        record.SetAttributes(AttrWriteThrough | AttrNoEnforce | AttrExcludeFromAbsolute |
                             AttrDiskFull | AttrResetHighWater | AttrPercentOfCurrentUsed |
                             AttrPercentOfDevice | AttrUseDeviceSize | AttrBelow1 | AttrBelow2 |
                             AttrBelow3 | AttrBelow4 | AttrBelow5);
    for (int n = 1; n <= 5; ++n) {
        record.SetThreshPercent(n, static_cast<uint8_t>(on ? 100 - n : 10 + n));
        FillAction(record.Actions[n - 1], tag, n, on);
    }
    // Fields ApplyTemplate never touches are the same in both.
    record.SetRecordId(42);
    record.SetUsedQuota(123456);
    record.SetObjectName("C:", "\\data");
    return record;
}

// An exclusion bit and how to put back, in the expected record, the fields it keeps from the
// target.
template <typename Record> struct Guard {
    uint32_t bit;
    std::function<void(Record& expected, const Record& target)> restore;
};
using RecordGuard = Guard<AllotrixDbRec>;
using ActionGuard = Guard<AllotrixActionRec>;

RecordGuard Attribute(uint32_t bit, eQuotaDriverAttributeFlags flag) {
    return {bit, [flag](AllotrixDbRec& e, const AllotrixDbRec& t) {
                e.SetAttributes((e.GetAttributes() & ~uint32_t(flag)) |
                                (t.GetAttributes() & uint32_t(flag)));
            }};
}

ActionGuard Policy(uint32_t bit, uint32_t flags) {
    return {bit, [flags](AllotrixActionRec& e, const AllotrixActionRec& t) {
                e.SetPolicyFlags((e.GetPolicyFlags() & ~flags) | (t.GetPolicyFlags() & flags));
            }};
}

std::vector<RecordGuard> RecordGuards() {
    std::vector<RecordGuard> guards = {
        Attribute(TplWriteThrough, AttrWriteThrough),
        Attribute(TplNoEnforce, AttrNoEnforce),
        Attribute(TplExcludeFromAbsolute, AttrExcludeFromAbsolute),
        Attribute(TplDiskFull, AttrDiskFull),
        Attribute(TplPercentOfDevice, AttrPercentOfDevice),
        Attribute(TplUseDeviceSize, AttrUseDeviceSize),
        Attribute(TplResetHighWater, AttrResetHighWater),
        {TplPermQuota,
         [](AllotrixDbRec& e, const AllotrixDbRec& t) {
             e.SetPermQuota(t.GetPermQuota());
             Attribute(0, AttrPercentOfCurrentUsed).restore(e, t);
         }},
        {TplOverdraft,
         [](AllotrixDbRec& e, const AllotrixDbRec& t) { e.SetOverDraft(t.GetOverDraft()); }},
    };
    for (int n = 1; n <= 5; ++n)
        guards.push_back(Attribute(TplBelow(n), AttrBelow(n)));
    return guards;
}

std::vector<ActionGuard> ActionGuards() {
    using A = AllotrixActionRec;
    return {
        {TplActEventLog,
         [](A& e, const A& t) {
             e.SetServerName(t.GetServerName());
             Policy(0, PolInformational | PolWarning | PolSevere | PolSendToConsole).restore(e, t);
         }},
        Policy(TplActReportAged, PolReportAged),
        Policy(TplActReportLastAccess, PolReportLastAccess),
        Policy(TplActReportNew, PolReportNew),
        Policy(TplActReportDuplicates, PolReportDuplicates),
        Policy(TplActReportLarge, PolReportLarge),
        Policy(TplActReportDirUsage, PolReportDirUsage),
        Policy(TplActReportSummary, PolReportSummary),
        Policy(TplActReportUsageByOwner, PolReportUsageByOwner),
        {TplActOutputDirectory,
         [](A& e, const A& t) {
             strcpy(e.ReportMail.OutputDirectory, t.ReportMail.OutputDirectory);
         }},
        Policy(TplActReportFormat, PolFormatComma | PolFormatHtml | PolFormatAscii),
        Policy(TplActNotifyUser, PolNotifyUser),
        {TplActMessage, [](A& e, const A& t) { e.SetMessage(t.GetMessageA()); }},
        {TplActPolicyToExecute,
         [](A& e, const A& t) { e.SetPolicyToExecute(t.GetPolicyToExecute()); }},
        {TplActAdjustQuota,
         [](A& e, const A& t) {
             e.SetAdjustQuota(t.GetAdjustQuota());
             e.SetRepeat(t.GetRepeat());
         }},
        Policy(TplActMailReport, PolMailReport),
        {TplActMailTo, [](A& e, const A& t) { strcpy(e.ReportMail.MailTo, t.ReportMail.MailTo); }},
        {TplActMailSubject,
         [](A& e, const A& t) { strcpy(e.ReportMail.MailSubject, t.ReportMail.MailSubject); }},
        {TplActMailCc, [](A& e, const A& t) { strcpy(e.ReportMail.MailCc, t.ReportMail.MailCc); }},
        {TplActMailProfile,
         [](A& e, const A& t) {
             memcpy(e.ReportMail.MailProfile, t.ReportMail.MailProfile, kMailSecretSize);
         }},
        {TplActMailPassword,
         [](A& e, const A& t) {
             memcpy(e.ReportMail.MailPassword, t.ReportMail.MailPassword, kMailSecretSize);
         }},
        Policy(TplActAbove, PolAbove),
        {TplActReportSet, [](A& e, const A& t) { strcpy(e.ReportSet, t.ReportSet); }},
        {TplActSchedule,
         [](A& e, const A& t) {
             strcpy(e.ScheduleJobTime, t.ScheduleJobTime);
             e.DaysOfMonth = t.DaysOfMonth;
             e.DaysOfWeek = t.DaysOfWeek;
             e.ScheduleFlags = t.ScheduleFlags;
             e.ScheduleChoice = t.ScheduleChoice;
         }},
    };
}

} // namespace

TEST(ApplyTemplate, WithoutExclusionsCopiesEveryField) {
    for (bool sourceOn : {true, false}) {
        QuotaEditRecord target = Record(!sourceOn);
        const QuotaEditRecord source = Record(sourceOn);
        ApplyTemplate(target, source);
        ExpectSameQuota(source, target);
    }
}

TEST(ApplyTemplate, EachRecordExclusionBitGuardsExactlyItsFields) {
    for (bool sourceOn : {true, false}) {
        for (const RecordGuard& guard : RecordGuards()) {
            SCOPED_TRACE(::testing::Message() << "TemplateFlags 0x" << std::hex << guard.bit
                                              << (sourceOn ? " setting" : " clearing"));
            const QuotaEditRecord before = Record(!sourceOn);
            QuotaEditRecord source = Record(sourceOn);
            source.TemplateFlags = guard.bit;
            QuotaEditRecord target = before;
            ApplyTemplate(target, source);
            AllotrixDbRec expected = source;
            guard.restore(expected, before);
            ExpectSameQuota(expected, target);
        }
    }
}

TEST(ApplyTemplate, EachActionExclusionBitGuardsExactlyItsFieldsOfItsThreshold) {
    const QuotaEditRecord before = Record(false);
    for (int n = 1; n <= 5; ++n) {
        for (const ActionGuard& guard : ActionGuards()) {
            SCOPED_TRACE(::testing::Message() << "TemplateActionFlags of threshold " << n << ": 0x"
                                              << std::hex << guard.bit);
            QuotaEditRecord source = Record(true);
            source.TemplateActionFlags[n - 1] = guard.bit;
            QuotaEditRecord target = before;
            ApplyTemplate(target, source);
            AllotrixDbRec expected = source;
            guard.restore(expected.Actions[n - 1], before.Actions[n - 1]);
            ExpectSameQuota(expected, target);
        }
        SCOPED_TRACE(::testing::Message() << "threshold value " << n);
        QuotaEditRecord source = Record(true);
        source.TemplateActionFlags[n - 1] = TplActThresholdValue;
        QuotaEditRecord target = before;
        ApplyTemplate(target, source);
        AllotrixDbRec expected = source;
        expected.SetThreshPercent(n, before.GetThreshPercent(n));
        ExpectSameQuota(expected, target);
    }
}

TEST(ApplyTemplate, EventLogLevelEndsWithExactlyOneLevel) {
    struct Case {
        uint32_t source;
        uint32_t level;
    };
    for (Case c : {Case{PolInformational | PolWarning | PolSevere, PolInformational},
                   Case{PolWarning | PolSevere, PolWarning}, Case{PolSevere, PolSevere},
                   Case{0, PolSevere}}) {
        QuotaEditRecord source;
        source.Actions[0].SetPolicyFlags(c.source);
        AllotrixDbRec target;
        target.Actions[0].SetPolicyFlags(PolInformational | PolWarning | PolSevere | PolSnmpTrap);
        ApplyTemplate(target, source);
        EXPECT_EQ(c.level | PolSnmpTrap, target.Actions[0].GetPolicyFlags()) << c.source;
    }
}

TEST(ApplyTemplate, TemplateWithoutAThresholdKeyResetsThatThreshold) {
    RemoveAllTemplates();
    TestKey key = OrdinaryTemplate("NoSecond");
    key.Sub("Threshold1").Dword("Threshold", 95).String("Message", "nearly full");
    key.Sub("Threshold3").Dword("Threshold", 50);
    QuotaEditRecord source;
    ASSERT_EQ(0, ReadTemplate(nullptr, "NoSecond", nullptr, source, false));
    RemoveAllTemplates();

    QuotaEditRecord target = Record(true);
    ApplyTemplate(target, source);
    EXPECT_EQ(95, target.GetThreshPercent1());
    EXPECT_STREQ("nearly full", target.Actions[0].GetMessageA());
    EXPECT_EQ(0, target.GetThreshPercent2());
    EXPECT_FALSE(target.IsAttributeSet(AttrBelow2));
    AllotrixActionRec fresh;
    fresh.TurnPolicyFlagOn(PolSevere); // a level is always chosen
    ExpectSameAction(fresh, target.Actions[1], 2);
}

TEST(SortThresholds, OrdersByValueKeepingEqualValuesInOrder) {
    QuotaEditRecord record;
    const uint8_t values[5] = {50, 90, 90, 10, 70};
    for (int n = 1; n <= 5; ++n) {
        record.SetThreshPercent(n, values[n - 1]);
        record.Actions[n - 1].SetMessage(("former " + std::to_string(n)).c_str());
        record.Actions[n - 1].TurnPolicyFlagOn(n == 4 ? PolAbove : PolSnmpTrap);
        record.TemplateActionFlags[n - 1] = 0x100u * n;
    }
    record.SetAttributes(AttrBelow1 | AttrWriteThrough);
    record.TemplateFlags = TplBelow(1);

    SortThresholds(record);

    const int former[5] = {2, 3, 5, 1, 4};
    for (int p = 1; p <= 5; ++p) {
        int n = former[p - 1];
        EXPECT_EQ(values[n - 1], record.GetThreshPercent(p)) << p;
        EXPECT_EQ("former " + std::to_string(n), record.Actions[p - 1].GetMessageA()) << p;
        EXPECT_EQ(0x100u * n, record.TemplateActionFlags[p - 1]) << p;
    }
    EXPECT_TRUE(record.Actions[4].IsPolicyFlagSet(PolAbove)); // the former fourth, value 10
    EXPECT_EQ(uint32_t{AttrBelow1 | AttrWriteThrough}, record.GetAttributes());
    EXPECT_EQ(TplBelow(1), record.TemplateFlags);
}
