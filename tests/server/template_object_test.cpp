// A template read from the registry applied to an existing quota through the real quota service:
// the template's values and exclusions, and the quota's own identity.
#include "quota_service.h"
#include "registry_keys.h"
#include "server/template_object.h"
#include "server/template_reader.h"

#include <gtest/gtest.h>

#include <string>

TEST(ApplyToObject, TemplateChangesAnExistingQuotaButNotItsIdentity) {
    TestFolder folder("template-existing");
    AXCli client;
    ASSERT_EQ(0u, client.Connect(""));
    AllotrixDbRec existing = MakeRecord(folder, "", 1000000);
    existing.SetOverDraft(1111);
    existing.SetThreshPercent2(40);
    existing.Actions[1].SetMessage("kept: excluded by the template");
    existing.TurnAttributeOn(AttrRenamed);
    ASSERT_EQ(0u, client.Save(&existing, 1));

    RemoveAllTemplates();
    TestKey key = OrdinaryTemplate("Departments");
    key.Dword("TemplateFlags", 0x800); // leaves the overdraft alone
    key.Sub("Quota").String("PermQuota", "5242880").String("Exclude", "Yes");
    key.Sub("Threshold1").Dword("Threshold", 90).String("Message", "[OBJECT NAME] is full");
    key.Sub("Threshold2").Dword("Threshold", 60).Dword("TemplateActionFlags", 0x10000);
    QuotaEditRecord source;
    ASSERT_EQ(0, ReadTemplate(nullptr, "Departments", nullptr, source, false));
    RemoveAllTemplates();
    source.SetFileOwner("SOMEONE\\else"); // identity comes from the object, not the template

    AllotrixBaseDbRec row;
    ASSERT_TRUE(FindListed(client, folder, "", row));
    ASSERT_EQ(0u, ApplyTemplateToObject(client, row, source));
    EXPECT_EQ(5242880u, row.GetPermQuota());

    AllotrixDbRec saved;
    std::string device = folder.Device(), file = folder.File(), own;
    ASSERT_EQ(0u, client.Get(&saved, device.data(), file.data(), own.data(), 0));
    EXPECT_EQ(existing.GetRecordId(), saved.GetRecordId());
    EXPECT_EQ(5242880u, saved.GetPermQuota());
    EXPECT_EQ(1111u, saved.GetOverDraft());
    EXPECT_EQ(90, saved.GetThreshPercent1());
    EXPECT_STREQ("[OBJECT NAME] is full", saved.Actions[0].GetMessageA());
    EXPECT_EQ(60, saved.GetThreshPercent2());
    EXPECT_STREQ("kept: excluded by the template", saved.Actions[1].GetMessageA());
    EXPECT_TRUE(saved.IsAttributeSet(AttrAbsolute));
    EXPECT_FALSE(saved.IsAttributeSet(AttrExcludeFromAbsolute)); // never on an object's own quota
    EXPECT_FALSE(saved.IsAttributeSet(AttrRenamed));
}
