#include "grid/grid_tips.h"

#include "grid/grid_view.h"

#include <commctrl.h>

#include <algorithm>

namespace {

constexpr UINT_PTR kToolId = 1;
constexpr int kMaxTipWidth = 400;

TOOLINFOA Tool(HWND grid) {
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = grid;
    tool.uId = kToolId;
    return tool;
}

} // namespace

CGridTips::~CGridTips() {
    if (m_tip && IsWindow(m_tip))
        DestroyWindow(m_tip);
}

bool CGridTips::Create(HWND grid) {
    m_tip = CreateWindowExA(
        WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, grid, nullptr,
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(grid, GWLP_HINSTANCE)), nullptr);
    if (!m_tip)
        return false;
    TOOLINFOA tool = Tool(grid);
    tool.lpszText = m_text.data();
    SendMessageA(m_tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageA(m_tip, TTM_SETMAXTIPWIDTH, 0, kMaxTipWidth);
    return true;
}

void CGridTips::Follow(HWND grid, POINT point, int row, int col, const RECT& cell,
                       const std::function<std::string()>& text) {
    if (!m_tip && !Create(grid))
        return;
    if (row != m_row || col != m_col) {
        m_row = row;
        m_col = col;
        SendMessageA(m_tip, TTM_POP, 0, 0);
        m_text = row >= 0 ? text() : std::string();
        TOOLINFOA tool = Tool(grid);
        tool.rect = cell;
        tool.lpszText = m_text.data();
        SendMessageA(m_tip, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&tool));
        SendMessageA(m_tip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    MSG move{
        grid, WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y), static_cast<DWORD>(GetMessageTime()),
        point};
    SendMessageA(m_tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&move));
}

std::string CGridView::GetCellTip(int, int) {
    return {};
}

RECT CGridView::CellRect(int row, int col) const {
    RECT rect{};
    const int rowHeight = GetRowHeight();
    rect.top = row == 0 ? 0 : HeadingHeight() + (row - m_topRow) * rowHeight;
    rect.bottom = rect.top + rowHeight;
    for (const ColumnSpan& span : VisibleColumns(ClientRect().right)) {
        if (span.col == col) {
            rect.left = span.col == 0 ? span.left : std::max(span.left, FrozenWidth());
            rect.right = span.right;
        }
    }
    return rect;
}

void CGridView::FollowTip(POINT point) {
    int row = -1;
    int col = -1;
    if (!HitTest(point, row, col))
        row = col = -1;
    const RECT cell = row >= 0 ? CellRect(row, col) : RECT{};
    m_tips.Follow(m_hwnd, point, row, col, cell, [&] { return GetCellTip(row, col); });
}

HWND CGridView::GetTipWindow() const {
    return m_tips.Window();
}
