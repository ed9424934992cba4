#include "monitor/entry_order.h"

#include "grid/grid_collation.h"
#include "monitor/cell_rules.h"

#include <algorithm>
#include <vector>

namespace monitor {

namespace {

uint64_t TextHash(const std::string& text) {
    uint64_t hash = 14695981039346656037ull; // FNV-1a
    for (unsigned char c : text)
        hash = (hash ^ c) * 1099511628211ull;
    return hash;
}

} // namespace

void SortEntries(MonitorList& list, const EntryOrder& order, SortMemory* memory) {
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
    std::vector<int> positions;
    if (memory) {
        std::vector<uint64_t> hashes(keys.size());
        std::transform(keys.begin(), keys.end(), hashes.begin(), TextHash);
        if (memory->columnType == order.columnType && memory->ascending == order.ascending &&
            memory->textHashes == hashes)
            positions = memory->positions;
        memory->textHashes = std::move(hashes);
    }
    if (positions.empty())
        positions = grid_collation::StableOrder(keys, order.ascending);
    keys = {};
    if (memory) {
        memory->columnType = order.columnType;
        memory->ascending = order.ascending;
        memory->positions = positions;
    }
    MonitorList sorted;
    sorted.reserve(list.size());
    for (int position : positions)
        sorted.push_back(std::move(list[position]));
    list = std::move(sorted);
}

} // namespace monitor
