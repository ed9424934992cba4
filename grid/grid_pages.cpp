#include "grid/grid_pages.h"

#include <algorithm>

const std::pair<int, int>& CGridPageBreakdown::RowsOfPage(int page) const {
    return rowBands[page / ColumnBandCount()];
}

const std::vector<int>& CGridPageBreakdown::ColumnsOfPage(int page) const {
    return columnBands[page % ColumnBandCount()];
}

CGridPageBreakdown ComputePageBreakdown(int rowCount, int rowHeight, int bodyHeight,
                                        const std::vector<CGridColumnExtent>& columns,
                                        int bodyWidth) {
    CGridPageBreakdown pages;
    const int rowsPerPage = std::max(1, bodyHeight / std::max(1, rowHeight));
    for (int first = 1; first <= rowCount; first += rowsPerPage)
        pages.rowBands.emplace_back(first, std::min(rowCount, first + rowsPerPage - 1));
    if (pages.rowBands.empty())
        pages.rowBands.emplace_back(1, 0);

    std::vector<int> band;
    int used = 0;
    for (const CGridColumnExtent& column : columns) {
        if (!band.empty() && used + column.width > bodyWidth) {
            pages.columnBands.push_back(std::move(band));
            band.clear();
            used = 0;
        }
        band.push_back(column.col);
        used += column.width;
    }
    pages.columnBands.push_back(std::move(band));
    return pages;
}
