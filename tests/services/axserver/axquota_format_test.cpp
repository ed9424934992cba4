// Sizes and quota states as axquota reads and prints them.
#include "tools/axquota_format.h"

#include <gtest/gtest.h>

#include <utility>

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

TEST(AxquotaSizes, ReadsWholeBytesInBinaryUnitsAndNothingElse) {
    const std::pair<const char*, uint64_t> good[] = {
        {"1048576", 1048576}, {"512K", 512u << 10}, {"1.5MB", 1536u << 10}, {"2 gb", 2ull << 30},
        {"10T", 10ull << 40}, {"7 B", 7},           {"0.5KB", 512},
    };
    for (const auto& [text, expected] : good) {
        uint64_t bytes = 0;
        EXPECT_TRUE(ParseBytes(text, bytes)) << text;
        EXPECT_EQ(expected, bytes) << text;
    }
    for (const char* bad : {"", "MB", "-1", "+1", "1.3", "12 parsecs", "1KB2", "99999999999999P",
                            "1 2", "0x10MB", "1e3", "5BB", "1..2", ".", "1,5MB", "1 K B"}) {
        uint64_t bytes = 0;
        EXPECT_FALSE(ParseBytes(bad, bytes)) << bad;
    }
}

TEST(AxquotaSizes, ReadsUpToFiveThresholdsHighestFirst) {
    uint8_t values[kThresholdCount] = {};
    int count = 0;
    ASSERT_EQ("", ParseThresholds("150,90,75", values, count));
    EXPECT_EQ(3, count);
    EXPECT_EQ(150, values[0]);
    ASSERT_EQ("", ParseThresholds("90,0,50", values, count)); // 0 clears the second
    EXPECT_EQ(0, values[1]);
    const std::pair<const char*, const char*> bad[] = {
        {"", "no thresholds"},    {"256", "at most 255"},     {"5,4,3,2,1,0", "at most 5"},
        {"90,", "percentages"},   {",90", "percentages"},     {"9a", "percentages"},
        {"90;80", "percentages"}, {"50,90", "highest first"}, {"90,90", "highest first"},
    };
    for (const auto& [text, problem] : bad)
        EXPECT_NE(std::string::npos, ParseThresholds(text, values, count).find(problem)) << text;
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
