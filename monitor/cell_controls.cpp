#include "monitor/cell_controls.h"

#include "grid/grid_view.h"
#include "res/resource.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kPictureSize = 16;
constexpr int kBitmapLeftMargin = 3;
constexpr int kBitmapTextGap = 5;

int Width(const RECT& rect) {
    return rect.right - rect.left;
}
int Height(const RECT& rect) {
    return rect.bottom - rect.top;
}

} // namespace

void CGridIconControl::Draw(const CGridCellPaint& cell) {
    DrawBackground(cell);
    if (Width(cell.rect) < 2 || Height(cell.rect) < 2)
        return;
    const int iconId = IconIdOf(cell.style.GetValue());
    // Icons loaded by LoadIcon are shared resources of the module and are never destroyed.
    HICON icon = iconId ? LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(iconId)) : nullptr;
    if (icon) {
        const RECT inner = GetInnerRect(cell);
        const int size = cell.Scale(kPictureSize);
        DrawIconEx(cell.dc, inner.left + std::max((Width(inner) - size) / 2, 0),
                   inner.top + std::max((Height(inner) - size) / 2, 0), icon, size, size, 0,
                   nullptr, DI_NORMAL);
    }
    DrawFrame(cell);
}

std::string CGridIconControl::GetDisplayText(const CGridStyle& style) const {
    const std::string value = style.GetValue();
    const char* word = monitor::StatusWord(IconIdOf(value));
    return *word ? word : value;
}

int CGridIconControl::IconIdOf(const std::string& value) {
    if (value.compare(0, 4, "#ICO") != 0 || value.size() < 6)
        return 0;
    const size_t close = value.find(')', 5);
    return atoi(
        value.substr(5, close == std::string::npos ? std::string::npos : close - 5).c_str());
}

std::string CGridIconControl::IconValue(int iconId) {
    return "#ICO(" + std::to_string(iconId) + ")";
}

CBitmapStatic::CBitmapStatic(CGridView& grid, int bitmapId)
    : CGridStatic(grid),
      m_bitmap(LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(bitmapId))) {}

RECT CBitmapStatic::GetTextRect(const CGridCellPaint& cell) const {
    RECT text = CGridStatic::GetTextRect(cell);
    text.left += cell.Scale(m_bitmapWidth + kBitmapTextGap);
    return text;
}

void CBitmapStatic::Draw(const CGridCellPaint& cell) {
    DrawBackground(cell);
    DrawCellText(cell, GetTextRect(cell));
    if (m_bitmap) {
        base::UniqueDc memory(CreateCompatibleDC(cell.dc));
        if (memory) {
            base::SelectObjectScope selected(memory.Get(), m_bitmap.Get());
            BITMAP info{};
            GetObjectA(m_bitmap.Get(), sizeof info, &info);
            const int width = cell.Scale(m_bitmapWidth);
            const int height = cell.Scale(m_bitmapHeight);
            const int left = cell.rect.left + cell.Scale(kBitmapLeftMargin);
            const int top = cell.rect.top + std::max((Height(cell.rect) - height) / 2, 0);
            const int saved = SaveDC(cell.dc);
            IntersectClipRect(cell.dc, cell.rect.left, cell.rect.top, cell.rect.right,
                              cell.rect.bottom);
            SetStretchBltMode(cell.dc, COLORONCOLOR);
            StretchBlt(cell.dc, left, top, width, height, memory.Get(), 0, 0, info.bmWidth,
                       info.bmHeight, SRCCOPY);
            RestoreDC(cell.dc, saved);
        }
    }
    DrawFrame(cell);
}

COLORREF CMyProgressBar::GetCaptionColor(const CGridCellPaint& cell, bool onFill,
                                         COLORREF background) const {
    if (onFill)
        return RGB(0, 0, 0);
    // On the selection's colour the complement may be as dark as the selection itself; the
    // selection's own text colour always reads there.
    if (cell.selected)
        return GetSysColor(COLOR_HIGHLIGHTTEXT);
    return RGB(255 - GetRValue(background), 255 - GetGValue(background),
               255 - GetBValue(background));
}

namespace monitor {

namespace {

struct OwnerControl {
    OwnerPicture picture;
    int controlId;
    int bitmapId;
};

constexpr OwnerControl kOwnerControls[] = {
    {OwnerPicture::Rename, IDS_CONTROL_RENAME_BITMAP, IDB_OWNER_RENAMED},
    {OwnerPicture::Default, IDS_CONTROL_DEFAULT_BITMAP, IDB_OWNER_DEFAULT},
    {OwnerPicture::GlobalGroup, IDS_CONTROL_GLOBAL_GROUP_BITMAP, IDB_OWNER_GLOBAL_GROUP},
    {OwnerPicture::GlobalGroupX, IDS_CONTROL_GLOBAL_GROUP_NOT_ENFORCED_BITMAP,
     IDB_OWNER_GLOBAL_GROUP_NOT_ENFORCED},
    {OwnerPicture::Group, IDS_CONTROL_GROUP_BITMAP, IDB_OWNER_GROUP},
    {OwnerPicture::GroupX, IDS_CONTROL_GROUP_NOT_ENFORCED_BITMAP, IDB_OWNER_GROUP_NOT_ENFORCED},
    {OwnerPicture::User, IDS_CONTROL_USER_BITMAP, IDB_OWNER_USER},
    {OwnerPicture::UserX, IDS_CONTROL_USER_NOT_ENFORCED_BITMAP, IDB_OWNER_USER_NOT_ENFORCED},
};

} // namespace

int OwnerControlId(OwnerPicture picture) {
    for (const OwnerControl& control : kOwnerControls) {
        if (control.picture == picture)
            return control.controlId;
    }
    return IDS_CONTROL_STATIC_TEXT;
}

void RegisterMonitorControls(CGridView& grid) {
    grid.RegisterControl(IDS_CONTROL_ICON, std::make_unique<CGridIconControl>(grid));
    grid.RegisterControl(IDS_CONTROL_PROGRESS_BAR, std::make_unique<CMyProgressBar>(grid));
    for (const OwnerControl& control : kOwnerControls)
        grid.RegisterControl(control.controlId,
                             std::make_unique<CBitmapStatic>(grid, control.bitmapId));
}

} // namespace monitor
