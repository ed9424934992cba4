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
    // the dialog is owned by its top-level window. It opens where the user last left it, the
    // first time at the bottom right of `notify`.
    bool Show(HWND notify);
    HWND Dialog() const { return m_hwnd; }
    UINT MessageId() const { return m_message; }

    // Tab, Enter and Esc in the dialog.
    bool PreTranslateMessage(MSG& msg) override;

protected:
    void OnDestroy() override;

private:
    void Place(HWND notify);

    UINT m_message;
    POINT m_place{};
    bool m_placed = false;
    char m_what[256] = {};
    FINDREPLACEA m_request{};
};
