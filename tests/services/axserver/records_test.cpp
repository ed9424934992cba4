// Quota records through the client library against the running quota service.
#include "quota_service.h"

#include "services/axserver/filter_settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <thread>
#include <vector>

namespace {

TEST(QuotaRecords, SaveGetDeleteRoundTripKeepsEveryField) {
    TestFolder folder("roundtrip");
    AXCli client;
    ASSERT_EQ(0u, client.Connect(""));
    AllotrixDbRec record = MakeRecord(folder, "", 5'000'000);
    record.SetOverDraft(1234);
    record.SetThreshPercent1(90);
    record.SetThreshPercent5(150);
    record.TurnAttributeOn(AttrNoEnforce);
    record.Actions[2].SetMessage("Quota of %o nearly used");
    record.Actions[2].TurnPolicyFlagOn(PolAbove);
    record.Actions[4].ReportMail.SetMailProfile("abc");
    ASSERT_EQ(0u, client.Save(&record, 1));
    EXPECT_NE(0u, record.GetRecordId());

    AllotrixDbRec read;
    std::string device = folder.Device(), file = folder.File(), upper = file, none;
    ASSERT_EQ(0u, client.Get(&read, device.data(), file.data(), none.data(), 0));
    EXPECT_EQ(record.GetRecordId(), read.GetRecordId());
    EXPECT_EQ(5'000'000u, read.GetPermQuota());
    EXPECT_EQ(1234u, read.GetOverDraft());
    EXPECT_EQ(90, read.GetThreshPercent1());
    EXPECT_EQ(150, read.GetThreshPercent5());
    EXPECT_TRUE(read.IsAttributeSet(AttrNoEnforce));
    EXPECT_TRUE(read.IsAttributeSet(AttrAbsolute));
    EXPECT_STREQ("Quota of %o nearly used", read.Actions[2].GetMessageA());
    EXPECT_TRUE(read.Actions[2].IsPolicyFlagSet(PolAbove));
    EXPECT_EQ(0, memcmp(record.Actions[4].ReportMail.MailProfile,
                        read.Actions[4].ReportMail.MailProfile, kMailSecretSize));
    EXPECT_EQ(folder.Path(), read.GetMappedName(1));

    // The object name compares without regard to case.
    CharUpperBuffA(upper.data(), DWORD(upper.size()));
    EXPECT_EQ(0u, client.Get(&read, device.data(), upper.data(), none.data(), 0));
    ASSERT_EQ(0u, client.Delete(device.data(), file.data(), none.data()));
    EXPECT_EQ(kAxNotRunning, client.Get(&read, device.data(), file.data(), none.data(), 0));
    EXPECT_EQ(2u, client.Delete(device.data(), file.data(), none.data()));
}

TEST(QuotaRecords, OneQuotaPerFolderAndPerAccountHoweverTheyAreNamed) {
    TestFolder folder("canonical");
    AXCli client;
    ASSERT_EQ(0u, client.Connect(""));
    const std::pair<std::string, std::string> names[] = {
        {folder.File(), ""},       {folder.File() + ".", ""},
        {folder.File() + " ", ""}, {folder.File() + "...", ""},
        {folder.File(), "Users"},  {folder.File() + ".", "BUILTIN\\Users"},
        {folder.File(), "users"},
    };
    uint64_t quota = 1000;
    for (const auto& [file, owner] : names) {
        AllotrixDbRec record = MakeRecord(folder, owner, ++quota);
        record.SetObjectName(folder.Device().c_str(), file.c_str());
        ASSERT_EQ(0u, client.Save(&record, 0)) << file << " " << owner;
        EXPECT_EQ(folder.Path(), record.GetMappedName(1));
    }
    std::vector<std::string> owners;
    for (const AllotrixBaseDbRec& record : ListAll(client))
        if (_stricmp(record.GetMappedName(1), folder.Path().c_str()) == 0)
            owners.push_back(record.GetFileOwner());
    EXPECT_EQ((std::vector<std::string>{"", "BUILTIN\\Users"}), owners);
    AllotrixDbRec read;
    std::string device = folder.Device(), file = folder.File() + " ", users = "Users";
    ASSERT_EQ(0u, client.Get(&read, device.data(), file.data(), users.data(), 0));
    EXPECT_EQ(quota, read.GetPermQuota());

    // A missing folder, a file or an unknown account are refused through axquota's tests.
    AllotrixDbRec refused = MakeRecord(folder, "", 1);
    refused.SetObjectName("Q:", "\\data");
    EXPECT_EQ(static_cast<uint32_t>(ERROR_INVALID_DRIVE), client.Save(&refused, 0));
    refused.SetObjectName("C:", (folder.File() + "\\..\\..").c_str());
    EXPECT_EQ(static_cast<uint32_t>(ERROR_INVALID_NAME), client.Save(&refused, 0));
}

// Two clients enumerate side by side while a third saves again and again.
TEST(QuotaRecords, EnumerationsListEachRecordOnceObjectFirstWhileAnotherClientSaves) {
    TestFolder a("enum-a"), b("enum-b");
    AXCli clients[3];
    for (AXCli& client : clients)
        ASSERT_EQ(0u, client.Connect(""));
    const char* owners[] = {"", "Administrators", "Users", "Everyone"};
    for (const TestFolder* folder : {&a, &b})
        for (const char* owner : owners) {
            AllotrixDbRec record = MakeRecord(*folder, owner, 1000);
            ASSERT_EQ(0u, clients[2].Save(&record, 0)) << owner;
        }
    std::atomic<bool> stop{false};
    std::atomic<int> saves{0};
    std::thread writer([&] {
        while (!stop) {
            AllotrixDbRec record = MakeRecord(a, "", 1000 + saves);
            saves += clients[2].Save(&record, 0) == 0;
        }
    });
    // At least three rounds, and on until the writer has saved while the others enumerate.
    for (int round = 0; round < 3 || (saves == 0 && round < 1000); ++round) {
        std::vector<AllotrixBaseDbRec> all[2];
        uint32_t statuses[2] = {clients[0].EndContext(), clients[1].EndContext()};
        while (statuses[0] != kAxNoMoreRecords || statuses[1] != kAxNoMoreRecords)
            for (int c = 0; c < 2; ++c) {
                AllotrixBaseDbRec record;
                if (statuses[c] == kAxNoMoreRecords)
                    continue;
                if ((statuses[c] = clients[c].Get(&record, 1)) == 0)
                    all[c].push_back(record);
                ASSERT_TRUE(statuses[c] == 0 || statuses[c] == kAxNoMoreRecords ||
                            statuses[c] == kAxSkipRecord);
            }
        AllotrixBaseDbRec record;
        EXPECT_EQ(kAxNoMoreRecords, clients[0].Get(&record, 1)) << "the end is remembered";
        EXPECT_EQ(all[0].size(), all[1].size());
        for (const TestFolder* folder : {&a, &b})
            for (const char* owner : owners)
                EXPECT_EQ(1, std::count_if(all[0].begin(), all[0].end(),
                                           [&](const auto& r) {
                                               return _stricmp(r.GetMappedName(1),
                                                               folder->Path().c_str()) == 0 &&
                                                      IsOwner(r.GetFileOwner(), owner);
                                           }))
                    << folder->Path() << owner;
        // An object's own record comes before its owners'.
        for (size_t i = 0; i < all[0].size(); ++i)
            if (all[0][i].GetFileOwner()[0] &&
                _stricmp(all[0][i].GetMappedName(1), a.Path().c_str()) == 0) {
                ASSERT_GT(i, 0u);
                EXPECT_TRUE(all[0][i - 1].IsAttributeSet(AttrAbsolute) ||
                            all[0][i - 1].GetFileOwner()[0]);
            }
    }
    stop = true;
    writer.join();
    EXPECT_GT(saves.load(), 0);

    // Part way through, EndContext starts the next enumeration at the first record again.
    AllotrixBaseDbRec first, second, again;
    ASSERT_EQ(0u, clients[0].EndContext());
    ASSERT_EQ(0u, clients[0].Get(&first, 1));
    ASSERT_EQ(0u, clients[0].Get(&second, 1));
    ASSERT_EQ(0u, clients[0].EndContext());
    ASSERT_EQ(0u, clients[0].Get(&again, 1));
    EXPECT_STREQ(first.GetMappedName(1), again.GetMappedName(1));
    EXPECT_STREQ(first.GetFileOwner(), again.GetFileOwner());
    clients[0].EndContext();
}

void SetOrDelete(const char* name, std::optional<DWORD> value) {
    base::UniqueKey key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, kFilterParametersKey, 0, nullptr,
                                             0, KEY_ALL_ACCESS, nullptr, key.Put(), nullptr));
    if (value)
        RegSetValueExA(key.Get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&*value),
                       sizeof *value);
    else
        RegDeleteValueA(key.Get(), name);
}

