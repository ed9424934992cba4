// The quota property sheet worked as a user works it: pages and sub-pages load the record, and
// OK, Cancel and "Template..." leave the record as they should.
#include "../server/registry_keys.h"
#include "client/axcli.h"
#include "quota/quota_prop_sheet.h"
#include "res/resource.h"
#include "ui_test_support.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

constexpr uint64_t kMB = 1048576;
constexpr uint64_t kGB = 1024 * kMB;
constexpr char kSheetCaption[] = "Allotrix - Properties for";

QuotaEditRecord ObjectRecord(uint64_t permQuota, uint32_t attributes = AttrAbsolute) {
    QuotaEditRecord record;
    record.SetObjectName("C:", "\\Data\\Sales");
    record.SetPermQuota(permQuota);
    record.SetAttributes(attributes);
    return record;
}

// The open sheet, worked from the helper thread of a DialogDriver.
class Sheet {
public:
    explicit Sheet(HWND sheet) : m_sheet(sheet) {}

    // Shows tab `index` and returns its page. (Choosing the current tab again would make the
    // page check its values as when leaving it.)
    HWND Page(int index) const {
        if (TabCtrl_GetCurSel(Tabs()) != index)
            SendMessageA(m_sheet, PSM_SETCURSEL, static_cast<WPARAM>(index), 0);
        return reinterpret_cast<HWND>(SendMessageA(m_sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    }
    HWND Tabs() const {
        return reinterpret_cast<HWND>(SendMessageA(m_sheet, PSM_GETTABCONTROL, 0, 0));
    }
    int PageCount() const { return TabCtrl_GetItemCount(Tabs()); }
    std::string TabText(int index) const {
        char text[64] = "";
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(Tabs(), TCM_GETITEMA, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&item));
        return text;
    }
    // The user picks item `index` of list `id`.
    static void Choose(HWND page, int id, int index) {
        SendDlgItemMessageA(page, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
    }
    static int Chosen(HWND page, int id) {
        return static_cast<int>(SendDlgItemMessageA(page, id, CB_GETCURSEL, 0, 0));
    }
    static void Type(HWND page, int id, const char* text) { SetDlgItemTextA(page, id, text); }
    static void Click(HWND page, int id) {
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
    }
    static void Check(HWND page, int id, bool checked) {
        CheckDlgButton(page, id, checked ? BST_CHECKED : BST_UNCHECKED);
        Click(page, id);
    }
    static bool Checked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }
    static bool Enabled(HWND page, int id) {
        return IsWindowEnabled(GetDlgItem(page, id)) != FALSE;
    }
    static bool Visible(HWND page, int id) {
        return IsWindowVisible(GetDlgItem(page, id)) != FALSE;
    }
    // Posted: a message box the OK may bring up must not block the helper.
    void Ok() const { PostMessageA(m_sheet, PSM_PRESSBUTTON, PSBTN_OK, 0); }
    void Cancel() const { PostMessageA(m_sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0); }
    // "Template...", then Apply in the chooser on its first template.
    void ApplyFirstTemplate() const {
        HWND button = GetDlgItem(m_sheet, 12321);
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(button) != FALSE; }));
        EXPECT_EQ("Template...", WindowTextOf(button));
        PostMessageA(button, BM_CLICK, 0, 0);
        HWND chooser = nullptr;
        WaitUntil([&] { return (chooser = FindWindowA(nullptr, "Select a Template")) != nullptr; });
        ASSERT_NE(nullptr, chooser);
        WaitUntil([&] { return IsWindowEnabled(GetDlgItem(chooser, IDOK)) != FALSE; });
        SendMessageA(chooser, WM_COMMAND, IDOK, 0);
        WaitUntil([&] { return !IsWindow(chooser); });
    }

private:
    HWND m_sheet;
};

