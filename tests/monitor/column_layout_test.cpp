#include "monitor/column_layout.h"

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

// Each test works in a profile root of its own under HKEY_CURRENT_USER, removed afterwards.
class ColumnProfile : public ::testing::Test {
protected:
    void SetUp() override {
        m_application = "KelvaneLayoutTest" + std::to_string(GetCurrentProcessId());
        ui::Profile::SetRoot("Ostrel", m_application);
        RegDeleteTreeA(HKEY_CURRENT_USER, ui::Profile::RootPath().c_str());
    }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, ui::Profile::RootPath().c_str()); }

    std::string SectionPath() const { return ui::Profile::RootPath() + "\\AXMonitor"; }

    bool ReadDword(const char* value, DWORD& data) const {
        DWORD size = sizeof data;
        return RegGetValueA(HKEY_CURRENT_USER, SectionPath().c_str(), value, RRF_RT_REG_DWORD,
                            nullptr, &data, &size) == ERROR_SUCCESS;
    }
    std::string ReadString(const char* value) const {
        char text[512] = {};
        DWORD size = sizeof text;
        if (RegGetValueA(HKEY_CURRENT_USER, SectionPath().c_str(), value, RRF_RT_REG_SZ, nullptr,
                         text, &size) != ERROR_SUCCESS)
            return "<missing>";
        return text;
    }

    std::string m_application;
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

TEST(ColumnList, TextFormListsTheShownKeys) {
    EXPECT_EQ(ColumnListText(Codes({8, 3, 10, 0, 1})), "PermQuota;% Space Free;Write Through;");
    EXPECT_EQ(ColumnListText(Codes({0, 1, 2})), "");
    const std::string all = "Status;% Space Used;% Space Free;Object Name;User;Space Used;"
                            "HighWater;PermQuota;Overdraft;Write Through;Enforce Quota;Server;";
    const ColumnCodes order = ParseColumnList(all, kServerKindFull);
    EXPECT_EQ(order, Codes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0}));
    EXPECT_EQ(ColumnListText(order), all);
}

TEST_F(ColumnProfile, NothingSavedGivesDefaults) {
    const ColumnLayout layout = LoadColumnList(kServerKindFull);
    EXPECT_EQ(layout.sizeUnit, 2u);
    EXPECT_EQ(layout.order, Codes({1, 2, 12, 4, 5, 6, 8, 7, 0, 3, 9, 10, 11}));
    EXPECT_EQ(LoadColumnWidth(kColObjectName, 140), 140);
    // The default is not written back.
    EXPECT_EQ(ReadString("ColsDisplayed"), "<missing>");
}

TEST_F(ColumnProfile, SavedLayoutOfAMonitoringOnlyServerComesBack) {
    ASSERT_TRUE(SaveColumnList(Codes({5, 1, 7, 8, 12, 0})));
    ASSERT_TRUE(SaveSizeUnit(3));
    EXPECT_EQ(ReadString("ColsDisplayed"), "User;Status;HighWater;PermQuota;Server;");
    DWORD unit = 0;
    ASSERT_TRUE(ReadDword("Bytes", unit));
    EXPECT_EQ(unit, 3u);

    const ColumnLayout layout = LoadColumnList(kServerKindMonitorOnly);
    EXPECT_EQ(layout.sizeUnit, 3u);
    // User is dropped; HighWater stays in the order (the grid leaves it out on such servers).
    EXPECT_EQ(layout.order, Codes({1, 7, 8, 12, 0, 2, 3, 4, 5, 6, 9, 10, 11}));
}

TEST_F(ColumnProfile, AnEmptyListIsNotWrittenAndTheOldOneStays) {
    ASSERT_TRUE(SaveColumnList(Codes({4, 0})));
    EXPECT_FALSE(SaveColumnList(Codes({0, 1, 2})));
    EXPECT_EQ(ReadString("ColsDisplayed"), "Object Name;");
}

TEST_F(ColumnProfile, WidthsAreSavedUnderTheColumnKeys) {
    ASSERT_TRUE(SaveColumnWidth(kColObjectName, 211));
    ASSERT_TRUE(SaveColumnWidth(kColCapacity, 97));
    ASSERT_TRUE(SaveColumnWidth(kColServer, 0));
    ASSERT_TRUE(SaveColumnWidth(kColEnforce, 0));
    DWORD width = 0;
    ASSERT_TRUE(ReadDword("Object Name", width));
    EXPECT_EQ(width, 211u);
    ASSERT_TRUE(ReadDword("PermQuota", width));
    EXPECT_EQ(width, 97u);

    EXPECT_EQ(LoadColumnWidth(kColObjectName, 140), 211);
    EXPECT_EQ(LoadColumnWidth(kColCapacity, 105), 97);
    EXPECT_EQ(LoadColumnWidth(kColServer, 140), 1);
    EXPECT_EQ(LoadColumnWidth(kColEnforce, 105), 2);
    EXPECT_EQ(LoadColumnWidth(kColHighWater, 105), 105);
}
