// Field-by-field comparison of quota records for the template tests.
#pragma once

#include "client/records.h"

#include <gtest/gtest.h>

#include <cstring>

inline void ExpectSameAction(const AllotrixActionRec& expected, const AllotrixActionRec& actual,
                             int threshold) {
    SCOPED_TRACE(::testing::Message() << "threshold " << threshold);
    EXPECT_EQ(expected.GetPolicyFlags(), actual.GetPolicyFlags());
    EXPECT_STREQ(expected.GetMessageA(), actual.GetMessageA());
    EXPECT_STREQ(expected.GetServerName(), actual.GetServerName());
    EXPECT_STREQ(expected.GetPolicyToExecute(), actual.GetPolicyToExecute());
    EXPECT_EQ(expected.GetAdjustQuota(), actual.GetAdjustQuota());
    EXPECT_EQ(expected.GetRepeat(), actual.GetRepeat());
    EXPECT_EQ(expected.GetCurrentRepeat(), actual.GetCurrentRepeat());
    EXPECT_STREQ(expected.ReportSet, actual.ReportSet);
    EXPECT_STREQ(expected.ScheduleJobTime, actual.ScheduleJobTime);
    EXPECT_EQ(expected.DaysOfMonth, actual.DaysOfMonth);
    EXPECT_EQ(expected.DaysOfWeek, actual.DaysOfWeek);
    EXPECT_EQ(expected.ScheduleFlags, actual.ScheduleFlags);
    EXPECT_EQ(expected.ScheduleChoice, actual.ScheduleChoice);
    const ReportMailInfo& e = expected.ReportMail;
    const ReportMailInfo& a = actual.ReportMail;
    EXPECT_STREQ(e.OutputDirectory, a.OutputDirectory);
    EXPECT_STREQ(e.MailTo, a.MailTo);
    EXPECT_STREQ(e.MailSubject, a.MailSubject);
    EXPECT_STREQ(e.MailCc, a.MailCc);
    EXPECT_STREQ(e.Spare, a.Spare);
    EXPECT_EQ(0, memcmp(e.MailProfile, a.MailProfile, kMailSecretSize)) << "profile";
    EXPECT_EQ(0, memcmp(e.MailPassword, a.MailPassword, kMailSecretSize)) << "password";
    EXPECT_EQ(e.ToCount, a.ToCount);
    EXPECT_EQ(e.CcCount, a.CcCount);
}

inline void ExpectSameQuota(const AllotrixDbRec& expected, const AllotrixDbRec& actual) {
    EXPECT_EQ(expected.GetPermQuota(), actual.GetPermQuota());
    EXPECT_EQ(expected.GetOverDraft(), actual.GetOverDraft());
    EXPECT_EQ(expected.GetUsedQuota(), actual.GetUsedQuota());
    EXPECT_EQ(expected.GetHighWaterMark(), actual.GetHighWaterMark());
    EXPECT_EQ(expected.GetAttributes(), actual.GetAttributes());
    EXPECT_EQ(expected.GetRecordId(), actual.GetRecordId());
    EXPECT_STREQ(expected.GetMappedName(1), actual.GetMappedName(1));
    EXPECT_STREQ(expected.GetFileOwner(), actual.GetFileOwner());
    for (int n = 1; n <= 5; ++n) {
        EXPECT_EQ(expected.GetThreshPercent(n), actual.GetThreshPercent(n)) << "threshold " << n;
        ExpectSameAction(expected.Actions[n - 1], actual.Actions[n - 1], n);
    }
}
