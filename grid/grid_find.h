// The grid's modeless Find dialog (the common find dialog), owned by one grid.
#pragma once

#include <windows.h>

#include <string>

class CGridFind {
public:
    CGridFind();
    ~CGridFind();
    CGridFind(const CGridFind&) = delete;
    CGridFind& operator=(const CGridFind&) = delete;

    // Shows the dialog (or brings the open one forward); `notify` receives MessageId() and
    // the dialog is owned by its top-level window.
    bool Show(HWND notify);
    HWND Dialog() const { return m_dialog; }
    UINT MessageId() const { return m_message; }
    // The dialog tells `notify` it is closing.
    void OnClosed() { m_dialog = nullptr; }

private:
    UINT m_message;
    HWND m_dialog = nullptr;
    char m_what[256] = {};
    FINDREPLACEA m_request{};
};
