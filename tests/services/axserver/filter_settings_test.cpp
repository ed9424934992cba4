// The filter driver's parameters that the quota service honours, set in the real registry.
#include "quota_service.h"

#include "services/axserver/filter_settings.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

void SetOrDelete(const char* name, std::optional<DWORD> value) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, kFilterParametersKey, 0, nullptr,
                                             0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    if (value)
        RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&*value),
                       sizeof *value);
    else
        RegDeleteValueA(key, name);
    RegCloseKey(key);
}

TEST(FilterSettings, QuotaLearnedFromTheUsageGetsTheDriversMinimum) {
    TestFolder folder("learned");
    folder.WriteFile("data.bin", 40000);
    AXCli client;
    ASSERT_EQ(0u, client.Connect(""));
    struct Case {
        const char* what;
        std::optional<DWORD> low, high;
        uint64_t quota;
    } const cases[] = {
        {"no minimum", std::nullopt, std::nullopt, 60000},
        {"a minimum below 150 % of the usage", 50000, 0, 60000},
        {"a minimum above it, in both halves", 7, 1, 4294967303},
        {"a high half alone", std::nullopt, 1, 60000},
    };
    for (const Case& test : cases) {
        SetOrDelete("MinPercentQuota", test.low);
        SetOrDelete("MinPercentQuotaHigh", test.high);
        AllotrixDbRec learned = MakeRecord(folder, "", 150);
        learned.TurnAttributeOn(AttrPercentOfCurrentUsed);
        ASSERT_EQ(0u, client.Save(&learned, 1)) << test.what;
        EXPECT_EQ(test.quota, learned.GetPermQuota()) << test.what;
    }
    SetOrDelete("MinPercentQuota", std::nullopt);
    SetOrDelete("MinPercentQuotaHigh", std::nullopt);

    // A quota given in bytes is left as it is.
    SetOrDelete("MinPercentQuota", 1000000);
    AllotrixDbRec bytes = MakeRecord(folder, "", 5000);
    ASSERT_EQ(0u, client.Save(&bytes, 1));
    EXPECT_EQ(5000u, bytes.GetPermQuota());
    SetOrDelete("MinPercentQuota", std::nullopt);
}

} // namespace
