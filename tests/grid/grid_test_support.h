// A grid in a top-level host window, and helpers to click on its cells and paint it into a DIB.
#pragma once

#include "grid/grid_view.h"

#include <windows.h>

#include <string>
#include <vector>

namespace gridtest {

// A top-level window the grid lives in, destroyed with the fixture.
class HostWindow {
public:
    explicit HostWindow(int width = 600, int height = 400);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;
    HWND Get() const { return m_hwnd; }

private:
    HWND m_hwnd;
};

// Fills `rows` x `cols` cells with "r<row>c<col>", headings "H<col>", widths of 60 pixels and
// column 0 hidden.
void FillGrid(CGridView& grid, int rows, int cols);

// The centre of a cell of an unscrolled grid at its zoom.
POINT CellCenter(const CGridView& grid, int row, int col);

LPARAM PointParam(POINT point);
void Click(CGridView& grid, POINT point, UINT flags = 0);

// A 32-bit top-down DIB section selected into a memory DC.
class Canvas {
public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    HDC Dc() const { return m_dc; }
    COLORREF Pixel(int x, int y) const;

private:
    int m_width;
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_previous;
    const unsigned* m_bits = nullptr;
};

} // namespace gridtest
