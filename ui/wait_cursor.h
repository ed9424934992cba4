// Shows the hourglass for the lifetime of this object and puts the previous cursor back.
#pragma once

#include <windows.h>

namespace ui {

class WaitCursor {
public:
    WaitCursor()
        : m_previous(SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)))) {}
    ~WaitCursor() { SetCursor(m_previous); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR m_previous;
};

} // namespace ui
