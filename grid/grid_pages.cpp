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
                                        int bodyWidth, int keyCol) {
    CGridPageBreakdown pages;
    const int rowsPerPage = std::max(1, bodyHeight / std::max(1, rowHeight));
    for (int first = 1; first <= rowCount; first += rowsPerPage)
        pages.rowBands.emplace_back(first, std::min(rowCount, first + rowsPerPage - 1));
    if (pages.rowBands.empty())
        pages.rowBands.emplace_back(1, 0);

    const auto key = std::find_if(columns.begin(), columns.end(),
                                  [keyCol](const CGridColumnExtent& c) { return c.col == keyCol; });
    std::vector<int> band;
    int used = 0;
    bool keyPrinted = false;
    for (const CGridColumnExtent& column : columns) {
        if (!band.empty() && used + column.width > bodyWidth) {
            pages.columnBands.push_back(std::move(band));
            band.clear();
            used = 0;
            if (keyPrinted) {
                band.push_back(key->col);
                used = key->width;
            }
        }
        band.push_back(column.col);
        used += column.width;
        keyPrinted = keyPrinted || column.col == keyCol;
    }
    pages.columnBands.push_back(std::move(band));
    return pages;
}
