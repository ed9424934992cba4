// The quota property sheet worked as a user works it: pages and sub-pages load the record, and
// OK, Cancel and "Template..." leave the record as they should.
#include "../server/registry_keys.h"
#include "res/resource.h"
#include "sheet_driver.h"

#include <cstring>
#include <string>

namespace {

constexpr uint64_t kMB = 1048576;
constexpr uint64_t kGB = 1024 * kMB;

// "Template...", then Apply in the chooser on its first template.
void ApplyFirstTemplate(HWND sheet) {
    HWND button = GetDlgItem(sheet, 12321);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(button) != FALSE; }));
    PostMessageA(button, BM_CLICK, 0, 0);
    HWND chooser = nullptr;
    WaitUntil([&] { return (chooser = FindWindowA(nullptr, "Select a Template")) != nullptr; });
    ASSERT_NE(nullptr, chooser);
    WaitUntil([&] { return IsWindowEnabled(GetDlgItem(chooser, IDOK)) != FALSE; });
    SendMessageA(chooser, WM_COMMAND, IDOK, 0);
    WaitUntil([&] { return !IsWindow(chooser); });
}

} // namespace

// The quota page shows each size in the largest unit that divides it; OK stores what the user
// types in bytes, a share of the device as bytes when its capacity is known, and clears the
// exclusion an object's own quota cannot have.
TEST(QuotaSheet, QuotaPageShowsSizesInTheirLargestUnitAndOkStoresBytes) {
    struct Case {
        uint64_t perm;
        uint32_t attributes;
        uint64_t capacity;
        const char *shown, *typed;
        int shownUnit, typedUnit;
        uint64_t stored; // 0: refused with a message, the record keeps its quota
    };
    const Case cases[] = {
        {1536, 0, 0, "1536", "0.5", 0, 1, 512},
        {2048, 0, 0, "2", "3", 1, 2, 3 * kMB},
        {3 * kMB, 0, 0, "3", "50", 2, 4, 50},
        {0, 0, 10 * kGB, "10240", "50", 2, 4, 5 * kGB},
        {0, 0, 0, "0", "1", 2, 1, 1024},
        {50, AttrPercentOfDevice, 10 * kGB, "50", "2", 4, 1, 2048},
        {0, AttrPercentOfCurrentUsed, 0, "10", "0.3", 3, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        QuotaEditRecord record =
            ObjectRecord(c.perm, AttrAbsolute | AttrExcludeFromAbsolute | c.attributes);
        record.SetOverDraft(1536 * 1024);
        MessageBoxWatch messages;
        EXPECT_EQ(1, user::Run(record, c.capacity, [&](HWND sheet) {
                      HWND page = user::Page(sheet, 0);
                      EXPECT_EQ(c.shown, ControlText(page, IDC_PERM_QUOTA));
                      EXPECT_EQ(c.shownUnit, user::Chosen(page, IDC_PERM_QUOTA_UNIT));
                      EXPECT_EQ("1536", ControlText(page, IDC_OVERDRAFT));
                      EXPECT_EQ(1, user::Chosen(page, IDC_OVERDRAFT_UNIT));
                      EXPECT_FALSE(user::Checked(page, IDC_EXCLUDE_FROM_ABSOLUTE));
                      EXPECT_FALSE(Enabled(page, IDC_EXCLUDE_FROM_ABSOLUTE));
                      EXPECT_EQ(c.capacity != 0,
                                IsWindowVisible(GetDlgItem(page, IDC_FILL_CAPACITY)) != FALSE);
                      EXPECT_EQ(c.capacity == 0, IsWindowVisible(GetDlgItem(
                                                     page, IDC_USE_DEVICE_CAPACITY)) != FALSE);
                      SetDlgItemTextA(page, IDC_PERM_QUOTA, c.typed);
                      user::Choose(page, IDC_PERM_QUOTA_UNIT, c.typedUnit);
                      user::Check(page, IDC_WRITE_THROUGH, true);
                      user::Press(sheet, PSBTN_OK);
                  }));
        const bool refused = c.stored == 0;
        EXPECT_EQ(refused ? c.perm : c.stored, record.GetPermQuota());
        EXPECT_EQ(c.typedUnit == 4 && c.capacity == 0, record.IsAttributeSet(AttrPercentOfDevice));
        EXPECT_FALSE(record.IsAttributeSet(AttrExcludeFromAbsolute));
        EXPECT_EQ(!refused, record.IsAttributeSet(AttrWriteThrough));
        EXPECT_EQ(refused ? 1u : 0u, messages.Texts().size());
    }
}

TEST(QuotaSheet, SubPagesLoadAndSaveTheirThresholdAndOkOrdersTheThresholds) {
    QuotaEditRecord record = ObjectRecord(kMB);
    record.SetThreshPercent1(100);
    record.SetThreshPercent2(150);
    record.TurnAttributeOn(AttrBelow2);
    AllotrixActionRec& action = record.Actions[1];
    action.SetMessage("Hello world");
    action.TurnPolicyFlagOn(PolInformational);
    action.TurnPolicyFlagOn(PolSendToConsole);
    action.SetServerName("SRV1");
    action.SetPolicyToExecute("cmd /c x");
    action.SetAdjustQuota(2621440);
    action.SetRepeat(7);
    action.SetCurrentRepeat(3);
    record.Actions[0].SetMessage("first");

    EXPECT_EQ(1, user::Run(record, 0, [&](HWND sheet) {
                  HWND page = user::Page(sheet, 2);
                  EXPECT_EQ(5, SendDlgItemMessageA(page, IDC_CONFIGURATION, CB_GETCOUNT, 0, 0));
                  EXPECT_EQ("150", ControlText(page, IDC_THRESHOLD_VALUE));
                  EXPECT_TRUE(user::Checked(page, IDC_TRIGGER_BELOW));
                  EXPECT_FALSE(user::Checked(page, IDC_TRIGGER_ABOVE));
                  SendDlgItemMessageA(page, IDC_THRESHOLD_SPIN, UDM_SETPOS32, 0, 200);
                  user::Check(page, IDC_TRIGGER_ABOVE, true);

                  user::Choose(page, IDC_CONFIGURATION, 1);
                  EXPECT_EQ("Hello world", ControlText(page, IDC_MESSAGE));
                  EXPECT_EQ(0, user::Chosen(page, IDC_MESSAGE_LEVEL));
                  EXPECT_EQ("SRV1", ControlText(page, IDC_EVENT_LOG_SERVER));
                  EXPECT_TRUE(Enabled(page, IDC_MESSAGE_LEVEL));
                  SendDlgItemMessageA(page, IDC_MESSAGE, EM_SETSEL, 5, 5);
                  user::Choose(page, IDC_MACRO, 0);
                  user::Choose(page, IDC_MESSAGE_LEVEL, 2);
                  user::Check(page, IDC_NOTIFY_USER, true);

                  user::Choose(page, IDC_CONFIGURATION, 2);
                  EXPECT_EQ("2560", ControlText(page, IDC_ADJUST_QUOTA));
                  EXPECT_EQ(1, user::Chosen(page, IDC_ADJUST_UNIT));
                  EXPECT_EQ("3", ControlText(page, IDC_CURRENT_REPEAT));
                  EXPECT_EQ("7", ControlText(page, IDC_REPEAT));
                  SetDlgItemTextA(page, IDC_ADJUST_QUOTA, "2.5");
                  user::Choose(page, IDC_ADJUST_UNIT, 2);
                  Click(page, IDC_CLEAR_REPEAT);
                  user::Press(sheet, PSBTN_OK);
              }));

    // Threshold 2, now the highest, comes first with its action; the other moves down.
    EXPECT_EQ(200, record.GetThreshPercent1());
    EXPECT_EQ(100, record.GetThreshPercent2());
    const AllotrixActionRec& saved = record.Actions[0];
    EXPECT_STREQ("first", record.Actions[1].GetMessageA());
    EXPECT_TRUE(saved.IsPolicyFlagSet(PolAbove));
    EXPECT_STREQ("Hello[USER] world", saved.GetMessageA());
    EXPECT_TRUE(saved.IsPolicyFlagSet(PolSevere));
    EXPECT_FALSE(saved.IsPolicyFlagSet(PolInformational));
    EXPECT_TRUE(saved.IsPolicyFlagSet(PolNotifyUser));
    EXPECT_STREQ("cmd /c x", saved.GetPolicyToExecute());
    EXPECT_EQ(2621440u, saved.GetAdjustQuota());
    EXPECT_EQ(7u, saved.GetRepeat());
    char current[260];
    EXPECT_STREQ("0", saved.GetCurrentRepeatW(current));
}

// Leaving the quota page with a zero quota is refused; a sub-page shown again has its texts back;
// Cancel leaves the record as it was.
TEST(QuotaSheet, AZeroQuotaKeepsTheQuotaPageAndCancelLeavesTheRecordAsItWas) {
    QuotaEditRecord record = ObjectRecord(3 * kMB);
    record.Actions[0].SetMessage("kept");
    const QuotaEditRecord before = record;
    MessageBoxWatch messages;
    EXPECT_EQ(0, user::Run(record, 0, [&](HWND sheet) {
                  SetDlgItemTextA(user::Page(sheet, 0), IDC_PERM_QUOTA, "0");
                  PostMessageA(sheet, PSM_SETCURSEL, 1, 0);
                  WaitUntil([&] { return messages.Answered(); });
                  EXPECT_EQ(0, TabCtrl_GetCurSel(user::Tabs(sheet)));
                  SetDlgItemTextA(user::Page(sheet, 0), IDC_PERM_QUOTA, "7");
                  HWND threshold = user::Page(sheet, 1);
                  user::Choose(threshold, IDC_CONFIGURATION, 1);
                  SetDlgItemTextA(threshold, IDC_MESSAGE, "changed");
                  user::Choose(threshold, IDC_CONFIGURATION, 0); // shown again, with its texts
                  EXPECT_EQ("Trigger Above Value", ControlText(threshold, IDC_TRIGGER_ABOVE));
                  user::Press(sheet, PSBTN_CANCEL);
              }));
    EXPECT_EQ(std::vector<std::string>{"Permanent Quota can not be set to 0."}, messages.Texts());
    EXPECT_EQ(0, std::memcmp(&before, &record, sizeof record));
}

TEST(QuotaSheet, TemplateFromTheChooserReloadsEveryPageShown) {
    RemoveAllTemplates();
    {
        TestKey key = OrdinaryTemplate("Departments");
        key.Sub("Quota").String("PermQuota", "5242880");
        key.Sub("Threshold1").Dword("Threshold", 90).String("Message", "[OBJECT NAME] is full");
    }
    QuotaEditRecord record = ObjectRecord(kMB);
    MessageBoxWatch messages;
    EXPECT_EQ(1, user::Run(record, 0, [&](HWND sheet) {
                  HWND quotaPage = user::Page(sheet, 0);
                  HWND threshold = user::Page(sheet, 1);
                  user::Choose(threshold, IDC_CONFIGURATION, 1);
                  ApplyFirstTemplate(sheet);
                  EXPECT_EQ("[OBJECT NAME] is full", ControlText(threshold, IDC_MESSAGE));
                  EXPECT_EQ("5", ControlText(quotaPage, IDC_PERM_QUOTA));
                  user::Choose(threshold, IDC_CONFIGURATION, 0);
                  EXPECT_EQ("90", ControlText(threshold, IDC_THRESHOLD_VALUE));
                  user::Press(sheet, PSBTN_OK);
              }));
    RemoveAllTemplates();
    EXPECT_EQ(std::vector<std::string>{}, messages.Texts());
    EXPECT_EQ(5 * kMB, record.GetPermQuota());
    EXPECT_EQ(90, record.GetThreshPercent1());
    EXPECT_STREQ("[OBJECT NAME] is full", record.Actions[0].GetMessageA());
}
