#include "registry_keys.h"
#include "server/template_object.h"
#include "server/template_reader.h"
#include "quota_service.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class ApplyToObject : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(0u, m_client.Connect("")); }

    // The record of `folder` and `owner` as the monitor lists it.
    AllotrixBaseDbRec Listed(const TestFolder& folder, const std::string& owner = "") {
        AllotrixBaseDbRec row;
        EXPECT_TRUE(FindListed(m_client, folder, owner, row)) << folder.Path() << " " << owner;
        return row;
    }
    // The complete record of `folder` and `owner` on the server; the status of the read.
    uint32_t Stored(const TestFolder& folder, const std::string& owner, AllotrixDbRec& record) {
        std::string device = folder.Device(), file = folder.File(), who = owner;
        return m_client.Get(&record, device.data(), file.data(), who.data(), 0);
    }
    uint64_t Capacity(const TestFolder& folder) {
        unsigned long type = 0;
        int cluster = 0;
        int64_t capacity = 0, freeBytes = 0;
        EXPECT_EQ(0u, m_client.GetDeviceInfo((folder.Device() + "\\").c_str(), &type, &cluster,
                                             &capacity, &freeBytes));
        return static_cast<uint64_t>(capacity);
    }

    AXCli m_client;
};

} // namespace

TEST_F(ApplyToObject, TemplateFromTheRegistryChangesAnExistingQuota) {
    TestFolder folder("template-existing");
    AllotrixDbRec existing = MakeRecord(folder, "", 1000000);
    existing.SetOverDraft(1111);
    existing.SetThreshPercent2(40);
    existing.Actions[1].SetMessage("kept: excluded by the template");
    existing.TurnAttributeOn(AttrRenamed);
    ASSERT_EQ(0u, m_client.Save(&existing, 1));
    AllotrixDbRec before;
    ASSERT_EQ(0u, Stored(folder, "", before));

    RemoveAllTemplates();
    TestKey key = OrdinaryTemplate("Departments");
    key.Dword("TemplateFlags", 0x800); // leaves the overdraft alone
    key.Sub("Quota").String("PermQuota", "5242880").String("Exclude", "Yes");
    key.Sub("Threshold1").Dword("Threshold", 90).String("Message", "[OBJECT NAME] is full");
    key.Sub("Threshold2").Dword("Threshold", 60).Dword("TemplateActionFlags", 0x10000);
    QuotaEditRecord source;
    ASSERT_EQ(0, ReadTemplate(nullptr, "Departments", nullptr, source, false));
    RemoveAllTemplates();

    AllotrixBaseDbRec row = Listed(folder);
    ASSERT_EQ(0u, ApplyTemplateToObject(m_client, row, source));
    EXPECT_EQ(5242880u, row.GetPermQuota());
    EXPECT_EQ(1111u, row.GetOverDraft());

    AllotrixDbRec saved;
    ASSERT_EQ(0u, Stored(folder, "", saved));
    EXPECT_EQ(before.GetRecordId(), saved.GetRecordId());
    EXPECT_EQ(5242880u, saved.GetPermQuota());
    EXPECT_EQ(1111u, saved.GetOverDraft());
    EXPECT_EQ(90, saved.GetThreshPercent1());
    EXPECT_STREQ("[OBJECT NAME] is full", saved.Actions[0].GetMessageA());
    EXPECT_EQ(60, saved.GetThreshPercent2());
    EXPECT_STREQ("kept: excluded by the template", saved.Actions[1].GetMessageA());
    EXPECT_TRUE(saved.IsAttributeSet(AttrAbsolute));
    EXPECT_FALSE(saved.IsAttributeSet(AttrExcludeFromAbsolute)); // never on an object's own quota
    EXPECT_FALSE(saved.IsAttributeSet(AttrRenamed));
    AllotrixBaseDbRec listed = Listed(folder);
    EXPECT_EQ(5242880u, listed.GetPermQuota());
}

