#include "monitor/columns.h"

#include "client/axcli.h"
#include "res/resource.h"

namespace monitor {

namespace {
constexpr ColumnInfo kColumns[kColumnTypeCount] = {
    {"Status", 6, true},          {"% Space Used", 20, true},   {"% Space Free", 20, true},
    {"Object Name", 20, true},    {"User", 15, false},          {"Space Used", 28, true},
    {"HighWater", 15, false},     {"PermQuota", 15, true},      {"Overdraft", 15, false},
    {"Write Through", 15, false}, {"Enforce Quota", 15, false}, {"Server", 20, true},
};
constexpr unsigned kHeadingIds[kColumnTypeCount] = {
    IDS_HEADING_STATUS,
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
    IDS_HEADING_SERVER,
};
} // namespace

unsigned GetColumnHeadingId(uint32_t type) {
    return kHeadingIds[type - 1];
}

const ColumnInfo& GetColumnInfo(uint32_t type) {
    return kColumns[type - 1];
}

bool IsColumnShown(uint32_t type, int serverKind) {
    if (type < kColStatus || type > kColServer)
        return false;
    return serverKind != kServerKindMonitorOnly || kColumns[type - 1].onMonitorOnlyKind;
}

} // namespace monitor
