#include "resource_ids.h"
#include "loaded_text.h"

#include <gtest/gtest.h>

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
