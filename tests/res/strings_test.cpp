#include "resource_ids.h"
#include "loaded_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

TEST(Strings, EveryStringIdOfTheHeaderHasItsOwnText) {
    std::set<unsigned> seen;
    for (NamedId string : kStringIds) {
        EXPECT_NE("<missing>", LoadedText(string.id)) << string.name;
        EXPECT_TRUE(seen.insert(string.id).second) << string.name << " shares its number";
    }
    EXPECT_GT(seen.size(), 100u); // the list is read from the header, not empty
}

TEST(Strings, EveryCommandHasAStatusLinePromptAndAToolTip) {
    for (NamedId command : kCommandIds) {
        std::string text = LoadedText(command.id);
        size_t newline = text.find('\n');
        if (command.id == ID_TRAY_EXIT || command.id == ID_FILE_PROPERTIES ||
            command.id == ID_TRAY_MONITOR) {
            EXPECT_EQ(std::string::npos, newline) << command.name << ": a prompt only";
            continue;
        }
        ASSERT_NE(std::string::npos, newline) << command.name << ": " << text;
        EXPECT_GT(newline, 10u) << command.name;
        EXPECT_LT(newline + 1, text.size()) << command.name;
    }
}

// Messages no other test shows: their spacing, line breaks and inserts are the product's.
TEST(Strings, MessagesKeepTheirExactSpacingAndInserts) {
    const std::pair<UINT, const char*> texts[] = {
        {IDS_SERVICE_NOT_RUNNING,
         "Unable to retrieve data from %s.\nThe  AXServer service is not running or the "
         "AXFilter\ndriver is not installed.  Please consult the\nSystem Administrator."},
        {IDS_OBJECT_ERROR, "Object: %s\n%s"},
        {IDS_DELETE_OBJECT_QUOTA, "Delete default quota of object %s.  Are you sure?"},
        {IDS_DELETE_OWNER_QUOTA, "Delete quota of user %s, object %s.\nAre you sure?"},
    };
    for (const auto& [id, text] : texts)
        EXPECT_EQ(text, LoadedText(id)) << "string " << id;
}

TEST(Strings, ThresholdPageListsHoldOneEntryPerChoice) {
    auto count = [](const std::string& text, char separator) {
        return std::count(text.begin(), text.end(), separator);
    };
    std::string macros = LoadedText(IDS_MESSAGE_MACROS);
    EXPECT_EQ(0u, macros.find("[USER],[OWNER],[OBJECT NAME],"));
    EXPECT_EQ(26, count(macros, ','));
    std::string days = LoadedText(IDS_MONTH_DAYS);
    EXPECT_EQ(30, count(days, ';'));
    EXPECT_EQ(";21st;22nd;23rd;24th;", days.substr(days.find(";21st"), 21));
    EXPECT_EQ(6, count(LoadedText(IDS_WEEK_DAYS), ';'));
    EXPECT_EQ("Immediatelly,Today,Tomorrow,Next,", LoadedText(IDS_SCHEDULE_CHOICES));
}
