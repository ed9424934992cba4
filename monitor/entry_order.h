// The order the view shows the entries of a list in, applied to the list itself on the refresh
// thread: the user-interface thread then only fills the rows, in that order, and sorts nothing.
#pragma once

#include "monitor/columns.h"
#include "monitor/monitor_entry.h"

#include <cstdint>
#include <string>
#include <vector>

namespace monitor {

struct EntryOrder {
    uint32_t columnType = kColNone; // kColNone: the list stays in the order the server gave
    bool ascending = false;
    // The cell texts of the Write Through and Enforce columns, which sort by their text.
    std::string enabledText, disabledText;

    bool SameSort(uint32_t type, bool isAscending) const {
        return columnType == type && ascending == isAscending;
    }
};

// The sort texts of the last list sorted, as 64-bit hashes in the server's order, and the order
// they gave: between two refreshes the texts rarely change, and collating 100,000 of them takes
// most of a refresh cycle under Wine. Two texts of equal hash count as equal.
struct SortMemory {
    uint32_t columnType = kColNone;
    bool ascending = false;
    std::vector<uint64_t> textHashes;
    std::vector<int> positions;
};

// Sorts `list` stably by the sort keys of the order's column, exactly as the view sorts its
// rows (CAXMonView::GetSortKey). With `memory`, a list whose sort texts are those of the last
// list sorted takes that list's order.
void SortEntries(MonitorList& list, const EntryOrder& order, SortMemory* memory = nullptr);

} // namespace monitor
