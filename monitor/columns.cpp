#include "monitor/columns.h"

#include "client/axcli.h"

namespace monitor {

namespace {
constexpr ColumnInfo kColumns[kColumnTypeCount] = {
    {"Status", 6, true},          {"% Space Used", 20, true},   {"% Space Free", 20, true},
    {"Object Name", 20, true},    {"User", 15, false},          {"Space Used", 28, true},
    {"HighWater", 15, false},     {"PermQuota", 15, true},      {"Overdraft", 15, false},
    {"Write Through", 15, false}, {"Enforce Quota", 15, false}, {"Server", 20, true},
};
} // namespace

const ColumnInfo& GetColumnInfo(uint32_t type) {
    return kColumns[type - 1];
}

bool IsColumnShown(uint32_t type, int serverKind) {
    if (type < kColStatus || type > kColServer)
        return false;
    return serverKind != kServerKindMonitorOnly || kColumns[type - 1].onMonitorOnlyKind;
}

} // namespace monitor
