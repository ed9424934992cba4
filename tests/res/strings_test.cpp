#include "resource_ids.h"
#include "loaded_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

namespace {
using Texts = std::vector<std::pair<UINT, const char*>>;

void ExpectTexts(const Texts& texts) {
    for (const auto& [id, text] : texts)
        EXPECT_EQ(text, LoadedText(id)) << "string " << id;
}
} // namespace

TEST(Strings, MessagesKeepTheirExactSpacingAndLineBreaks) {
    ExpectTexts({
        {IDS_NOT_ENOUGH_MEMORY, "Not enough memory is available."},
        {IDS_SERVICE_NOT_RUNNING,
         "Unable to retrieve data from %s.\nThe  AXServer service is not running or the "
         "AXFilter\ndriver is not installed.  Please consult the\nSystem Administrator."},
        {IDS_UNABLE_TO_RETRIEVE, "%s\nUnable to retrieve data from server %s."},
        {IDS_OBJECT_ERROR, "Object: %s\n%s"},
        {IDS_CREATE_FOLDER_FAILED, "Error: Creating Folder %s\n%s"},
        {IDS_CURRENT_FOLDER, "The current folder is\n%s"},
        {IDS_SELECT_DIRECTORY, "Select a directory"},
        {IDS_TIMER_FAILED, "Unable to start the timer."},
        {IDS_DOMAIN_ROOT, "Domain"},
        {IDS_DELETE_OBJECT_QUOTA, "Delete default quota of object %s.  Are you sure?"},
        {IDS_DELETE_OWNER_QUOTA, "Delete quota of user %s, object %s.\nAre you sure?"},
        {IDS_MONITOR_TITLE, "Allotrix/Sentrel Monitor - All objects on computer %s"},
        {IDS_OBJECT_ABSOLUTE, "Object (Absolute)"},
        {IDS_ENABLED, "Enabled"},
        {IDS_DISABLED, "Disabled"},
        {IDS_NO_DIRECTORY_SELECTED, "No directory selected"},
        {IDS_AX_ONLY_SUFFIX, " (AX Only)"},
    });
}

TEST(Strings, ApplicationTitleDocumentStringAndProfileNames) {
    ExpectTexts({
        {IDS_APP_TITLE, "Kelvane"},
        {IDS_TRAY_TIP, "Kelvane"},
        {IDR_MAINFRAME, "Kelvane\n\nAXMgr\n\n\nAXMgr.Document\nAXMgr Document"},
        {IDS_IDLE_MESSAGE, "Ready"},
        {IDS_PROFILE_SECTION, "AXMonitor"},
        {IDS_PROFILE_FREQUENCY, "Frequency"},
        {IDS_PROFILE_COLUMNS_DISPLAYED, "ColsDisplayed"},
        {IDS_PROFILE_CAPACITY_WIDTH, "Capacity"},
        {IDS_PROFILE_SIZE_UNIT, "Bytes"},
        {ID_INDICATOR_CAPS, "CAP"},
        {ID_INDICATOR_NUM, "NUM"},
        {ID_INDICATOR_SCRL, "SCRL"},
    });
}

TEST(Strings, ColumnKeysAndHeadingsDifferOnlyForCapacity) {
    const UINT keys[] = {IDS_KEY_STATUS,
                         IDS_KEY_SPACE_USED_PERCENT,
                         IDS_KEY_SPACE_FREE_PERCENT,
                         IDS_KEY_OBJECT_NAME,
                         IDS_KEY_USER,
                         IDS_KEY_SPACE_USED,
                         IDS_KEY_HIGHWATER,
                         IDS_KEY_PERM_QUOTA,
                         IDS_KEY_OVERDRAFT,
                         IDS_KEY_WRITE_THROUGH,
                         IDS_KEY_ENFORCE_QUOTA,
                         IDS_KEY_SERVER};
    const UINT headings[] = {IDS_HEADING_STATUS,
                             IDS_HEADING_SPACE_USED_PERCENT,
                             IDS_HEADING_SPACE_FREE_PERCENT,
                             IDS_HEADING_OBJECT_NAME,
                             IDS_HEADING_USER,
                             IDS_HEADING_SPACE_USED,
                             IDS_HEADING_HIGHWATER,
                             IDS_HEADING_CAPACITY,
                             IDS_HEADING_OVERDRAFT,
                             IDS_HEADING_WRITE_THROUGH,
                             IDS_HEADING_ENFORCE_QUOTA,
                             IDS_HEADING_SERVER};
    const char* names[] = {"Status",    "% Space Used",  "% Space Free",  "Object Name",
                           "User",      "Space Used",    "HighWater",     "PermQuota",
                           "Overdraft", "Write Through", "Enforce Quota", "Server"};
    for (int code = 1; code <= 12; ++code) {
        EXPECT_EQ(names[code - 1], LoadedText(keys[code - 1])) << "key of column " << code;
        EXPECT_EQ(code == 8 ? "Capacity" : names[code - 1], LoadedText(headings[code - 1]))
            << "heading of column " << code;
    }
}

