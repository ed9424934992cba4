#include "monitor/cell_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>

using namespace monitor;

namespace {

std::string Size(uint64_t value, uint32_t unit) {
    std::string text = "unchanged";
    EXPECT_TRUE(FormatSize(value, unit, text)) << value << " in unit " << unit;
    return text;
}

AllotrixBaseDbRec Record(uint64_t used, uint64_t quota, std::initializer_list<uint8_t> thresholds,
                         uint32_t attributes = 0) {
    AllotrixBaseDbRec record;
    record.SetUsedQuota(used);
    record.SetPermQuota(quota);
    int i = 1;
    for (uint8_t value : thresholds)
        record.SetThreshPercent(i++, value);
    record.SetAttributes(attributes);
    return record;
}

constexpr uint64_t kKB = 1024;
constexpr uint64_t kMB = 1024 * kKB;
constexpr uint64_t kGB = 1024 * kMB;

} // namespace

TEST(FormatSize, GroupsBytesAndKeepsTheUnitOfBytes) {
    EXPECT_EQ(Size(1234567, kUnitBytes), "1,234,567B");
    EXPECT_EQ(Size(5 * kGB, kUnitBytes), "5,368,709,120B");
    EXPECT_EQ(Size(999, kUnitBytes), "999B");
}

TEST(FormatSize, ShowsOneDecimalInLargerUnits) {
    EXPECT_EQ(Size(1536, kUnitKB), "1.5KB");
    EXPECT_EQ(Size(50 * kMB, kUnitGB), "50.0MB");
    EXPECT_EQ(Size(3 * kGB / 2, kUnitGB), "1.5GB");
    EXPECT_EQ(Size(1234567 * kKB, kUnitKB), "1,234,567.0KB");
    EXPECT_EQ(Size(20000 * kGB, kUnitGB), "20,000.0GB");
    EXPECT_EQ(Size(1048575, kUnitKB), "1,024.0KB"); // 1023.999 rounds up
}

TEST(FormatSize, StepsDownWhileTheValueIsBelowATenthOfTheUnit) {
    EXPECT_EQ(Size(51200, kUnitMB), "50.0KB");
    EXPECT_EQ(Size(0, kUnitBytes), "0B");
    EXPECT_EQ(Size(0, kUnitKB), "0B");
    EXPECT_EQ(Size(0, kUnitMB), "0B");
    EXPECT_EQ(Size(0, kUnitGB), "0B");
    // 103 bytes are 0.1006 KB, 102 bytes 0.0996 KB.
    EXPECT_EQ(Size(103, kUnitKB), "0.1KB");
    EXPECT_EQ(Size(102, kUnitKB), "102B");
    EXPECT_EQ(Size(103 * kMB, kUnitGB), "0.1GB");
    EXPECT_EQ(Size(102 * kMB, kUnitGB), "102.0MB");
    EXPECT_EQ(Size(102, kUnitGB), "102B");
}

// FormatSize gives what GetNumberFormatA makes of the value in bytes in decimal, or in the unit
// shown printed with "%-f"; checked over values of every magnitude, including those whose six
// decimals need more digits than a double holds, and those that round up to a longer number.
TEST(FormatSize, FormatsTheNumberAsPrintedWithPercentF) {
    const std::string suffixes[] = {"B", "KB", "MB", "GB"};
    std::mt19937_64 random(8);
    for (int i = 0; i < 20000; ++i) {
        const uint64_t value = random() >> (random() % 64);
        std::string text;
        ASSERT_TRUE(FormatSize(value, i % 4, text));
        uint32_t unit = kUnitGB; // the unit shown
        while (unit > kUnitBytes && !text.ends_with(suffixes[unit]))
            --unit;
        char number[64];
        if (unit == kUnitBytes) {
            snprintf(number, sizeof number, "%llu", static_cast<unsigned long long>(value));
        } else {
            double inUnit = static_cast<double>(value);
            for (uint32_t step = 0; step < unit; ++step)
                inUnit /= 1024.0;
            snprintf(number, sizeof number, "%-f", inUnit);
        }
        char decimal[] = ".";
        char thousands[] = ",";
        NUMBERFMTA format{unit == kUnitBytes ? 0u : 1u, 1, 3, decimal, thousands, 2};
        char formatted[40];
        ASSERT_NE(
            GetNumberFormatA(LOCALE_USER_DEFAULT, 0, number, &format, formatted, sizeof formatted),
            0);
        EXPECT_EQ(text, formatted + suffixes[unit]) << value << " in unit " << i % 4;
    }
}

