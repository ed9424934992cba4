// A template applied to an existing quota through the real quota service: the template's values
// and exclusions, and the quota's own identity.
#include "quota_service.h"
#include "server/template_object.h"

#include <gtest/gtest.h>

#include <string>

TEST(ApplyToObject, TemplateChangesAnExistingQuotaButNotItsIdentity) {
    TestFolder folder("template-existing");
    AXCli client;
    ASSERT_EQ(0u, client.Connect(""));
    AllotrixDbRec existing = MakeRecord(folder, "", 1000000);
    existing.SetOverDraft(1111);
    existing.TurnAttributeOn(AttrRenamed);
    ASSERT_EQ(0u, client.Save(&existing, 1));

    QuotaEditRecord source;
    source.TemplateFlags = TplOverdraft;
    source.SetPermQuota(5242880);
    source.TurnAttributeOn(AttrExcludeFromAbsolute);
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
    EXPECT_TRUE(saved.IsAttributeSet(AttrAbsolute));
    EXPECT_FALSE(saved.IsAttributeSet(AttrExcludeFromAbsolute)); // never on an object's own quota
    EXPECT_FALSE(saved.IsAttributeSet(AttrRenamed));
}
