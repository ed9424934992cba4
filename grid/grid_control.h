// Cell controls: the objects that draw cells. The grid owns every registered control and calls
// the control named by a cell's style (GRID_IDS_CTRL_STATIC when none or an unknown one is named).
#pragma once

#include "grid/grid_style.h"

#include <windows.h>

#include <string>

class CGridView;

// One cell about to be drawn. The DC has the grid's (zoomed or printer) font selected and
// transparent background mode; coordinates are those of the DC.
struct CGridCellPaint {
    HDC dc;
    RECT rect; // the cell without its grid lines
    int row;
    int col;
    const CGridStyle& style; // composed: cell, then column, then standard style
    bool selected;           // the row is highlighted (never while printing)
    bool focus;              // the cell is the grid's current cell (never while printing)
    int scale;               // device pixels per 1000 screen pixels at zoom 100

    // A size in screen pixels at zoom 100 (a margin, a 16-pixel picture) in device pixels.
    int Scale(int pixels) const { return MulDiv(pixels, scale, 1000); }
};

class CGridControl {
public:
    explicit CGridControl(CGridView& grid) : m_grid(grid) {}
    virtual ~CGridControl() = default;
    CGridControl(const CGridControl&) = delete;
    CGridControl& operator=(const CGridControl&) = delete;

    CGridView& Grid() const { return m_grid; }

    virtual void Draw(const CGridCellPaint& cell) = 0;
    // The cell's text as the user reads it (copied to the clipboard, searched by Find).
    virtual std::string GetDisplayText(const CGridStyle& style) const { return style.GetValue(); }

private:
    CGridView& m_grid;
};
