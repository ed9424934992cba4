#include "grid/grid_row.h"

#include <algorithm>

namespace {

constexpr size_t kReservedPerCell = 16; // characters, when a row's values first need the heap

} // namespace

void CGridRow::Resize(int cells) {
    if (cells < CellCount()) {
        m_values.resize(cells == 0 ? 0 : m_cells[cells - 1].valueEnd);
        std::erase_if(m_otherItems, [cells](const auto& item) { return item.first >= cells; });
        if (cells == 0)
            ClearItem(0);
    }
    m_cells.resize(cells, Cell{static_cast<uint32_t>(m_values.size())});
}

std::string_view CGridRow::GetValue(int col) const {
    const uint32_t start = ValueStart(col);
    return std::string_view(m_values).substr(start, m_cells[col].valueEnd - start);
}

void CGridRow::ReplaceValue(int col, std::string_view value) {
    const uint32_t start = ValueStart(col);
    const uint32_t oldLength = m_cells[col].valueEnd - start;
    // Rows are filled cell by cell. Growing the string a step at a time took several heap blocks
    // per row, and the holes they left made filling 10,000 rows take twice as long.
    const size_t needed = m_values.size() - oldLength + value.size();
    if (needed > m_values.capacity())
        m_values.reserve(std::max(needed, kReservedPerCell * m_cells.size()));
    m_values.replace(start, oldLength, value);
    const auto shift = static_cast<uint32_t>(value.size()) - oldLength; // modulo 2^32
    for (size_t later = col; later < m_cells.size(); ++later)
        m_cells[later].valueEnd += shift;
}

void CGridRow::SetValue(int col, std::string_view value) {
    ReplaceValue(col, value);
    m_cells[col].hasValue = 1;
}

void CGridRow::ClearValue(int col) {
    ReplaceValue(col, {});
    m_cells[col].hasValue = 0;
}

bool CGridRow::HasItem(int col) const {
    if (col == 0)
        return m_hasRowItem;
    return std::any_of(m_otherItems.begin(), m_otherItems.end(),
                       [col](const auto& item) { return item.first == col; });
}

void* CGridRow::GetItem(int col) const {
    if (col == 0)
        return m_rowItem;
    for (const auto& [itemCol, item] : m_otherItems)
        if (itemCol == col)
            return item;
    return nullptr;
}

void CGridRow::SetItem(int col, void* item) {
    if (col == 0) {
        m_rowItem = item;
        m_hasRowItem = true;
        return;
    }
    for (auto& [itemCol, existing] : m_otherItems)
        if (itemCol == col) {
            existing = item;
            return;
        }
    m_otherItems.emplace_back(col, item);
}

void CGridRow::ClearItem(int col) {
    if (col == 0) {
        m_rowItem = nullptr;
        m_hasRowItem = false;
        return;
    }
    std::erase_if(m_otherItems, [col](const auto& item) { return item.first == col; });
}
