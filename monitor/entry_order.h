// The order the view shows the entries of a list in, applied to the list itself on the refresh
// thread: the user-interface thread then only fills the rows, in that order, and sorts nothing.
#pragma once

#include "monitor/columns.h"
#include "monitor/monitor_entry.h"

#include <cstdint>
#include <string>

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

// Sorts `list` stably by the sort keys of the order's column, exactly as the view sorts its
// rows (CAXMonView::GetSortKey).
void SortEntries(MonitorList& list, const EntryOrder& order);

} // namespace monitor