TEST_F(ApplyToObject, MissingQuotaIsCreatedForTheObjectsOwner) {
    TestFolder folder("template-new");
    const std::string owner = CurrentAccount();
    AllotrixDbRec probe;
    ASSERT_EQ(kAxNotRunning, Stored(folder, owner, probe));

    AllotrixBaseDbRec row;
    row.SetObjectName(folder.Device().c_str(), folder.File().c_str());
    row.SetFileOwner(owner.c_str());
    QuotaEditRecord source;
    source.SetPermQuota(2000000);
    source.TurnAttributeOn(AttrExcludeFromAbsolute);
    source.TurnAttributeOn(AttrAbsolute); // identity comes from the object, not the template
    source.SetFileOwner("SOMEONE\\else");
    source.SetThreshPercent1(75);
    source.Actions[0].TurnPolicyFlagOn(PolAbove);
    ASSERT_EQ(0u, ApplyTemplateToObject(m_client, row, source));

    AllotrixDbRec saved;
    ASSERT_EQ(0u, Stored(folder, owner, saved));
    EXPECT_EQ(2000000u, saved.GetPermQuota());
    EXPECT_FALSE(saved.IsAttributeSet(AttrAbsolute));
    EXPECT_TRUE(saved.IsAttributeSet(AttrExcludeFromAbsolute));
    EXPECT_EQ(0, _stricmp(owner.c_str(), saved.GetFileOwner()));
    EXPECT_EQ(75, saved.GetThreshPercent1());
    EXPECT_TRUE(saved.Actions[0].IsPolicyFlagSet(PolAbove));
    EXPECT_EQ(2000000u, row.GetPermQuota());
}

TEST_F(ApplyToObject, DeviceCapacityQuotasBecomeBytes) {
    TestFolder folder("template-device");
    ASSERT_EQ(0u, [&] {
        AllotrixDbRec record = MakeRecord(folder, "", 1);
        return m_client.Save(&record, 1);
    }());
    const uint64_t capacity = Capacity(folder);
    ASSERT_GT(capacity, 0u);

    QuotaEditRecord percent;
    percent.SetPermQuota(25);
    percent.TurnAttributeOn(AttrPercentOfDevice);
    AllotrixBaseDbRec row = Listed(folder);
    ASSERT_EQ(0u, ApplyTemplateToObject(m_client, row, percent));
    // The service keeps the bytes it was given and no longer calls them a percentage.
    EXPECT_EQ(capacity * 25 / 100, row.GetPermQuota());
    EXPECT_FALSE(row.IsAttributeSet(AttrPercentOfDevice));

    QuotaEditRecord whole;
    whole.TurnAttributeOn(AttrUseDeviceSize);
    whole.TemplateFlags = TplPermQuota | TplPercentOfDevice;
    ASSERT_EQ(0u, ApplyTemplateToObject(m_client, row, whole));
    EXPECT_EQ(capacity, row.GetPermQuota());
    AllotrixDbRec saved;
    ASSERT_EQ(0u, Stored(folder, "", saved));
    EXPECT_EQ(capacity, saved.GetPermQuota());
}

TEST_F(ApplyToObject, FailuresAreReturnedAndLeaveTheRowAlone) {
    AllotrixBaseDbRec row;
    row.SetObjectName("Q:", "\\no\\such\\folder");
    row.SetPermQuota(7);
    QuotaEditRecord source;
    source.SetPermQuota(9);
    EXPECT_NE(0u, ApplyTemplateToObject(m_client, row, source));
    EXPECT_EQ(7u, row.GetPermQuota());

    AXCli disconnected;
    TestFolder folder("template-offline");
    AllotrixBaseDbRec offline;
    offline.SetObjectName(folder.Device().c_str(), folder.File().c_str());
    EXPECT_NE(0u, ApplyTemplateToObject(disconnected, offline, source));
    EXPECT_EQ(0u, offline.GetPermQuota());
}