TEST(Strings, CellControlNames) {
    ExpectTexts({
        {IDS_CONTROL_ICON, "Icon Control"},
        {IDS_CONTROL_PROGRESS_BAR, "Progress Bar"},
        {IDS_CONTROL_RENAME_BITMAP, "Rename Bitmap"},
        {IDS_CONTROL_DEFAULT_BITMAP, "Default Bitmap"},
        {IDS_CONTROL_GLOBAL_GROUP_BITMAP, "GblGrp Bitmap"},
        {IDS_CONTROL_GLOBAL_GROUP_NOT_ENFORCED_BITMAP, "GblGrpX Bitmap"},
        {IDS_CONTROL_GROUP_BITMAP, "Group Bitmap"},
        {IDS_CONTROL_GROUP_NOT_ENFORCED_BITMAP, "GroupX Bitmap"},
        {IDS_CONTROL_USER_BITMAP, "User Bitmap"},
        {IDS_CONTROL_USER_NOT_ENFORCED_BITMAP, "UserX Bitmap"},
        {IDS_CONTROL_STATIC_TEXT, "Static Text"},
        {IDS_PROGRESS_LOWER_BOUND, "Progress: Lower Bound"},
        {IDS_PROGRESS_UPPER_BOUND, "Progress: Upper Bound"},
        {IDS_PROGRESS_CAPTION, "Progress: Caption"},
    });
}

TEST(Strings, StatusLinePromptsCarryTheirToolTips) {
    ExpectTexts({
        {ID_TRAY_EXIT, "Exit"},
        {ID_FILE_PROPERTIES, "Server Property"},
        {ID_VIEW_COLUMNS, "Add or remove columns displayed in the monitor window\nAdjust Columns"},
        {ID_TRAY_MONITOR, "Monitor Space Usage"},
        {ID_VIEW_ZOOM_IN, "Increase the zooming-factor\nZoom In"},
        {ID_VIEW_ZOOM_OUT, "Decrease the zooming-factor\nZoom Out"},
        {ID_VIEW_ZOOM_100, "Restore view to original metrics\n100%"},
        {ID_FILE_FREQUENCY, "The frequency for the monitor refresh\nFrequency"},
        {ID_VIEW_PAUSE, "Stop the refresh of the current monitor window\nPause"},
        {ID_VIEW_RELEASE, "Release the monitor to continue updates.\nRelease"},
    });
    // Every other command has a prompt and a tool tip.
    for (NamedId command : kCommandIds) {
        std::string text = LoadedText(command.id);
        size_t newline = text.find('\n');
        if (newline == std::string::npos) {
            EXPECT_TRUE(command.id == ID_TRAY_EXIT || command.id == ID_FILE_PROPERTIES ||
                        command.id == ID_TRAY_MONITOR)
                << command.name << ": " << text;
            continue;
        }
        EXPECT_GT(newline, 10u) << command.name;
        EXPECT_LT(newline + 1, text.size()) << command.name;
    }
}

TEST(Strings, EveryStringIdOfTheHeaderHasItsOwnText) {
    std::set<unsigned> seen;
    for (NamedId string : kStringIds) {
        EXPECT_NE("<missing>", LoadedText(string.id)) << string.name;
        EXPECT_TRUE(seen.insert(string.id).second) << string.name << " shares its number";
    }
    EXPECT_GT(seen.size(), 100u); // the list is read from the header, not empty
}

TEST(Strings, ThresholdPageLists) {
    std::string macros = LoadedText(IDS_MESSAGE_MACROS);
    EXPECT_EQ(0u, macros.find("[USER],[OWNER],[OBJECT NAME],"));
    EXPECT_EQ(26, std::count(macros.begin(), macros.end(), ','));
    EXPECT_EQ(",[SERVER NAME],", macros.substr(macros.size() - 15));
    std::string days = LoadedText(IDS_MONTH_DAYS);
    EXPECT_EQ(30, std::count(days.begin(), days.end(), ';'));
    EXPECT_EQ(0u, days.find("1st;2nd;3rd;4th;"));
    EXPECT_EQ(";21st;22nd;23rd;24th;", days.substr(days.find(";21st"), 21));
    EXPECT_EQ("Monday;Tuesday;Wednesday;Thursday;Friday;Saturday;Sunday",
              LoadedText(IDS_WEEK_DAYS));
    EXPECT_EQ("Immediatelly,Today,Tomorrow,Next,", LoadedText(IDS_SCHEDULE_CHOICES));
}

