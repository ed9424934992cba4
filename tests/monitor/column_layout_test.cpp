#include "monitor/column_layout.h"
#include "view_fixture.h"

#include "client/axcli.h"
#include "monitor/columns.h"
#include "ui/profile.h"

#include <gtest/gtest.h>

using namespace monitor;

namespace {

ColumnCodes Codes(std::initializer_list<uint32_t> codes) {
    ColumnCodes order{};
    std::copy(codes.begin(), codes.end(), order.begin());
    return order;
}

class ColumnProfile : public ::testing::Test {
protected:
    ScopedProfileRoot m_profile{"KelvaneLayoutTest"};
};

} // namespace

TEST(ColumnList, ParsesNamesInAnyCaseDropsUnknownOnesAndShowsAtMostTwelve) {
    std::string fifteen;
    for (int i = 0; i < 15; ++i)
        fifteen += "Status;";
    struct Case {
        std::string text;
        uint32_t kind;
        ColumnCodes expected;
    };
    const Case cases[] = {
        {DefaultColumnList(kServerKindFull), kServerKindFull,
         Codes({1, 2, 12, 4, 5, 6, 8, 7, 0, 3, 9, 10, 11})},
        {DefaultColumnList(kServerKindMonitorOnly), kServerKindMonitorOnly,
         Codes({1, 2, 12, 4, 6, 0, 3, 5, 7, 8, 9, 10, 11})},
        {"status;server", kServerKindFull, Codes({1, 12, 0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11})},
        {"PERMQUOTA;enforce quota;", kServerKindFull,
         Codes({8, 11, 0, 1, 2, 3, 4, 5, 6, 7, 9, 10, 12})},
        {";Bogus;;Capacity;Server;", kServerKindFull,
         Codes({12, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11})},
        {"", kServerKindFull, Codes({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12})},
        // User is dropped on monitoring-only servers only.
        {"User;Status;HighWater", kServerKindMonitorOnly,
         Codes({1, 7, 0, 2, 3, 4, 5, 6, 8, 9, 10, 11, 12})},
        {"User;Status", kServerKindFull, Codes({5, 1, 0, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12})},
        {"Server;Server", kServerKindFull, Codes({12, 12, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10})},
        {fifteen, kServerKindFull, Codes({1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0})},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseColumnList(c.text, c.kind), c.expected) << c.text;
    EXPECT_EQ(DefaultColumnList(kServerKindMonitorOnly),
              "Status;% Space Used;Server;Object Name;Space Used;");
}

TEST(ColumnList, TextFormListsTheShownKeysInOrder) {
    const std::string all = "Status;% Space Used;% Space Free;Object Name;User;Space Used;"
                            "HighWater;PermQuota;Overdraft;Write Through;Enforce Quota;Server;";
    const ColumnCodes order = ParseColumnList(all, kServerKindFull);
    EXPECT_EQ(order, Codes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0}));
    EXPECT_EQ(ColumnListText(order), all);
}

TEST_F(ColumnProfile, WidthsAreSavedUnderTheColumnKeys) {
    ASSERT_TRUE(SaveColumnWidth(kColObjectName, 211));
    ASSERT_TRUE(SaveColumnWidth(kColCapacity, 97));
    ASSERT_TRUE(SaveColumnWidth(kColServer, 0));
    ASSERT_TRUE(SaveColumnWidth(kColEnforce, 0));
    EXPECT_EQ(SavedNumber("Object Name"), 211u);
    EXPECT_EQ(SavedNumber("PermQuota"), 97u);

    EXPECT_EQ(LoadColumnWidth(kColObjectName, 140), 211);
    EXPECT_EQ(LoadColumnWidth(kColCapacity, 105), 97);
    EXPECT_EQ(LoadColumnWidth(kColServer, 140), 1);
    EXPECT_EQ(LoadColumnWidth(kColEnforce, 105), 2);
    EXPECT_EQ(LoadColumnWidth(kColHighWater, 105), 105);
}
