// Stable sorting of the data rows by the keys of one column.
#include "grid/grid_view.h"

#include "grid/grid_collation.h"

std::string CGridView::GetSortKey(int row, int col, const CGridSortInfo&, const CGridStyle&) {
    return GetDisplayText(row, col);
}

void CGridView::SortRows(const CGridSortInfo& info) {
    const int rowCount = GetRowCount();
    if (rowCount < 2 || info.col < 0 || info.col > GetColCount())
        return;
    std::vector<std::string> keys(rowCount);
    for (int row = 1; row <= rowCount; ++row)
        keys[row - 1] = GetSortKey(row, info.col, info, ComposeStyle(row, info.col));
    const std::vector<int> order = grid_collation::StableOrder(keys, info.ascending);

    std::vector<Row> sorted;
    sorted.reserve(m_rows.size());
    sorted.push_back(std::move(m_rows[0]));
    int newCurrent = 0;
    int newAnchor = 0;
    for (int position = 0; position < rowCount; ++position) {
        const int oldRow = order[position] + 1;
        if (oldRow == m_currentRow)
            newCurrent = position + 1;
        if (oldRow == m_anchorRow)
            newAnchor = position + 1;
        sorted.push_back(std::move(m_rows[oldRow]));
    }
    m_rows = std::move(sorted);
    m_currentRow = newCurrent;
    m_anchorRow = newAnchor;
    InvalidateCells();
}
