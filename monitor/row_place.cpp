#include "monitor/row_place.h"

#include "monitor/ax_mon_view.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

namespace monitor {

namespace {

void AppendIdentity(const MonitorEntry& entry, std::string& identity) {
    identity.assign(entry.serverName);
    identity += '\0';
    identity += entry.record.GetMappedName(1);
    identity += '\0';
    identity += entry.record.GetFileOwner();
}

// For each row before (index row - 1), the row that shows its quota now, or 0.
std::vector<int> RowsNow(const std::vector<std::string>& before, const CAXMonView& view) {
    std::unordered_map<std::string_view, int> rowBefore;
    rowBefore.reserve(before.size());
    for (size_t index = 0; index < before.size(); ++index)
        rowBefore.emplace(before[index], static_cast<int>(index) + 1);
    std::vector<int> now(before.size(), 0);
    std::string identity;
    for (int row = 1; row <= view.GetRowCount(); ++row) {
        const MonitorEntry* entry = view.EntryOfRow(row);
        if (!entry)
            continue;
        AppendIdentity(*entry, identity);
        const auto found = rowBefore.find(identity);
        if (found != rowBefore.end())
            now[found->second - 1] = row;
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
    m_identities.assign(rowCount, std::string());
    for (int row = 1; row <= rowCount; ++row) {
        if (const MonitorEntry* entry = view.EntryOfRow(row))
            AppendIdentity(*entry, m_identities[row - 1]);
    }
    if (!view.GetCurrentCell(m_currentRow, m_currentCol))
        m_currentRow = m_currentCol = 0;
    m_anchorRow = view.GetAnchorRow();
    m_topRow = view.GetTopRow();
    m_selectedRows = view.GetSelectedRows();
}

void RowPlace::Restore(CAXMonView& view) const {
    const int rowCount = view.GetRowCount();
    const std::vector<int> now = RowsNow(m_identities, view);
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
