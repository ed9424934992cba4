// Stable sorting of the data rows by the keys of one column.
#include "grid/grid_view.h"

#include <algorithm>
#include <numeric>

std::string CGridView::GetSortKey(int row, int col, const CGridSortInfo&, const CGridStyle&) {
    return GetDisplayText(row, col);
}

int CGridView::CompareSortKeys(const std::string& a, const std::string& b, const CGridSortInfo&) {
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(),
                          static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size())) -
           CSTR_EQUAL;
}

void CGridView::SortRows(const CGridSortInfo& info) {
    const int rowCount = GetRowCount();
    if (rowCount < 2 || info.col < 0 || info.col > GetColCount())
        return;
    std::vector<std::string> keys(rowCount + 1);
    for (int row = 1; row <= rowCount; ++row)
        keys[row] = GetSortKey(row, info.col, info, ComposeStyle(row, info.col));
    std::vector<int> order(rowCount);
    std::iota(order.begin(), order.end(), 1);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const int compared = CompareSortKeys(keys[a], keys[b], info);
        return info.ascending ? compared < 0 : compared > 0;
    });

    std::vector<Row> sorted;
    sorted.reserve(m_rows.size());
    sorted.push_back(std::move(m_rows[0]));
    int newCurrent = 0;
    int newAnchor = 0;
    for (int position = 0; position < rowCount; ++position) {
        const int oldRow = order[position];
        if (oldRow == m_currentRow)
            newCurrent = position + 1;
        if (oldRow == m_anchorRow)
            newAnchor = position + 1;
        sorted.push_back(std::move(m_rows[oldRow]));
    }
    m_rows = std::move(sorted);
    m_currentRow = newCurrent;
    m_anchorRow = newAnchor;
    Invalidate();
}
