// Sizes and quota states as axquota reads and prints them.
#include "tools/axquota_format.h"

#include <gtest/gtest.h>

namespace {

TEST(AxquotaSizes, PrintsBinaryUnitsWithThreeDigits) {
    EXPECT_EQ("0 B", FormatBytes(0));
    EXPECT_EQ("1023 B", FormatBytes(1023));
    EXPECT_EQ("1.00 KB", FormatBytes(1024));
    EXPECT_EQ("1.50 MB", FormatBytes(1536 * 1024));
    EXPECT_EQ("20.0 GB", FormatBytes(20ull << 30));
    EXPECT_EQ("512 GB", FormatBytes(512ull << 30));
    EXPECT_EQ("16.0 EB", FormatBytes(~0ull));
}

TEST(AxquotaSizes, ReadsNumbersWithOrWithoutUnits) {
    uint64_t bytes = 0;
    EXPECT_TRUE(ParseBytes("1048576", bytes));
    EXPECT_EQ(1048576u, bytes);
    EXPECT_TRUE(ParseBytes("512K", bytes));
    EXPECT_EQ(512u * 1024, bytes);
    EXPECT_TRUE(ParseBytes("1.5MB", bytes));
    EXPECT_EQ(1536u * 1024, bytes);
    EXPECT_TRUE(ParseBytes("2 gb", bytes));
    EXPECT_EQ(2ull << 30, bytes);
    EXPECT_TRUE(ParseBytes("10T", bytes));
    EXPECT_EQ(10ull << 40, bytes);
    for (const char* bad : {"", "MB", "-1", "1.3", "12 parsecs", "1KB2", "99999999999999P", "1 2"})
        EXPECT_FALSE(ParseBytes(bad, bytes)) << bad;
}

TEST(AxquotaSizes, ReadsUpToFiveThresholds) {
    uint8_t values[kThresholdCount] = {};
    int count = 0;
    ASSERT_TRUE(ParseThresholds("90,75,150", values, count));
    EXPECT_EQ(3, count);
    EXPECT_EQ(150, values[2]);
    ASSERT_TRUE(ParseThresholds("255,0,1,2,3", values, count));
    EXPECT_EQ(5, count);
    for (const char* bad : {"", "256", "1,2,3,4,5,6", "90,", ",90", "9a", "90;80"})
        EXPECT_FALSE(ParseThresholds(bad, values, count)) << bad;
}

TEST(AxquotaStates, HighestThresholdReachedOverQuotaAndScans) {
    AllotrixBaseDbRec record;
    record.SetPermQuota(1000);
    record.SetThreshPercent1(90);
    record.SetThreshPercent2(75);
    record.SetThreshPercent3(50);
    record.SetUsedQuota(100);
    EXPECT_EQ("ok", QuotaState(record));
    record.SetUsedQuota(760);
    EXPECT_EQ("threshold 2", QuotaState(record));
    EXPECT_EQ(76, PercentUsed(record));
    record.SetUsedQuota(1000);
    EXPECT_EQ("threshold 1", QuotaState(record));
    record.SetUsedQuota(1001);
    EXPECT_EQ("over quota", QuotaState(record));
    record.TurnAttributeOn(AttrStatus100);
    EXPECT_EQ("scanning", QuotaState(record));
    record.TurnAttributeOn(AttrStatus40000000);
    EXPECT_EQ("scan pending", QuotaState(record));

    AllotrixBaseDbRec percent;
    percent.SetPermQuota(50);
    percent.TurnAttributeOn(AttrPercentOfDevice);
    percent.SetUsedQuota(1000);
    EXPECT_EQ(-1, PercentUsed(percent));
    EXPECT_EQ("ok", QuotaState(percent));
}

} // namespace
