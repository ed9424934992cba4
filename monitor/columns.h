// The column types of the monitor grid: their codes, the names their layout is saved under,
// their default widths and whether a monitoring-only server has them.
#pragma once

#include <cstdint>

namespace monitor {

// The code of a column type; the number fixes the internal order.
enum ColumnType : uint32_t {
    kColNone = 0,
    kColStatus = 1,
    kColUsedPercent = 2,
    kColFreePercent = 3,
    kColObjectName = 4,
    kColUser = 5,
    kColSpaceUsed = 6,
    kColHighWater = 7,
    kColCapacity = 8,
    kColOverdraft = 9,
    kColWriteThrough = 10,
    kColEnforce = 11,
    kColServer = 12,
};

constexpr uint32_t kColumnTypeCount = 12;

struct ColumnInfo {
    const char* key;        // name in the saved column list and of the saved width
    uint32_t defaultWidth;  // in average character widths of the grid's standard font
    bool onMonitorOnlyKind; // shown on a server of kind 3
};

// The column type's description; `type` is 1 to 12.
const ColumnInfo& GetColumnInfo(uint32_t type);

// The string resource of the column type's heading ("Capacity" for PermQuota).
unsigned GetColumnHeadingId(uint32_t type);

// True when `type` is a valid code that the server kind shows.
bool IsColumnShown(uint32_t type, int serverKind);

} // namespace monitor
