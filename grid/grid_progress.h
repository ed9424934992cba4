// A progress bar cell: the cell value between the lower and upper bound (user attributes
// GRID_IDS_UA_PROGRESS_LOWER/UPPER, default 0 and 100) fills that part of the cell with the
// cell's text colour; the caption (GRID_IDS_UA_PROGRESS_CAPTION, a printf mask of a long,
// default "%ld %%") is centred over both parts.
#pragma once

#include "grid/grid_control.h"

#include <string>

struct CGridProgressValues {
    long value = 0;
    long lower = 0;
    long upper = 100;
    std::string caption;
    // The width of the filled part of a bar `width` pixels wide (0 to width).
    int FilledWidth(int width) const;
};

class CGridProgressCtrl : public CGridControl {
public:
    using CGridControl::CGridControl;

    void Draw(const CGridCellPaint& cell) override;
    std::string GetDisplayText(const CGridStyle& style) const override;

    static CGridProgressValues ReadValues(const CGridStyle& style);

    // The caption colour over the filled part (onFill) or over the rest, whose colour is
    // `background`: black on the bar, the complement of the background elsewhere.
    virtual COLORREF GetCaptionColor(const CGridCellPaint& cell, bool onFill,
                                     COLORREF background) const;
};