TEST(FormatSize, AUnitAboveGigabytesFormatsNothing) {
    std::string text = "previous";
    EXPECT_FALSE(FormatSize(50 * kMB, 4, text));
    EXPECT_EQ(text, "previous");
    EXPECT_FALSE(FormatSize(0, 17, text));
    EXPECT_EQ(text, "previous");
}

TEST(UsedPercent, TruncatesAndMayExceedAHundred) {
    EXPECT_EQ(UsedPercent(Record(199, 200, {})), 99u);
    EXPECT_EQ(UsedPercent(Record(150, 100, {})), 150u);
    EXPECT_EQ(UsedPercent(Record(5, 0, {})), 0u);
    EXPECT_EQ(FreePercent(99), 1u);
    EXPECT_EQ(FreePercent(100), 0u);
    EXPECT_EQ(FreePercent(150), 0u);
    EXPECT_EQ(FreePercent(0), 100u);
}

TEST(StatusIcon, ScanStatesComeBeforeThresholds) {
    const auto both = Record(99, 100, {10}, AttrStatus40000000 | AttrStatus100);
    EXPECT_EQ(GetStatusIcon(both, 99), kIconScanning);
    EXPECT_EQ(GetStatusIcon(Record(99, 100, {10}, AttrStatus100), 99), kIconStatus100);
}

TEST(StatusIcon, ShowsTheFirstThresholdExceededStrictly) {
    const auto record = Record(80, 100, {80, 70, 60, 50, 40});
    EXPECT_EQ(GetStatusIcon(record, 80), kIconThreshold2); // equal to T1: not yet threshold 1
    EXPECT_EQ(GetStatusIcon(record, 81), kIconThreshold1);
    EXPECT_EQ(GetStatusIcon(record, 61), kIconThreshold3);
    EXPECT_EQ(GetStatusIcon(record, 51), kIconThreshold4);
    EXPECT_EQ(GetStatusIcon(record, 41), kIconThreshold5);
    EXPECT_EQ(GetStatusIcon(record, 40), kIconNoThreshold);
}

TEST(StatusIcon, AZeroThresholdEndsTheSearch) {
    const auto record = Record(0, 100, {90, 80, 0, 50});
    EXPECT_EQ(GetStatusIcon(record, 70), kIconNoThreshold);
    EXPECT_EQ(GetStatusIcon(record, 85), kIconThreshold2);
    EXPECT_EQ(GetStatusIcon(Record(0, 100, {}), 150), kIconNoThreshold);
}

TEST(BarColour, TakesTheColourOfTheFirstThresholdReached) {
    const auto record = Record(0, 100, {80, 70, 60, 50, 40});
    EXPECT_EQ(GetBarColour(record, 80), kBarRed); // equal to T1: already red
    EXPECT_EQ(GetBarColour(record, 79), kBarAmber);
    EXPECT_EQ(GetBarColour(record, 60), kBarAmber);
    EXPECT_EQ(GetBarColour(record, 50), kBarGreen);
    EXPECT_EQ(GetBarColour(record, 40), kBarGreen);
    // No threshold reached: bands.
    EXPECT_EQ(GetBarColour(record, 39), kBarGreen);
}

TEST(BarColour, FallsBackToBandsAfterAZeroThreshold) {
    const auto record = Record(0, 100, {95, 93, 0, 10});
    EXPECT_EQ(GetBarColour(record, 90), kBarRed);
    EXPECT_EQ(GetBarColour(record, 89), kBarAmber);
    EXPECT_EQ(GetBarColour(record, 60), kBarAmber);
    EXPECT_EQ(GetBarColour(record, 59), kBarGreen);
    EXPECT_EQ(GetBarColour(record, 94), kBarAmber);
    EXPECT_EQ(GetBarColour(record, 95), kBarRed);
}

TEST(BarColour, OverfullQuotaIsRedOnBothBars) {
    const auto record = Record(150, 100, {});
    const uint64_t used = UsedPercent(record);
    EXPECT_EQ(used, 150u);
    EXPECT_EQ(GetBarColour(record, used), kBarRed);
    // The free bar takes its colour from the used percentage capped at 100.
    EXPECT_EQ(GetBarColour(record, std::min<uint64_t>(used, 100)), kBarRed);
    EXPECT_EQ(FreePercent(used), 0u);
    EXPECT_EQ(GetStatusIcon(record, used), kIconNoThreshold);
}

