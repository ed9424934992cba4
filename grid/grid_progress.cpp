#include "grid/grid_progress.h"

#include "grid/grid_ids.h"
#include "grid/grid_gdi.h"
#include "base/handles.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

long ParseLong(const std::string& text, long fallback) {
    if (text.empty())
        return fallback;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    return end == text.c_str() ? fallback : value;
}

void DrawCaptionPart(HDC dc, const std::string& caption, const RECT& cellRect, const RECT& clipRect,
                     COLORREF color) {
    if (clipRect.right <= clipRect.left)
        return;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, clipRect.left, clipRect.top, clipRect.right, clipRect.bottom);
    SetTextColor(dc, color);
    RECT rect = cellRect;
    DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &rect,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    RestoreDC(dc, saved);
}

} // namespace

int CGridProgressValues::FilledWidth(int width) const {
    if (upper <= lower || value <= lower)
        return 0;
    if (value >= upper)
        return width;
    return static_cast<int>(static_cast<long long>(width) * (value - lower) / (upper - lower));
}

CGridProgressValues CGridProgressCtrl::ReadValues(const CGridStyle& style) {
    CGridProgressValues values;
    values.value = ParseLong(style.GetValue(), 0);
    values.lower = ParseLong(style.GetUserAttribute(GRID_IDS_UA_PROGRESS_LOWER), 0);
    values.upper = ParseLong(style.GetUserAttribute(GRID_IDS_UA_PROGRESS_UPPER), 100);
    const std::string& mask = style.HasUserAttribute(GRID_IDS_UA_PROGRESS_CAPTION)
                                  ? style.GetUserAttribute(GRID_IDS_UA_PROGRESS_CAPTION)
                                  : std::string("%ld %%");
    char caption[128] = {};
    std::snprintf(caption, sizeof caption, mask.c_str(), values.value);
    values.caption = caption;
    return values;
}

std::string CGridProgressCtrl::GetDisplayText(const CGridStyle& style) const {
    return ReadValues(style).caption;
}

COLORREF CGridProgressCtrl::GetCaptionColor(const CGridCellPaint&, bool onFill,
                                            COLORREF background) const {
    if (onFill)
        return RGB(0, 0, 0);
    return RGB(255 - GetRValue(background), 255 - GetGValue(background),
               255 - GetBValue(background));
}

void CGridProgressCtrl::Draw(const CGridCellPaint& cell) {
    const CGridProgressValues values = ReadValues(cell.style);
    const COLORREF background =
        cell.selected ? GetSysColor(COLOR_HIGHLIGHT) : cell.style.GetInterior();
    RECT bar = cell.rect;
    if (cell.style.GetFrame() != GridFrame::None) {
        RECT frame = cell.rect;
        DrawEdge(cell.dc, &frame,
                 cell.style.GetFrame() == GridFrame::Raised ? EDGE_RAISED : EDGE_SUNKEN,
                 BF_RECT | BF_ADJUST);
        bar = frame;
    }
    RECT filled = bar;
    filled.right = bar.left + values.FilledWidth(std::max(0L, bar.right - bar.left));
    RECT rest = bar;
    rest.left = filled.right;
    grid_gdi::FillSolid(cell.dc, filled, cell.style.GetTextColor());
    grid_gdi::FillSolid(cell.dc, rest, background);
    DrawCaptionPart(cell.dc, values.caption, bar, filled, GetCaptionColor(cell, true, background));
    DrawCaptionPart(cell.dc, values.caption, bar, rest, GetCaptionColor(cell, false, background));
    if (cell.focus) {
        RECT focus = cell.rect;
        DrawFocusRect(cell.dc, &focus);
    }
}
