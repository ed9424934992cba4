// The monitor's own grid cell controls: the status icon, the owner picture beside a text, and
// the percentage bar.
#pragma once

#include "grid/grid_progress.h"
#include "grid/grid_static.h"
#include "monitor/cell_rules.h"
#include "base/handles.h"

class CGridView;

// Draws the icon resource named by a cell value of the form "#ICO(331)", 16 by 16 pixels,
// centred in the cell.
class CGridIconControl : public CGridStatic {
public:
    using CGridStatic::CGridStatic;
    void Draw(const CGridCellPaint& cell) override;
    // The state's word, so that copying and finding see words rather than icon codes.
    std::string GetDisplayText(const CGridStyle& style) const override;

    // The icon id of a value "#ICO(n)"; 0 when the value is not of that form.
    static int IconIdOf(const std::string& value);
    // The value that shows icon `iconId`.
    static std::string IconValue(int iconId);
};

// Static text with a 16 by 16 bitmap resource drawn at the cell's left edge.
class CBitmapStatic : public CGridStatic {
public:
    CBitmapStatic(CGridView& grid, int bitmapId);
    void Draw(const CGridCellPaint& cell) override;
    RECT GetTextRect(const CGridCellPaint& cell) const override;

private:
    base::UniqueBitmap m_bitmap;
    int m_bitmapWidth = 16;
    int m_bitmapHeight = 16;
};

// The grid's progress bar whose caption is black on the bar and the background's complement
// elsewhere (the selection's text colour in a selected row).
class CMyProgressBar : public CGridProgressCtrl {
public:
    using CGridProgressCtrl::CGridProgressCtrl;
    COLORREF GetCaptionColor(const CGridCellPaint& cell, bool onFill,
                             COLORREF background) const override;
};

namespace monitor {

// The control (a string resource id) that shows an owner picture.
int OwnerControlId(OwnerPicture picture);

// Registers the icon, progress bar and the eight owner-picture controls with `grid`.
void RegisterMonitorControls(CGridView& grid);

} // namespace monitor
