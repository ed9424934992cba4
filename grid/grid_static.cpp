#include "grid/grid_static.h"

#include "grid/grid_gdi.h"

namespace {

UINT AlignmentFlags(GridAlign align) {
    switch (align) {
    case GridAlign::Center:
        return DT_CENTER;
    case GridAlign::Right:
        return DT_RIGHT;
    case GridAlign::Left:
        break;
    }
    return DT_LEFT;
}

} // namespace

COLORREF CGridStatic::TextColorOf(const CGridCellPaint& cell) {
    return cell.selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : cell.style.GetTextColor();
}

COLORREF CGridStatic::BackgroundOf(const CGridCellPaint& cell) {
    return cell.selected ? GetSysColor(COLOR_HIGHLIGHT) : cell.style.GetInterior();
}

void CGridStatic::Draw(const CGridCellPaint& cell) {
    DrawBackground(cell);
    DrawCellText(cell, GetTextRect(cell));
    DrawFrame(cell);
}

void CGridStatic::DrawBackground(const CGridCellPaint& cell) {
    grid_gdi::FillSolid(cell.dc, cell.rect, BackgroundOf(cell));
}

RECT CGridStatic::GetInnerRect(const CGridCellPaint& cell) const {
    RECT inner = cell.rect;
    if (cell.style.GetFrame() != GridFrame::None)
        InflateRect(&inner, -cell.Scale(2), -cell.Scale(2));
    return inner;
}

RECT CGridStatic::GetTextRect(const CGridCellPaint& cell) const {
    RECT text = GetInnerRect(cell);
    InflateRect(&text, -cell.Scale(2), 0);
    return text;
}

void CGridStatic::DrawCellText(const CGridCellPaint& cell, const RECT& textRect) {
    const std::string text = GetDisplayText(cell.style);
    if (text.empty() || textRect.right <= textRect.left)
        return;
    SetTextColor(cell.dc, TextColorOf(cell));
    RECT rect = textRect;
    DrawTextA(cell.dc, text.c_str(), static_cast<int>(text.size()), &rect,
              AlignmentFlags(cell.style.GetHorzAlign()) | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX |
                  DT_END_ELLIPSIS);
}

void CGridStatic::DrawFrame(const CGridCellPaint& cell) {
    RECT rect = cell.rect;
    switch (cell.style.GetFrame()) {
    case GridFrame::Raised:
        DrawEdge(cell.dc, &rect, EDGE_RAISED, BF_RECT);
        break;
    case GridFrame::Sunken:
        DrawEdge(cell.dc, &rect, EDGE_SUNKEN, BF_RECT);
        break;
    case GridFrame::None:
        break;
    }
    DrawFocus(cell);
}

void CGridStatic::DrawFocus(const CGridCellPaint& cell) {
    if (!cell.focus)
        return;
    RECT rect = cell.rect;
    SetTextColor(cell.dc, RGB(0, 0, 0));
    SetBkColor(cell.dc, RGB(255, 255, 255));
    DrawFocusRect(cell.dc, &rect);
}
