// How a printout of the grid is cut into pages: bands of rows down, bands of columns across.
// Page p shows row band p / ColumnBandCount() and column band p % ColumnBandCount(), so the
// pages that continue a row band to the right follow it directly.
#pragma once

#include <utility>
#include <vector>

struct CGridColumnExtent {
    int col;
    int width; // device pixels
};

struct CGridPageBreakdown {
    std::vector<std::pair<int, int>> rowBands; // first and last data row; {1, 0} for no rows
    std::vector<std::vector<int>> columnBands; // the columns of each band, left to right

    int ColumnBandCount() const { return static_cast<int>(columnBands.size()); }
    int PageCount() const { return static_cast<int>(rowBands.size() * columnBands.size()); }
    const std::pair<int, int>& RowsOfPage(int page) const;
    const std::vector<int>& ColumnsOfPage(int page) const;
};

// rowHeight and bodyHeight (the height left for data rows below the heading row) and the
// widths in device pixels. Every page holds at least one row and one column; a column wider
// than the body is printed alone, cut at the right margin. The key column `keyCol` (one of
// `columns`, or -1 for none) starts every column band after the one it stands in, so that a
// continuation page can be matched to its rows.
CGridPageBreakdown ComputePageBreakdown(int rowCount, int rowHeight, int bodyHeight,
                                        const std::vector<CGridColumnExtent>& columns,
                                        int bodyWidth, int keyCol = -1);
