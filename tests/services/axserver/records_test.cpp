// Quota records through the client library against the running quota service.
#include "quota_service.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <utility>
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
    std::string device = folder.Device(), file = folder.File();
    ASSERT_EQ(0u, client.Get(&read, device.data(), file.data(), const_cast<char*>(""), 0));
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
    std::string upper = file;
    for (char& c : upper)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(0u, client.Get(&read, device.data(), upper.data(), const_cast<char*>(""), 0));

    ASSERT_EQ(0u, client.Delete(device.data(), file.data(), const_cast<char*>("")));
    EXPECT_EQ(kAxNotRunning,
              client.Get(&read, device.data(), file.data(), const_cast<char*>(""), 0));
    EXPECT_EQ(2u, client.Delete(device.data(), file.data(), const_cast<char*>("")));
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
    std::string device = folder.Device(), file = folder.File() + " ";
    ASSERT_EQ(0u, client.Get(&read, device.data(), file.data(), const_cast<char*>("Users"), 0));
    EXPECT_EQ(quota, read.GetPermQuota());
    EXPECT_EQ(0u, client.Delete(device.data(), file.data(), const_cast<char*>("BUILTIN\\Users")));
}

TEST(QuotaRecords, SaveRefusesWhatCannotBeAQuota) {
    TestFolder folder("refused");
    AXCli client;
    ASSERT_EQ(0u, client.Connect(""));
    // A missing folder, a file or an unknown account are refused through axquota's tests.
    AllotrixDbRec noDrive = MakeRecord(folder, "", 1);
    noDrive.SetObjectName("Q:", "\\data");
    EXPECT_EQ(static_cast<uint32_t>(ERROR_INVALID_DRIVE), client.Save(&noDrive, 0));
    AllotrixDbRec escape = MakeRecord(folder, "", 1);
    escape.SetObjectName("C:", (folder.File() + "\\..\\..").c_str());
    EXPECT_EQ(static_cast<uint32_t>(ERROR_INVALID_NAME), client.Save(&escape, 0));
    AllotrixBaseDbRec listed;
    EXPECT_FALSE(FindListed(client, folder, "", listed));
}

TEST(QuotaRecords, EnumerationListsEachRecordOnceAndEndContextStartsOver) {
    TestFolder a("enum-a"), b("enum-b");
    AXCli client;
    ASSERT_EQ(0u, client.Connect(""));
    const char* owners[] = {"", "Administrators", "Users", "Everyone"};
    for (const TestFolder* folder : {&a, &b})
        for (const char* owner : owners) {
            AllotrixDbRec record = MakeRecord(*folder, owner, 1000);
            ASSERT_EQ(0u, client.Save(&record, 0)) << owner;
        }
    std::multiset<std::string> seen;
    ASSERT_EQ(0u, client.EndContext());
    AllotrixBaseDbRec record;
    uint32_t status;
    while ((status = client.Get(&record, 1)) == 0 || status == kAxSkipRecord)
        seen.insert(std::string(record.GetMappedName(1)) + "|" + record.GetFileOwner());
    EXPECT_EQ(kAxNoMoreRecords, status);
    EXPECT_EQ(kAxNoMoreRecords, client.Get(&record, 1)) << "the end is remembered";
    for (const TestFolder* folder : {&a, &b})
        for (const char* owner : owners) {
            auto listed = [&](const std::string& entry) {
                return entry.rfind(folder->Path() + "|", 0) == 0 &&
                       IsOwner(entry.c_str() + folder->Path().size() + 1, owner);
            };
            EXPECT_EQ(1, std::count_if(seen.begin(), seen.end(), listed))
                << folder->Path() << owner;
        }

    // An object's own record comes before its owners'.
    std::vector<AllotrixBaseDbRec> all = ListAll(client);
    for (size_t i = 0; i < all.size(); ++i)
        if (all[i].GetFileOwner()[0] && _stricmp(all[i].GetMappedName(1), a.Path().c_str()) == 0) {
            ASSERT_GT(i, 0u);
            EXPECT_TRUE(all[i - 1].IsAttributeSet(AttrAbsolute) || all[i - 1].GetFileOwner()[0]);
        }

    // Part way through, EndContext starts the next enumeration at the first record again.
    ASSERT_EQ(0u, client.EndContext());
    AllotrixBaseDbRec first, again;
    ASSERT_EQ(0u, client.Get(&first, 1));
    ASSERT_EQ(0u, client.Get(&record, 1));
    ASSERT_EQ(0u, client.EndContext());
    ASSERT_EQ(0u, client.Get(&again, 1));
    EXPECT_STREQ(first.GetMappedName(1), again.GetMappedName(1));
    EXPECT_STREQ(first.GetFileOwner(), again.GetFileOwner());
    client.EndContext();
}

TEST(QuotaRecords, SizeAttributesBecomeBytesOnSave) {
    TestFolder folder("sizes");
    AXCli client;
    ASSERT_EQ(0u, client.Connect(""));
    unsigned long type = 0;
    int cluster = 0;
    int64_t capacity = 0, freeBytes = 0;
    ASSERT_EQ(0u, client.GetDeviceInfo("C:", &type, &cluster, &capacity, &freeBytes));

    AllotrixDbRec ofDevice = MakeRecord(folder, "", 50);
    ofDevice.TurnAttributeOn(AttrPercentOfDevice);
    ASSERT_EQ(0u, client.Save(&ofDevice, 1));
    EXPECT_EQ(static_cast<uint64_t>(capacity) * 50 / 100, ofDevice.GetPermQuota());
    EXPECT_FALSE(ofDevice.IsAttributeSet(AttrPercentOfDevice));

    AllotrixDbRec deviceSize = ofDevice;
    deviceSize.TurnAttributeOn(AttrUseDeviceSize);
    ASSERT_EQ(0u, client.Save(&deviceSize, 1));
    EXPECT_EQ(static_cast<uint64_t>(capacity), deviceSize.GetPermQuota());
}

} // namespace
