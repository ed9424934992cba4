// "Static Text": background, text in the text rectangle, frame, focus. Derived controls reuse
// the steps (a picture beside the text, a picture instead of it).
#pragma once

#include "grid/grid_control.h"

class CGridStatic : public CGridControl {
public:
    using CGridControl::CGridControl;

    void Draw(const CGridCellPaint& cell) override;

    // Fills the cell with its interior colour (the highlight colour on a selected row).
    virtual void DrawBackground(const CGridCellPaint& cell);
    // The cell inside its frame.
    virtual RECT GetInnerRect(const CGridCellPaint& cell) const;
    // Where the text goes: the inner rectangle less a small margin.
    virtual RECT GetTextRect(const CGridCellPaint& cell) const;
    virtual void DrawCellText(const CGridCellPaint& cell, const RECT& textRect);
    // The style's three-dimensional frame, then the focus mark of the current cell.
    virtual void DrawFrame(const CGridCellPaint& cell);
    virtual void DrawFocus(const CGridCellPaint& cell);

    // The text colour to use: the style's, or the highlight text colour on a selected row.
    static COLORREF TextColorOf(const CGridCellPaint& cell);
    static COLORREF BackgroundOf(const CGridCellPaint& cell);
};