// Shows the sheet on `record` and runs `steps` on it; the sheet's result.
int RunSheet(QuotaEditRecord& record, uint64_t capacity, const std::function<void(Sheet&)>& steps,
             int serverKind = kServerKindFull) {
    AXCli client;
    client.ServerKind = serverKind;
    DialogDriver driver(kSheetCaption, [&](HWND window) {
        Sheet sheet(window);
        steps(sheet);
    });
    const int result = quota::ShowQuotaProperties(record, client, capacity, "");
    EXPECT_TRUE(driver.Ran());
    return result;
}

} // namespace

TEST(QuotaSheet, CaptionNamesTheOwnerAndTheObject) {
    QuotaEditRecord record = ObjectRecord(kMB);
    EXPECT_EQ("Allotrix - Properties for Object (Absolute) on C:\\Data\\Sales",
              quota::QuotaSheetCaption(record));
    record.SetAttributes(0);
    record.SetFileOwner("DOMAIN\\ann");
    EXPECT_EQ("Allotrix - Properties for DOMAIN\\ann on C:\\Data\\Sales",
              quota::QuotaSheetCaption(record));
}

TEST(QuotaSheet, QuotaPageShowsEachSizeInTheLargestUnitThatDividesIt) {
    struct Case {
        uint64_t perm;
        uint32_t attributes;
        uint64_t capacity;
        const char* value;
        int unit;
    };
    const Case cases[] = {
        {1536, AttrAbsolute, 0, "1536", 0},
        {2048, AttrAbsolute, 0, "2", 1},
        {3 * kMB, AttrAbsolute, 0, "3", 2},
        {0, AttrAbsolute, 10 * kGB, "10240", 2},
        {0, AttrAbsolute, 0, "0", 2},
        {50, AttrAbsolute | AttrPercentOfDevice, 10 * kGB, "50", 4},
        {0, AttrAbsolute | AttrPercentOfCurrentUsed, 0, "10", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        QuotaEditRecord record = ObjectRecord(c.perm, c.attributes);
        MessageBoxWatch messages;
        record.SetOverDraft(1536 * 1024);
        std::string value, overdraft;
        int unit = -1, overdraftUnit = -1;
        EXPECT_EQ(0, RunSheet(record, c.capacity, [&](Sheet& sheet) {
                      HWND page = sheet.Page(0);
                      value = ControlText(page, IDC_PERM_QUOTA);
                      unit = Sheet::Chosen(page, IDC_PERM_QUOTA_UNIT);
                      overdraft = ControlText(page, IDC_OVERDRAFT);
                      overdraftUnit = Sheet::Chosen(page, IDC_OVERDRAFT_UNIT);
                      sheet.Cancel();
                  }));
        EXPECT_EQ(c.value, value);
        EXPECT_EQ(c.unit, unit);
        EXPECT_EQ("1536", overdraft);
        EXPECT_EQ(1, overdraftUnit);
        EXPECT_EQ(std::vector<std::string>{}, messages.Texts());
    }
}

TEST(QuotaSheet, OkStoresTheQuotaPageInBytesAndTheDevicesShareAsBytesWhenTheCapacityIsKnown) {
    struct Case {
        const char* value;
        int unit;
        uint64_t capacity;
        uint64_t stored;
        bool percentOfDevice;
    };
    const Case cases[] =
        {
            {"0.5", 1, 0, 512, false},           {"3", 2, 0, 3 * kMB, false},
            {"50", 4, 10 * kGB, 5 * kGB, false}, {"50", 4, 0, 50, true},
            {"0.3", 0, 0, 4096, false}, // refused with a message: the record keeps its quota
        };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        QuotaEditRecord record = ObjectRecord(4096, AttrAbsolute | AttrExcludeFromAbsolute);
        MessageBoxWatch messages;
        EXPECT_EQ(1, RunSheet(record, c.capacity, [&](Sheet& sheet) {
                      HWND page = sheet.Page(0);
                      EXPECT_FALSE(Sheet::Checked(page, IDC_EXCLUDE_FROM_ABSOLUTE));
                      EXPECT_FALSE(Sheet::Enabled(page, IDC_EXCLUDE_FROM_ABSOLUTE));
                      EXPECT_EQ(c.capacity != 0, Sheet::Visible(page, IDC_FILL_CAPACITY));
                      EXPECT_EQ(c.capacity == 0, Sheet::Visible(page, IDC_USE_DEVICE_CAPACITY));
                      Sheet::Type(page, IDC_PERM_QUOTA, c.value);
                      Sheet::Choose(page, IDC_PERM_QUOTA_UNIT, c.unit);
                      Sheet::Check(page, IDC_WRITE_THROUGH, true);
                      sheet.Ok();
                  }));
        EXPECT_EQ(c.stored, record.GetPermQuota());
        EXPECT_EQ(c.percentOfDevice, record.IsAttributeSet(AttrPercentOfDevice));
        EXPECT_FALSE(record.IsAttributeSet(AttrExcludeFromAbsolute));
        const bool refused = c.stored == 4096;
        EXPECT_EQ(!refused, record.IsAttributeSet(AttrWriteThrough));
        EXPECT_EQ(refused ? 1u : 0u, messages.Texts().size())
            << (messages.Texts().empty() ? "" : messages.Texts()[0]);
    }
}

