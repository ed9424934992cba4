// An edit control.
#pragma once

#include "ui/window.h"

namespace ui {

class Edit : public Window {
public:
    using Window::Window;

    void LimitText(UINT characters) const { Send(EM_LIMITTEXT, characters); }
    void SetSelection(int start, int end) const {
        Send(EM_SETSEL, static_cast<WPARAM>(start), end);
    }
    void SelectAll() const { SetSelection(0, -1); }
    void ScrollCaret() const { Send(EM_SCROLLCARET); }
    void SetReadOnly(bool readOnly = true) const { Send(EM_SETREADONLY, readOnly); }
    bool IsModified() const { return Send(EM_GETMODIFY) != 0; }
};

} // namespace ui
