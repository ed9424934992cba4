#include "monitor/record_filter.h"

#include "client/axcli.h"
#include "monitor/server_list.h"

#include <gtest/gtest.h>

using monitor::IsListedRecord;

namespace {
AllotrixBaseDbRec Record(const char* device, const char* file, uint32_t attributes) {
    AllotrixBaseDbRec record;
    record.SetObjectName(device, file);
    record.SetAttributes(attributes);
    return record;
}
} // namespace

TEST(RecordFilter, UnlistedFlagsHideARecordOnEveryServerKind) {
    for (int kind : {kServerKindFull, kServerKindNoSettings, kServerKindMonitorOnly}) {
        EXPECT_FALSE(IsListedRecord(Record("C:", "\\", AttrAbsolute | AttrUnlisted40000), kind));
        EXPECT_FALSE(IsListedRecord(Record("C:", "\\", AttrAbsolute | AttrUnlisted80000), kind));
        EXPECT_TRUE(IsListedRecord(Record("C:", "\\", AttrAbsolute | AttrRenamed), kind));
    }
}

TEST(RecordFilter, MonitoringOnlyServersListDeviceRootObjectsOnly) {
    EXPECT_TRUE(IsListedRecord(Record("C:", "\\", AttrAbsolute), kServerKindMonitorOnly));
    EXPECT_FALSE(IsListedRecord(Record("C:", "\\", 0), kServerKindMonitorOnly));
    EXPECT_FALSE(IsListedRecord(Record("C:", "\\Data", AttrAbsolute), kServerKindMonitorOnly));
    EXPECT_TRUE(IsListedRecord(Record("C:", "\\Data", 0), kServerKindFull));
    EXPECT_TRUE(IsListedRecord(Record("C:", "\\Data", AttrGroupOwner), kServerKindNoSettings));
}

TEST(ServerList, SplitsAtEachSemicolon) {
    using monitor::SplitServerList;
    EXPECT_EQ(SplitServerList("ALPHA"), (std::vector<std::string>{"ALPHA"}));
    EXPECT_EQ(SplitServerList("ALPHA;BETA;"), (std::vector<std::string>{"ALPHA", "BETA"}));
    EXPECT_EQ(SplitServerList("A;;B"), (std::vector<std::string>{"A", "", "B"}));
}