TEST(QuotaSheet, LeavingTheQuotaPageWithAZeroQuotaIsRefused) {
    QuotaEditRecord record = ObjectRecord(4096);
    MessageBoxWatch messages;
    int shownAfter = -1;
    EXPECT_EQ(0, RunSheet(record, 0, [&](Sheet& sheet) {
                  HWND page = sheet.Page(0);
                  Sheet::Type(page, IDC_PERM_QUOTA, "0");
                  PostMessageA(GetParent(page), PSM_SETCURSEL, 1, 0);
                  WaitUntil([&] { return !messages.Texts().empty() && messages.Answered(); });
                  shownAfter = TabCtrl_GetCurSel(sheet.Tabs());
                  sheet.Cancel();
              }));
    EXPECT_EQ(0, shownAfter);
    ASSERT_EQ(1u, messages.Texts().size());
    EXPECT_EQ("Permanent Quota can not be set to 0.", messages.Texts()[0]);
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

    struct Shown {
        std::string value, message, server, adjustment, current, repeat;
        int level = -1, adjustmentUnit = -1, configurations = 0;
        bool below = false, above = true, levelEnabled = false;
    } shown;
    EXPECT_EQ(1, RunSheet(record, 0, [&](Sheet& sheet) {
                  HWND page = sheet.Page(2);
                  shown.configurations = static_cast<int>(
                      SendDlgItemMessageA(page, IDC_CONFIGURATION, CB_GETCOUNT, 0, 0));
                  shown.value = ControlText(page, IDC_THRESHOLD_VALUE);
                  shown.below = Sheet::Checked(page, IDC_TRIGGER_BELOW);
                  shown.above = Sheet::Checked(page, IDC_TRIGGER_ABOVE);
                  SendDlgItemMessageA(page, IDC_THRESHOLD_SPIN, UDM_SETPOS32, 0, 200);
                  Sheet::Check(page, IDC_TRIGGER_ABOVE, true);

                  Sheet::Choose(page, IDC_CONFIGURATION, 1);
                  shown.message = ControlText(page, IDC_MESSAGE);
                  shown.level = Sheet::Chosen(page, IDC_MESSAGE_LEVEL);
                  shown.server = ControlText(page, IDC_EVENT_LOG_SERVER);
                  shown.levelEnabled = Sheet::Enabled(page, IDC_MESSAGE_LEVEL);
                  SendDlgItemMessageA(page, IDC_MESSAGE, EM_SETSEL, 5, 5);
                  Sheet::Choose(page, IDC_MACRO, 0);
                  Sheet::Choose(page, IDC_MESSAGE_LEVEL, 2);
                  Sheet::Check(page, IDC_NOTIFY_USER, true);

                  Sheet::Choose(page, IDC_CONFIGURATION, 2);
                  shown.adjustment = ControlText(page, IDC_ADJUST_QUOTA);
                  shown.adjustmentUnit = Sheet::Chosen(page, IDC_ADJUST_UNIT);
                  shown.current = ControlText(page, IDC_CURRENT_REPEAT);
                  shown.repeat = ControlText(page, IDC_REPEAT);
                  Sheet::Type(page, IDC_ADJUST_QUOTA, "2.5");
                  Sheet::Choose(page, IDC_ADJUST_UNIT, 2);
                  Sheet::Click(page, IDC_CLEAR_REPEAT);
                  sheet.Ok();
              }));
    EXPECT_EQ(5, shown.configurations);
    EXPECT_EQ("150", shown.value);
    EXPECT_TRUE(shown.below);
    EXPECT_FALSE(shown.above);
    EXPECT_EQ("Hello world", shown.message);
    EXPECT_EQ(0, shown.level);
    EXPECT_EQ("SRV1", shown.server);
    EXPECT_TRUE(shown.levelEnabled);
    EXPECT_EQ("2560", shown.adjustment);
    EXPECT_EQ(1, shown.adjustmentUnit);
    EXPECT_EQ("3", shown.current);
    EXPECT_EQ("7", shown.repeat);

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

TEST(QuotaSheet, CancelLeavesTheRecordAsItWas) {
    QuotaEditRecord record = ObjectRecord(3 * kMB);
    record.Actions[0].SetMessage("kept");
    const QuotaEditRecord before = record;
    EXPECT_EQ(0, RunSheet(record, 0, [&](Sheet& sheet) {
                  Sheet::Type(sheet.Page(0), IDC_PERM_QUOTA, "7");
                  HWND threshold = sheet.Page(1);
                  Sheet::Choose(threshold, IDC_CONFIGURATION, 1);
                  Sheet::Type(threshold, IDC_MESSAGE, "changed");
                  Sheet::Choose(threshold, IDC_CONFIGURATION, 0);
                  sheet.Cancel();
              }));
    EXPECT_EQ(0, std::memcmp(&before, &record, sizeof record));
}

TEST(QuotaSheet, MonitoringServerShowsThreeThresholdsWithoutQuotaPageOrAdjustment) {
    QuotaEditRecord record = ObjectRecord(kMB);
    int pages = 0;
    bool adjustable = true;
    std::string firstTab;
    EXPECT_EQ(0, RunSheet(
                     record, 0,
                     [&](Sheet& sheet) {
                         pages = sheet.PageCount();
                         HWND page = sheet.Page(0);
                         firstTab = sheet.TabText(0);
                         Sheet::Choose(page, IDC_CONFIGURATION, 2);
                         adjustable = Sheet::Enabled(page, IDC_ADJUST_QUOTA);
                         sheet.Cancel();
                     },
                     kServerKindMonitorOnly));
    EXPECT_EQ(3, pages);
    EXPECT_EQ("Threshold1 (Highest) ", firstTab);
    EXPECT_FALSE(adjustable);
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
    std::string quotaShown, messageShown, valueShown;
    EXPECT_EQ(1, RunSheet(record, 0, [&](Sheet& sheet) {
                  HWND quotaPage = sheet.Page(0);
                  HWND threshold = sheet.Page(1);
                  Sheet::Choose(threshold, IDC_CONFIGURATION, 1);
                  sheet.ApplyFirstTemplate();
                  messageShown = ControlText(threshold, IDC_MESSAGE);
                  quotaShown = ControlText(quotaPage, IDC_PERM_QUOTA);
                  Sheet::Choose(threshold, IDC_CONFIGURATION, 0);
                  valueShown = ControlText(threshold, IDC_THRESHOLD_VALUE);
                  sheet.Ok();
              }));
    RemoveAllTemplates();
    EXPECT_EQ(std::vector<std::string>{}, messages.Texts());
    EXPECT_EQ("5", quotaShown);
    EXPECT_EQ("[OBJECT NAME] is full", messageShown);
    EXPECT_EQ("90", valueShown);
    EXPECT_EQ(5 * kMB, record.GetPermQuota());
    EXPECT_EQ(90, record.GetThreshPercent1());
    EXPECT_STREQ("[OBJECT NAME] is full", record.Actions[0].GetMessageA());
}
