#include "monitor/row_place.h"

#include "monitor/ax_mon_view.h"

#include <algorithm>
#include <functional>
#include <string_view>
#include <utility>

namespace monitor {

namespace {

void AppendIdentity(const MonitorEntry& entry, std::string& identity) {
    identity.assign(entry.serverName);
    identity += '\0';
    identity += entry.record.GetMappedName(1);
    identity += '\0';
    identity += entry.record.GetFileOwner();
}

// True, with every row in `now`, when each row shows the quota it showed before: the same entry
// (a refresh keeps the entries of unchanged records) or one of the same identity.
bool RowsStayed(const std::vector<const MonitorEntry*>& entries,
                const std::function<std::string_view(size_t)>& identityBefore,
                const CAXMonView& view, std::vector<int>& now) {
    if (static_cast<size_t>(view.GetRowCount()) != entries.size())
        return false;
    std::string identity;
    for (size_t index = 0; index < entries.size(); ++index) {
        const int row = static_cast<int>(index) + 1;
        const MonitorEntry* entry = view.EntryOfRow(row);
        if (!entry)
            return false;
        if (entry != entries[index]) {
            AppendIdentity(*entry, identity);
            if (identity != identityBefore(index))
                return false;
        }
        now[index] = row;
    }
    return true;
}

// For each row before (index row - 1), the row that shows its quota now, or 0. Unless every row
// stayed, the identities before are looked up by their hash in one sorted array.
std::vector<int> RowsNow(const std::string& identities, const std::vector<size_t>& starts,
                         const std::vector<const MonitorEntry*>& entries, const CAXMonView& view) {
    const size_t count = starts.empty() ? 0 : starts.size() - 1;
    const std::function<std::string_view(size_t)> identityBefore = [&](size_t index) {
        return std::string_view(identities)
            .substr(starts[index], starts[index + 1] - starts[index]);
    };
    std::vector<int> now(count, 0);
    if (RowsStayed(entries, identityBefore, view, now))
        return now;
    const std::hash<std::string_view> hash;
    std::vector<std::pair<size_t, size_t>> byHash(count); // hash, index before
    for (size_t index = 0; index < count; ++index)
        byHash[index] = {hash(identityBefore(index)), index};
    std::sort(byHash.begin(), byHash.end());

    std::fill(now.begin(), now.end(), 0);
    std::string identity;
    for (int row = 1; row <= view.GetRowCount(); ++row) {
        const MonitorEntry* entry = view.EntryOfRow(row);
        if (!entry)
            continue;
        AppendIdentity(*entry, identity);
        const size_t key = hash(identity);
        auto match = std::lower_bound(byHash.begin(), byHash.end(), std::make_pair(key, size_t{0}));
        for (; match != byHash.end() && match->first == key; ++match) {
            if (identityBefore(match->second) == identity)
                now[match->second] = row;
        }
    }
    return now;
}

// Where row `before` is now, else the nearest row before it that remains (looking after it
// first), else the same row number within the rows there are; 0 when there is no row.
int NearestRowNow(const std::vector<int>& now, int before, int rowCount) {
    if (before < 1 || rowCount < 1)
        return 0;
    const int count = static_cast<int>(now.size());
    for (int distance = 0; distance < count; ++distance) {
        if (before + distance <= count && now[before + distance - 1])
            return now[before + distance - 1];
        if (distance > 0 && before - distance >= 1 && now[before - distance - 1])
            return now[before - distance - 1];
    }
    return std::min(before, rowCount);
}

} // namespace

std::string QuotaIdentity(const MonitorEntry& entry) {
    std::string identity;
    AppendIdentity(entry, identity);
    return identity;
}

void RowPlace::Capture(const CAXMonView& view) {
    const int rowCount = view.GetRowCount();
    m_identities.clear();
    m_starts.assign(1, 0);
    m_starts.reserve(rowCount + 1);
    m_entries.clear();
    m_entries.reserve(rowCount);
    std::string identity;
    for (int row = 1; row <= rowCount; ++row) {
        m_entries.push_back(view.EntryOfRow(row));
        if (const MonitorEntry* entry = m_entries.back()) {
            AppendIdentity(*entry, identity);
            m_identities += identity;
        }
        m_starts.push_back(m_identities.size());
    }
    if (!view.GetCurrentCell(m_currentRow, m_currentCol))
        m_currentRow = m_currentCol = 0;
    m_anchorRow = view.GetAnchorRow();
    m_topRow = view.GetTopRow();
    m_selectedRows = view.GetSelectedRows();
}

void RowPlace::Restore(CAXMonView& view) const {
    const int rowCount = view.GetRowCount();
    const std::vector<int> now = RowsNow(m_identities, m_starts, m_entries, view);
    auto rowNow = [&](int before) {
        return before >= 1 && before <= static_cast<int>(now.size()) ? now[before - 1] : 0;
    };

    view.ClearSelection();
    for (int before : m_selectedRows) {
        if (const int row = rowNow(before))
            view.SelectRow(row, true);
    }
    view.SetAnchorRow(rowNow(m_anchorRow));
    const int current = NearestRowNow(now, m_currentRow, rowCount);
    if (current)
        view.SetCurrentCell(current, std::min(m_currentCol, view.GetColCount()));
    else
        view.ClearCurrentCell();
    // Setting the current cell scrolled it into view; the rows the user looked at win.
    if (const int top = NearestRowNow(now, m_topRow, rowCount))
        view.ScrollToRow(top);
}

} // namespace monitor
