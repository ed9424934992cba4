// Dialogs from resource templates, modal or modeless, with data exchange.
#pragma once

#include "ui/data_exchange.h"
#include "ui/window_base.h"

namespace ui {

class Dialog : public WindowBase {
public:
    // The dialog of template `templateId`, owned by `parent` once it is shown.
    explicit Dialog(UINT templateId, HWND parent = nullptr, HINSTANCE instance = nullptr);
    ~Dialog() override; // destroys a modeless dialog that is still open

    // Runs the dialog modally; returns the value given to End (IDOK, IDCANCEL, ...) or -1 when
    // the dialog could not be created.
    INT_PTR DoModal();
    // Creates the dialog modeless; the application's message loop routes its keyboard input.
    bool CreateModeless();
    // Ends a modal dialog with result, or destroys a modeless one.
    void End(INT_PTR result);

    // Runs DoDataExchange: save = true reads the controls into the members. False when a
    // control's value was refused (the user was told and the control has the focus).
    bool UpdateData(bool save);

    // A modeless dialog's keyboard navigation (Tab, Enter, Esc).
    bool PreTranslateMessage(MSG& msg) override;

protected:
    // Before the dialog shows: loads the members into the controls. Return true to let the
    // system set the focus, false after setting it yourself.
    virtual bool OnInitDialog();
    // IDOK: saves the controls into the members and ends with IDOK when all values are valid.
    virtual void OnOK();
    // IDCANCEL (also Esc and the close button): ends with IDCANCEL.
    virtual void OnCancel();
    virtual void DoDataExchange(DataExchange& exchange);

    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    // The dialog procedure's work once the object for the window is known.
    static INT_PTR RunDialogProcedure(Dialog* dialog, HWND window, UINT message, WPARAM wParam,
                                      LPARAM lParam);

    UINT TemplateId() const { return m_templateId; }
    HINSTANCE Instance() const { return m_instance; }

private:
    static INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);

    UINT m_templateId;
    HWND m_parent;
    HINSTANCE m_instance;
    bool m_modal = false;
};

} // namespace ui
