// BeginPaint and EndPaint around a WM_PAINT handler.
#pragma once

#include <windows.h>

namespace ui {

class PaintDc {
public:
    explicit PaintDc(HWND window) : m_window(window), m_dc(BeginPaint(window, &m_paint)) {}
    ~PaintDc() { EndPaint(m_window, &m_paint); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;

    HDC Get() const { return m_dc; }
    // The part of the window to repaint.
    const RECT& Area() const { return m_paint.rcPaint; }
    bool EraseBackground() const { return m_paint.fErase != FALSE; }

private:
    HWND m_window;
    PAINTSTRUCT m_paint{};
    HDC m_dc;
};

} // namespace ui
