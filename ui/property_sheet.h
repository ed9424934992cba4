// Property sheets and their pages. A page's overridables answer the sheet's notifications one
// to one: OnSetActive (PSN_SETACTIVE), OnKillActive (PSN_KILLACTIVE), OnApply (PSN_APPLY, sent
// to every page that was ever shown when the user presses OK or Apply) and OnReset (PSN_RESET).
#pragma once

#include "ui/dialog.h"

#include <commctrl.h>
#include <prsht.h>

#include <string>
#include <vector>

namespace ui {

class PropertyPage : public Dialog {
public:
    // caption: the tab's text; empty keeps the template's caption.
    explicit PropertyPage(UINT templateId, const std::string& caption = {},
                          HINSTANCE instance = nullptr);

    // Enables the sheet's Apply button (modified) or clears this page's claim on it.
    void SetModified(bool modified = true);
    // The sheet this page is shown in.
    HWND Sheet() const { return Parent(); }

    // Describes the page to PropertySheetA; used by PropertySheet.
    PROPSHEETPAGEA Descriptor();

protected:
    // The page becomes the current one. Default: reloads the controls from the members, except
    // the first time (OnInitDialog has just done so). Return false to refuse.
    virtual bool OnSetActive();
    // The page stops being the current one (another tab, OK, Apply). Default: saves the
    // controls into the members; return false to keep the page current.
    virtual bool OnKillActive();
    // OK or Apply: default calls OnOK and returns true; return false to keep the sheet open on
    // this page.
    virtual bool OnApply();
    // Cancel: default calls OnCancel.
    virtual void OnReset();
    // Store the page's values; nothing by default. Called by OnApply.
    void OnOK() override;
    // Forget the page's changes; nothing by default. Called by OnReset.
    void OnCancel() override;

    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    static INT_PTR CALLBACK PageProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    std::string m_caption;
    bool m_firstActivation = true;
};

class PropertySheet : public WindowBase {
public:
    explicit PropertySheet(const std::string& caption, HWND parent = nullptr);

    // Pages are shown in the order added; they must outlive DoModal.
    void AddPage(PropertyPage& page);
    size_t PageCount() const { return m_pages.size(); }
    // The caption; propertyTitle lets the system present it as "Properties for <title>".
    void SetTitle(const std::string& title, bool propertyTitle = false);
    // PSH_NOAPPLYNOW: no Apply button.
    void SetNoApplyButton(bool noApply = true);
    void SetStartPage(UINT index) { m_startPage = index; }

    // Shows the sheet modally; IDOK when the user closed it with OK (every page accepted) or
    // applied changes before cancelling, IDCANCEL otherwise, -1 when it could not be shown.
    INT_PTR DoModal();

    // The current page's window, and the sheet's buttons by control id (IDOK, IDCANCEL,
    // ID_APPLY_NOW = 0x3021, IDHELP).
    HWND CurrentPageWindow() const;

protected:
    // The sheet window exists (with its buttons), before it shows; its messages now reach
    // OnMessage (e.g. OnCommand for the Apply button).
    virtual void OnInitialized() {}

private:
    static int CALLBACK SheetCallback(HWND window, UINT message, LPARAM lParam);

    std::string m_caption;
    HWND m_parent;
    DWORD m_flags = 0;
    UINT m_startPage = 0;
    std::vector<PropertyPage*> m_pages;
};

} // namespace ui
