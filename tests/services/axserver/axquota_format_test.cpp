// Sizes and quota states as axquota reads and prints them (its command line's refusals of sizes
// and thresholds are checked through axquota itself).
#include "tools/axquota_format.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

TEST(AxquotaSizes, PrintsBinaryUnitsWithThreeDigitsAndReadsWholeBytesInThem) {
    const std::pair<uint64_t, const char*> printed[] = {
        {0, "0 B"},
        {1023, "1023 B"},
        {1024, "1.00 KB"},
        {1536 * 1024, "1.50 MB"},
        {20ull << 30, "20.0 GB"},
        {512ull << 30, "512 GB"},
        {~0ull, "16.0 EB"},
    };
    for (const auto& [bytes, text] : printed)
        EXPECT_EQ(text, FormatBytes(bytes));
    const std::pair<const char*, uint64_t> read[] = {
        {"1048576", 1048576}, {"512K", 512u << 10}, {"1.5MB", 1536u << 10}, {"2 gb", 2ull << 30},
        {"10T", 10ull << 40}, {"7 B", 7},           {"0.5KB", 512},
    };
    for (const auto& [text, expected] : read) {
        uint64_t bytes = 0;
        EXPECT_TRUE(ParseBytes(text, bytes)) << text;
        EXPECT_EQ(expected, bytes) << text;
    }
    for (const char* bad : {"", "MB", "-1", "+1", "12 parsecs", "1KB2", "99999999999999P", "1 2",
                            "1..2", ".", "1,5MB", "1 K B"}) {
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
        {"", "no thresholds"},      {"5,4,3,2,1,0", "at most 5"}, {"90,", "percentages"},
        {",90", "percentages"},     {"9a", "percentages"},        {"90;80", "percentages"},
        {"90,90", "highest first"},
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
    const std::pair<uint64_t, const char*> states[] = {
        {100, "ok"}, {760, "threshold 2"}, {1000, "threshold 1"}, {1001, "over quota"}};
    for (const auto& [used, state] : states) {
        record.SetUsedQuota(used);
        EXPECT_EQ(state, QuotaState(record)) << used;
    }
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