TEST(OwnerCell, ObjectQuotaShowsTheObjectTextWithDiskOrRenamePicture) {
    auto cell = GetOwnerCell(Record(0, 1, {}, AttrAbsolute | AttrRenamed | AttrNoEnforce));
    EXPECT_TRUE(cell.isObject);
    EXPECT_EQ(cell.picture, OwnerPicture::Rename);
    cell = GetOwnerCell(Record(0, 1, {}, AttrAbsolute | AttrGroupOwner));
    EXPECT_TRUE(cell.isObject);
    EXPECT_EQ(cell.picture, OwnerPicture::Default);
}

TEST(OwnerCell, OwnerPictureFollowsKindAndEnforcement) {
    struct Case {
        uint32_t attributes;
        OwnerPicture picture;
    };
    const Case cases[] = {
        {AttrRenamed | AttrGroupOwner | AttrNoEnforce, OwnerPicture::Rename},
        {AttrGlobalGroupOwner | AttrGroupOwner, OwnerPicture::GlobalGroup},
        {AttrGlobalGroupOwner | AttrNoEnforce, OwnerPicture::GlobalGroupX},
        {AttrGroupOwner, OwnerPicture::Group},
        {AttrGroupOwner | AttrNoEnforce, OwnerPicture::GroupX},
        {0, OwnerPicture::User},
        {AttrNoEnforce, OwnerPicture::UserX},
    };
    for (const Case& c : cases) {
        const OwnerCell cell = GetOwnerCell(Record(0, 1, {}, c.attributes));
        EXPECT_FALSE(cell.isObject);
        EXPECT_EQ(cell.picture, c.picture) << std::hex << c.attributes;
    }
}

TEST(SortKey, NumbersAreRightAlignedSoTextOrderIsNumericOrder) {
    EXPECT_EQ(NumberSortKey(5), std::string(19, ' ') + "5");
    EXPECT_LT(NumberSortKey(9), NumberSortKey(10));
    EXPECT_EQ(NumberSortKey(UINT64_MAX), "18446744073709551615");
    auto record = Record(150, 100, {});
    record.SetHighWaterMark(7);
    record.SetOverDraft(3);
    EXPECT_EQ(GetSortKey(kColUsedPercent, "S", record, ""), NumberSortKey(150));
    EXPECT_EQ(GetSortKey(kColFreePercent, "S", record, ""), NumberSortKey(0));
    EXPECT_EQ(GetSortKey(kColSpaceUsed, "S", record, ""), NumberSortKey(150));
    EXPECT_EQ(GetSortKey(kColHighWater, "S", record, ""), NumberSortKey(7));
    EXPECT_EQ(GetSortKey(kColCapacity, "S", record, ""), NumberSortKey(100));
    EXPECT_EQ(GetSortKey(kColOverdraft, "S", record, ""), NumberSortKey(3));
}

TEST(SortKey, TextColumns) {
    auto record = Record(1, 100, {}, AttrGroupOwner);
    record.SetObjectName("C:", "\\Data");
    record.SetFileOwner("DOMAIN\\Staff");
    EXPECT_EQ(GetSortKey(kColStatus, "SRV", record, "x"), "");
    EXPECT_EQ(GetSortKey(kColObjectName, "SRV", record, ""), record.GetMappedName(1));
    EXPECT_EQ(GetSortKey(kColServer, "SRV", record, ""), "SRV");
    EXPECT_EQ(GetSortKey(kColWriteThrough, "SRV", record, "Enabled"), "Enabled");
    EXPECT_EQ(GetSortKey(kColEnforce, "SRV", record, "Disabled"), "Disabled");
    EXPECT_EQ(GetSortKey(kColUser, "SRV", record, ""), "2DOMAIN\\Staff");
    record.SetAttributes(AttrGlobalGroupOwner);
    EXPECT_EQ(GetSortKey(kColUser, "SRV", record, ""), "1DOMAIN\\Staff");
    record.SetAttributes(0);
    EXPECT_EQ(GetSortKey(kColUser, "SRV", record, ""), "3DOMAIN\\Staff");
    record.SetAttributes(AttrAbsolute);
    EXPECT_EQ(GetSortKey(kColUser, "SRV", record, ""), "");
}
