#include "monitor/server_list.h"

#include <gtest/gtest.h>

TEST(ServerList, SplitsAtEachSemicolon) {
    using monitor::SplitServerList;
    EXPECT_EQ(SplitServerList("ALPHA"), (std::vector<std::string>{"ALPHA"}));
    EXPECT_EQ(SplitServerList("ALPHA;BETA;"), (std::vector<std::string>{"ALPHA", "BETA"}));
    EXPECT_EQ(SplitServerList("A;;B"), (std::vector<std::string>{"A", "", "B"}));
}
