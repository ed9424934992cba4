// Small drawing helpers shared by the grid's windows and controls.
#pragma once

#include <windows.h>

#include <functional>

namespace grid_gdi {

void FillSolid(HDC dc, const RECT& rect, COLORREF color);

// Answers WM_PAINT: `paint` draws the whole client area into a memory bitmap that is then
// copied to the window in one step.
void PaintBuffered(HWND hwnd, const std::function<void(HDC dc, const RECT& client)>& paint);

} // namespace grid_gdi