TEST(Strings, TemplateRegistryNamesAndWords) {
    ExpectTexts({
        {IDS_USER_FALLBACK, "<User Fallback>"},
        {IDS_DIRECTORY_FALLBACK, "<Directory Fallback>"},
        {IDS_TEMPLATES_KEY, "Software\\Ostrel\\Allotrix\\Templates"},
        {IDS_TEMPLATE_KEY_FORMAT, "Software\\Ostrel\\Allotrix\\Templates\\%s"},
        {IDS_FALLBACK_PARENT_KEY, "SYSTEM\\CurrentControlSet\\Services\\AxFilter\\Parameters"},
        {IDS_TEMPLATE_ASSOCIATION, "association"},
        {IDS_TEMPLATE_FLAGS, "TemplateFlags"},
        {IDS_TEMPLATE_QUOTA_KEY, "Quota"},
        {IDS_TEMPLATE_PERM_QUOTA, "PermQuota"},
        {IDS_TEMPLATE_OVERDRAFT, "Overdraft"},
        {IDS_TEMPLATE_WRITE_THROUGH, "Write Through"},
        {IDS_TEMPLATE_ENFORCE_QUOTA, "Enforce Quota"},
        {IDS_TEMPLATE_EXCLUDE, "Exclude"},
        {IDS_TEMPLATE_DISK_FULL, "DiskFull"},
        {IDS_TEMPLATE_RESET_HIGHWATER, "Reset Highwater"},
        {IDS_TEMPLATE_PERCENT_OF_CURRENT_USED, "PercentOfCurrentUsed"},
        {IDS_TEMPLATE_PERCENT_OF_DEVICE, "PercentOfDevice"},
        {IDS_TEMPLATE_USE_DEVICE_SIZE, "UseDeviceSize"},
        {IDS_TEMPLATE_THRESHOLD_KEY_FORMAT, "Threshold%d"},
        {IDS_TEMPLATE_THRESHOLD, "Threshold"},
        {IDS_TEMPLATE_ACTION_FLAGS, "TemplateActionFlags"},
        {IDS_TEMPLATE_THRESHOLD_ABOVE, "ThresholdAbove"},
        {IDS_TEMPLATE_THRESHOLD_BELOW, "ThresholdBelow"},
        {IDS_TEMPLATE_MESSAGE, "Message"},
        {IDS_TEMPLATE_SEND, "Send"},
        {IDS_TEMPLATE_SEND_TO_CONSOLE, "SendToConsole"},
        {IDS_TEMPLATE_ERROR, "Error"},
        {IDS_TEMPLATE_SERVER, "Server"},
        {IDS_TEMPLATE_PROFILE, "Profile"},
        {IDS_TEMPLATE_PASSWORD, "Password"},
        {IDS_TEMPLATE_USER, "User"},
        {IDS_TEMPLATE_CC, "CC"},
        {IDS_TEMPLATE_SUBJECT, "Subject"},
        {IDS_TEMPLATE_POLICY, "Policy"},
        {IDS_TEMPLATE_ADJUST_QUOTA, "AdjustQuota"},
        {IDS_TEMPLATE_AUTO_ADJUST_REPEAT, "AutoAdjustRepeat"},
        {IDS_TEMPLATE_AGED, "Aged"},
        {IDS_TEMPLATE_DIR_USAGE, "DirUsage"},
        {IDS_TEMPLATE_DUPLICATES, "Duplicates"},
        {IDS_TEMPLATE_LARGE, "Large"},
        {IDS_TEMPLATE_LAST_ACCESS, "LastAccess"},
        {IDS_TEMPLATE_NEW, "New"},
        {IDS_TEMPLATE_USAGE_BY_OWNER, "UsageByOwner"},
        {IDS_TEMPLATE_SUMMARY, "Summary"},
        {IDS_TEMPLATE_OUTPUT_DIR, "OutputDir"},
        {IDS_TEMPLATE_FORMAT, "Format"},
        {IDS_TEMPLATE_MAIL_REPORT, "MailReport"},
        {IDS_TEMPLATE_REPORT_SET, "Report Set"},
        {IDS_TEMPLATE_SCHEDULE_JOB_TIME, "Schedule Job Time"},
        {IDS_TEMPLATE_SCHEDULE_DAYS_OF_MONTH, "Schedule Days Of Month"},
        {IDS_TEMPLATE_SCHEDULE_DAYS_OF_WEEK, "Schedule Days Of Week"},
        {IDS_TEMPLATE_SCHEDULE_FLAGS, "Schedule Flags"},
        {IDS_TEMPLATE_COMBO_BOX_INDEX, "ComboBoxIdx"},
        {IDS_WORD_YES, "Yes"},
        {IDS_WORD_INFORMATIONAL, "Informational"},
        {IDS_WORD_WARNING, "Warning"},
        {IDS_WORD_SEVERE, "Severe"},
        {IDS_WORD_COMMA, "Comma"},
        {IDS_WORD_HTML, "HTML"},
        {IDS_WORD_ASCII, "Ascii"},
    });
}

TEST(Strings, TemplateChooserTexts) {
    ExpectTexts({
        {IDS_CHOOSER_TEMPLATE_CAPTION, "Select a Template"},
        {IDS_CHOOSER_REPORT_SET_CAPTION, "Select a Report Set"},
        {IDS_CHOOSER_OK, "OK"},
        {IDS_CHOOSER_BROWSE_TITLE, "Select a computer"},
        {IDS_CHOOSER_WIDTH_SAMPLE, "ABCDEFGHIJKLMNOPQR"},
        {IDS_REPORT_SETS_KEY, "Software\\Ostrel\\Ravelin\\4.0\\RVReportSet"},
    });
}
