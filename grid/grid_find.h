// The grid's modeless Find dialog (the common find dialog), owned by one grid.
#pragma once

#include "ui/window_base.h"

#include <windows.h>

#include <string>

// Linked to the dialog's window while it is open, so that the message loop hands it its keys.
class CGridFind : public ui::WindowBase {
public:
    CGridFind();
    ~CGridFind() override;

    // Shows the dialog (or brings the open one forward); `notify` receives MessageId() and
    // the dialog is owned by its top-level window.
    bool Show(HWND notify);
    HWND Dialog() const { return m_hwnd; }
    UINT MessageId() const { return m_message; }

    // Tab, Enter and Esc in the dialog.
    bool PreTranslateMessage(MSG& msg) override;

private:
    UINT m_message;
    char m_what[256] = {};
    FINDREPLACEA m_request{};
};
