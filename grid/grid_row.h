// One row of a grid's cells, packed: the values of all its cells one after the other in one
// string, each cell the end of its value there and the number of its look (grid_looks.h); item
// pointers apart, since a row carries hardly more than the one of its column 0.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class CGridRow {
public:
    explicit CGridRow(int cells = 0) { Resize(cells); }

    int CellCount() const { return static_cast<int>(m_cells.size()); }
    // Cells added are empty; cells removed drop their values and item pointers.
    void Resize(int cells);

    bool HasValue(int col) const { return m_cells[col].hasValue; }
    std::string_view GetValue(int col) const;
    void SetValue(int col, std::string_view value);
    void ClearValue(int col);

    uint32_t GetLook(int col) const { return m_cells[col].look; }
    void SetLook(int col, uint32_t look) { m_cells[col].look = look; }

    bool HasItem(int col) const;
    void* GetItem(int col) const; // null when unset
    void SetItem(int col, void* item);
    void ClearItem(int col);

private:
    struct Cell {
        uint32_t valueEnd = 0;
        uint32_t look : 31 = 0;
        uint32_t hasValue : 1 = 0;
    };
    uint32_t ValueStart(int col) const { return col == 0 ? 0 : m_cells[col - 1].valueEnd; }
    void ReplaceValue(int col, std::string_view value);

    std::string m_values;
    std::vector<Cell> m_cells;
    void* m_rowItem = nullptr; // column 0's, the one item pointer a row normally carries
    bool m_hasRowItem = false;
    std::vector<std::pair<int, void*>> m_otherItems; // of other columns, by column
};