// A quota given as a percentage of the device or of the current usage (which gets at least the
// filter driver's minimum) is saved in bytes.
TEST(QuotaRecords, SizesGivenOtherwiseBecomeBytesOnSave) {
    TestFolder folder("sizes");
    folder.WriteFile("data.bin", 40000);
    AXCli client;
    ASSERT_EQ(0u, client.Connect(""));
    unsigned long type = 0;
    int cluster = 0;
    int64_t capacity = 0, freeBytes = 0;
    ASSERT_EQ(0u, client.GetDeviceInfo("C:", &type, &cluster, &capacity, &freeBytes));
    const struct {
        const char* what;
        uint32_t attributes;
        std::optional<DWORD> low, high;
        uint64_t quota;
    } cases[] = {
        {"half the device", AttrPercentOfDevice, std::nullopt, std::nullopt,
         uint64_t(capacity) / 2},
        {"the device", AttrPercentOfDevice | AttrUseDeviceSize, std::nullopt, std::nullopt,
         uint64_t(capacity)},
        {"150 % of the usage, no minimum", AttrPercentOfCurrentUsed, std::nullopt, std::nullopt,
         60000},
        {"a minimum below it", AttrPercentOfCurrentUsed, 50000, 0, 60000},
        {"a minimum above it, in both halves", AttrPercentOfCurrentUsed, 7, 1, 4294967303},
        {"a high half alone", AttrPercentOfCurrentUsed, std::nullopt, 1, 60000},
        {"bytes, with a minimum", 0, 1000000, std::nullopt, 150},
    };
    for (const auto& test : cases) {
        SetOrDelete("MinPercentQuota", test.low);
        SetOrDelete("MinPercentQuotaHigh", test.high);
        AllotrixDbRec record =
            MakeRecord(folder, "", test.attributes & AttrPercentOfDevice ? 50 : 150);
        record.SetAttributes(record.GetAttributes() | test.attributes);
        ASSERT_EQ(0u, client.Save(&record, 1)) << test.what;
        EXPECT_EQ(test.quota, record.GetPermQuota()) << test.what;
        EXPECT_FALSE(record.IsAttributeSet(AttrPercentOfDevice)) << test.what;
        EXPECT_FALSE(record.IsAttributeSet(AttrPercentOfCurrentUsed)) << test.what;
    }
    SetOrDelete("MinPercentQuota", std::nullopt);
    SetOrDelete("MinPercentQuotaHigh", std::nullopt);
}

} // namespace
