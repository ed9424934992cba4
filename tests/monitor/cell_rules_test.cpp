#include "monitor/cell_rules.h"

#include <gtest/gtest.h>

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

// Bytes are grouped; larger units show one decimal, stepping down while the value is below a
// tenth of the unit (103 bytes are 0.1006 KB, 102 bytes 0.0996 KB).
TEST(FormatSize, ShowsTheLargestUnitUpToTheOneAskedWithOneDecimal) {
    const struct {
        uint64_t value;
        uint32_t unit;
        const char* text;
    } cases[] = {
        {1234567, kUnitBytes, "1,234,567B"},
        {1536, kUnitKB, "1.5KB"},
        {50 * kMB, kUnitGB, "50.0MB"},
        {1048575, kUnitKB, "1,024.0KB"}, // 1023.999 rounds up to a longer number
        {UINT64_MAX, kUnitGB, "17,179,869,184.0GB"},
        {51200, kUnitMB, "50.0KB"},
        {0, kUnitGB, "0B"},
        {103, kUnitKB, "0.1KB"},
        {102, kUnitKB, "102B"},
        {103 * kMB, kUnitGB, "0.1GB"},
        {102 * kMB, kUnitGB, "102.0MB"},
        {102, kUnitGB, "102B"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Size(c.value, c.unit), c.text);
    std::string text = "previous"; // a unit above gigabytes formats nothing
    EXPECT_FALSE(FormatSize(50 * kMB, 4, text));
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

// The status icon shows a scan first, then the first threshold exceeded strictly; the bar takes
// the colour of the first threshold reached, or bands (60 and 90) when none is; a zero threshold
// ends the search for both.
TEST(StatusIconAndBar, FollowTheThresholdsInOrder) {
    const auto all = Record(0, 100, {80, 70, 60, 50, 40});
    const auto gap = Record(0, 100, {95, 93, 0, 10});
    const struct {
        AllotrixBaseDbRec record;
        uint64_t used;
        StatusIcon icon;
        COLORREF bar;
    } cases[] = {
        {Record(99, 100, {10}, AttrStatus40000000 | AttrStatus100), 99, kIconScanning, kBarRed},
        {Record(99, 100, {10}, AttrStatus100), 99, kIconStatus100, kBarRed},
        {all, 81, kIconThreshold1, kBarRed},
        {all, 80, kIconThreshold2, kBarRed},
        {all, 79, kIconThreshold2, kBarAmber},
        {all, 61, kIconThreshold3, kBarAmber},
        {all, 60, kIconThreshold4, kBarAmber},
        {all, 51, kIconThreshold4, kBarGreen},
        {all, 41, kIconThreshold5, kBarGreen},
        {all, 40, kIconNoThreshold, kBarGreen},
        {gap, 95, kIconThreshold2, kBarRed},
        {gap, 94, kIconThreshold2, kBarAmber},
        {gap, 90, kIconNoThreshold, kBarRed},
        {gap, 89, kIconNoThreshold, kBarAmber},
        {gap, 59, kIconNoThreshold, kBarGreen},
        {Record(0, 100, {}), 150, kIconNoThreshold, kBarRed},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GetStatusIcon(c.record, c.used), c.icon) << c.used;
        EXPECT_EQ(GetBarColour(c.record, c.used), c.bar) << c.used;
    }
}

TEST(OwnerCell, PictureFollowsKindAndEnforcementAndAnObjectQuotaShowsTheObjectText) {
    const struct {
        uint32_t attributes;
        bool isObject;
        OwnerPicture picture;
    } cases[] = {
        {AttrAbsolute | AttrRenamed | AttrNoEnforce, true, OwnerPicture::Rename},
        {AttrAbsolute | AttrGroupOwner, true, OwnerPicture::Default},
        {AttrRenamed | AttrGroupOwner | AttrNoEnforce, false, OwnerPicture::Rename},
        {AttrGlobalGroupOwner | AttrGroupOwner, false, OwnerPicture::GlobalGroup},
        {AttrGlobalGroupOwner | AttrNoEnforce, false, OwnerPicture::GlobalGroupX},
        {AttrGroupOwner, false, OwnerPicture::Group},
        {AttrGroupOwner | AttrNoEnforce, false, OwnerPicture::GroupX},
        {0, false, OwnerPicture::User},
        {AttrNoEnforce, false, OwnerPicture::UserX},
    };
    for (const auto& c : cases) {
        const OwnerCell cell = GetOwnerCell(Record(0, 1, {}, c.attributes));
        EXPECT_EQ(cell.isObject, c.isObject) << std::hex << c.attributes;
        EXPECT_EQ(cell.picture, c.picture) << std::hex << c.attributes;
    }
}

TEST(SortKey, NumbersAreRightAlignedAndOwnersSortByKindThenName) {
    EXPECT_EQ(NumberSortKey(UINT64_MAX), "18446744073709551615");
    auto record = Record(150, 100, {}, AttrGroupOwner);
    record.SetHighWaterMark(7);
    record.SetOverDraft(3);
    record.SetObjectName("C:", "\\Data");
    record.SetFileOwner("DOMAIN\\Staff");
    const struct {
        uint32_t column;
        std::string key;
    } cases[] = {
        {kColUsedPercent, NumberSortKey(150)},
        {kColFreePercent, NumberSortKey(0)},
        {kColSpaceUsed, NumberSortKey(150)},
        {kColHighWater, NumberSortKey(7)},
        {kColCapacity, NumberSortKey(100)},
        {kColOverdraft, NumberSortKey(3)},
        {kColStatus, ""},
        {kColObjectName, "C:\\Data"},
        {kColServer, "SRV"},
        {kColWriteThrough, "shown"},
        {kColUser, "2DOMAIN\\Staff"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetSortKey(c.column, "SRV", record, "shown"), c.key) << c.column;
    const std::pair<uint32_t, const char*> owners[] = {
        {AttrGlobalGroupOwner, "1DOMAIN\\Staff"}, {0, "3DOMAIN\\Staff"}, {AttrAbsolute, ""}};
    for (const auto& [attributes, key] : owners) {
        record.SetAttributes(attributes);
        EXPECT_EQ(GetSortKey(kColUser, "SRV", record, ""), key) << attributes;
    }
}
