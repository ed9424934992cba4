#include "monitor/entry_order.h"

#include "grid/grid_collation.h"
#include "monitor/cell_rules.h"

#include <vector>

namespace monitor {

void SortEntries(MonitorList& list, const EntryOrder& order) {
    if (order.columnType == kColNone || order.columnType == kColStatus || list.size() < 2)
        return;
    std::vector<std::string> keys;
    keys.reserve(list.size());
    for (const auto& entry : list) {
        const AllotrixBaseDbRec& record = entry->record;
        const bool enabled = order.columnType == kColWriteThrough
                                 ? record.IsAttributeSet(AttrWriteThrough)
                                 : !record.IsAttributeSet(AttrNoEnforce);
        keys.push_back(GetSortKey(order.columnType, entry->serverName, record,
                                  enabled ? order.enabledText : order.disabledText));
    }
    const std::vector<int> positions = grid_collation::StableOrder(keys, order.ascending);
    keys = {};
    MonitorList sorted;
    sorted.reserve(list.size());
    for (int position : positions)
        sorted.push_back(std::move(list[position]));
    list = std::move(sorted);
}

} // namespace monitor
