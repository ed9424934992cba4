// Find: the search through the cells and the dialog that drives it.
#include "grid/grid_find.h"

#include "grid/grid_dialogs.h"
#include "grid/grid_view.h"
#include "ui/message_box.h"

#include <commdlg.h>

#include <algorithm>

namespace {

std::string Upper(std::string text) {
    if (!text.empty())
        CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

bool IsWordCharacter(char c) {
    return IsCharAlphaNumericA(c) || c == '_';
}

bool ContainsMatch(const std::string& cell, const std::string& what,
                   const CGridFindOptions& options) {
    const std::string text = options.matchCase ? cell : Upper(cell);
    const std::string pattern = options.matchCase ? what : Upper(what);
    for (size_t at = text.find(pattern); at != std::string::npos; at = text.find(pattern, at + 1)) {
        if (!options.wholeWord)
            return true;
        const size_t end = at + pattern.size();
        const bool startsWord = at == 0 || !IsWordCharacter(text[at - 1]);
        const bool endsWord = end == text.size() || !IsWordCharacter(text[end]);
        if (startsWord && endsWord)
            return true;
    }
    return false;
}

} // namespace

CGridFind::CGridFind() : m_message(RegisterWindowMessageA(FINDMSGSTRINGA)) {}

CGridFind::~CGridFind() {
    if (IsWindow())
        Destroy();
}

bool CGridFind::Show(HWND notify) {
    if (IsWindow()) {
        SetActiveWindow(m_hwnd);
        return true;
    }
    m_request = FINDREPLACEA{};
    m_request.lStructSize = sizeof m_request;
    m_request.hwndOwner = notify;
    m_request.Flags = FR_DOWN;
    m_request.lpstrFindWhat = m_what;
    m_request.wFindWhatLen = sizeof m_what;
    if (!Subclass(grid_dialogs::ShowFindDialog(m_request)))
        return false;
    Place(notify);
    return true;
}

void CGridFind::Place(HWND notify) {
    if (!m_placed) {
        RECT grid{};
        RECT dialog{};
        GetWindowRect(notify, &grid);
        GetWindowRect(m_hwnd, &dialog);
        m_place = {std::max(grid.left, grid.right - (dialog.right - dialog.left) - 24),
                   std::max(grid.top, grid.bottom - (dialog.bottom - dialog.top) - 24)};
    }
    SetWindowPos(m_hwnd, nullptr, m_place.x, m_place.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CGridFind::OnDestroy() {
    RECT dialog{};
    if (GetWindowRect(m_hwnd, &dialog)) {
        m_place = {dialog.left, dialog.top};
        m_placed = true;
    }
}

bool CGridView::FindText(const std::string& what, const CGridFindOptions& options) {
    const int rows = GetRowCount();
    const int cols = GetColCount() + 1; // column 0 too: every column, shown or not
    if (what.empty() || rows == 0)
        return false;
    const int cells = rows * cols;
    int start =
        m_currentRow >= 1 ? (m_currentRow - 1) * cols + m_currentCol : (options.down ? -1 : cells);
    const int step = options.down ? 1 : -1;
    for (int index = start + step; index >= 0 && index < cells; index += step) {
        const int row = index / cols + 1;
        const int col = index % cols;
        if (ContainsMatch(GetDisplayText(row, col), what, options)) {
            SelectRange(row, row);
            m_anchorRow = row;
            SetCurrentCell(row, col);
            return true;
        }
    }
    return false;
}

bool CGridFind::PreTranslateMessage(MSG& msg) {
    return IsDialogMessageA(m_hwnd, &msg);
}

void CGridView::ShowFindDialog() {
    if (!m_find)
        m_find = std::make_unique<CGridFind>();
    m_find->Show(m_hwnd);
}

HWND CGridView::GetFindDialog() const {
    return m_find ? m_find->Dialog() : nullptr;
}

// Scrolls so that the current row lies above `window`, or below it when no row fits above.
void CGridView::KeepCurrentRowClearOf(HWND window) {
    RECT cover{};
    if (m_currentRow < 1 || !GetWindowRect(window, &cover))
        return;
    MapWindowPoints(nullptr, m_hwnd, reinterpret_cast<POINT*>(&cover), 2);
    const RECT client = ClientRect();
    const RECT row = CellRect(m_currentRow, m_currentCol);
    const bool covered = row.top < cover.bottom && cover.top < row.bottom &&
                         client.left < cover.right && cover.left < client.right;
    if (!covered)
        return;
    const int rowHeight = GetRowHeight();
    const int rowsAbove = (cover.top - HeadingHeight()) / rowHeight;
    if (rowsAbove >= 1)
        ScrollToRow(m_currentRow - rowsAbove + 1);
    else
        ScrollToRow(m_currentRow - (cover.bottom - HeadingHeight() + rowHeight - 1) / rowHeight);
}

void CGridView::OnFindMessage(LPARAM lParam) {
    const auto* request = reinterpret_cast<const FINDREPLACEA*>(lParam);
    if (!(request->Flags & FR_FINDNEXT))
        return;
    const CGridFindOptions options{(request->Flags & FR_DOWN) != 0,
                                   (request->Flags & FR_MATCHCASE) != 0,
                                   (request->Flags & FR_WHOLEWORD) != 0};
    if (FindText(request->lpstrFindWhat, options)) {
        KeepCurrentRowClearOf(m_find->Dialog());
        return;
    }
    ui::ShowMessage(m_find->Dialog(),
                    "Cannot find \"" + std::string(request->lpstrFindWhat) + "\".",
                    MB_OK | MB_ICONINFORMATION);
}
