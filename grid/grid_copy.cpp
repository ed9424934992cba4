// Copying rows to the clipboard as tab-separated text.
#include "grid/grid_view.h"

#include <algorithm>
#include <cstring>

namespace {

// Tabs and line breaks inside a cell would break the table apart.
std::string OneLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
    return text;
}

} // namespace

std::string CGridView::GetCopyText() const {
    std::vector<int> columns;
    for (int col = GetColWidth(0) > 0 ? 0 : 1; col <= GetColCount(); ++col)
        columns.push_back(col);
    std::vector<int> rows = GetSelectedRows();
    if (rows.empty())
        for (int row = 1; row <= GetRowCount(); ++row)
            rows.push_back(row);
    rows.insert(rows.begin(), 0);

    std::string text;
    for (int row : rows) {
        for (size_t index = 0; index < columns.size(); ++index) {
            if (index > 0)
                text += '\t';
            text += OneLine(GetDisplayText(row, columns[index]));
        }
        text += "\r\n";
    }
    return text;
}

bool CGridView::Copy() {
    const std::string text = GetCopyText();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (!memory)
        return false;
    std::memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    if (!OpenClipboard(m_hwnd)) {
        GlobalFree(memory);
        return false;
    }
    EmptyClipboard();
    const bool placed = SetClipboardData(CF_TEXT, memory) != nullptr;
    CloseClipboard();
    if (!placed)
        GlobalFree(memory);
    return placed;
}
