#include "ui/property_sheet.h"

#include <utility>

namespace ui {

namespace {
thread_local PropertySheet* t_starting = nullptr;
} // namespace

PropertyPage::PropertyPage(UINT templateId, const std::string& caption, HINSTANCE instance)
    : Dialog(templateId, nullptr, instance), m_caption(caption) {}

void PropertyPage::SetModified(bool modified) {
    SendMessageA(Sheet(), modified ? PSM_CHANGED : PSM_UNCHANGED, reinterpret_cast<WPARAM>(m_hwnd),
                 0);
}

PROPSHEETPAGEA PropertyPage::Descriptor() {
    PROPSHEETPAGEA page{};
    page.dwSize = sizeof page;
    page.dwFlags = m_caption.empty() ? PSP_DEFAULT : PSP_USETITLE;
    page.hInstance = Instance();
    page.pszTemplate = MAKEINTRESOURCEA(TemplateId());
    page.pszTitle = m_caption.c_str();
    page.pfnDlgProc = PageProcedure;
    page.lParam = reinterpret_cast<LPARAM>(this);
    m_firstActivation = true;
    return page;
}

bool PropertyPage::OnSetActive() {
    if (m_firstActivation)
        m_firstActivation = false;
    else
        UpdateData(false);
    return true;
}

bool PropertyPage::OnKillActive() {
    return UpdateData(true);
}

bool PropertyPage::OnApply() {
    OnOK();
    return true;
}

void PropertyPage::OnReset() {
    OnCancel();
}

void PropertyPage::OnOK() {}

void PropertyPage::OnCancel() {}

bool PropertyPage::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_NOTIFY) {
        const NMHDR& header = *reinterpret_cast<const NMHDR*>(lParam);
        switch (header.code) {
        case PSN_SETACTIVE:
            result = OnSetActive() ? 0 : -1;
            return true;
        case PSN_KILLACTIVE:
            result = OnKillActive() ? FALSE : TRUE;
            return true;
        case PSN_APPLY:
            result = OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
            return true;
        case PSN_RESET:
            OnReset();
            result = 0;
            return true;
        default:
            break;
        }
    }
    return Dialog::OnMessage(message, wParam, lParam, result);
}

INT_PTR CALLBACK PropertyPage::PageProcedure(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* page = reinterpret_cast<PropertyPage*>(
            reinterpret_cast<const PROPSHEETPAGEA*>(lParam)->lParam);
        page->Link(window);
    }
    auto* page = static_cast<PropertyPage*>(FromHandle(window));
    return page ? RunDialogProcedure(page, window, message, wParam, lParam) : FALSE;
}

PropertySheet::PropertySheet(const std::string& caption, HWND parent)
    : m_caption(caption), m_parent(parent) {}

void PropertySheet::AddPage(PropertyPage& page) {
    m_pages.push_back(&page);
}

void PropertySheet::SetTitle(const std::string& title, bool propertyTitle) {
    m_caption = title;
    m_flags = propertyTitle ? (m_flags | PSH_PROPTITLE) : (m_flags & ~PSH_PROPTITLE);
}

void PropertySheet::SetNoApplyButton(bool noApply) {
    m_flags = noApply ? (m_flags | PSH_NOAPPLYNOW) : (m_flags & ~PSH_NOAPPLYNOW);
}

HWND PropertySheet::CurrentPageWindow() const {
    return reinterpret_cast<HWND>(Send(PSM_GETCURRENTPAGEHWND));
}

INT_PTR PropertySheet::DoModal() {
    if (m_hwnd || m_pages.empty())
        return -1;
    std::vector<PROPSHEETPAGEA> descriptors;
    for (PropertyPage* page : m_pages)
        descriptors.push_back(page->Descriptor());

    PROPSHEETHEADERA header{};
    header.dwSize = sizeof header;
    header.dwFlags = m_flags | PSH_PROPSHEETPAGE | PSH_USECALLBACK;
    header.hwndParent = m_parent;
    header.hInstance = GetModuleHandleA(nullptr);
    header.pszCaption = m_caption.c_str();
    header.nPages = static_cast<UINT>(descriptors.size());
    header.nStartPage = m_startPage;
    header.ppsp = descriptors.data();
    header.pfnCallback = SheetCallback;

    PropertySheet* outer = std::exchange(t_starting, this);
    INT_PTR shown = ::PropertySheetA(&header);
    t_starting = outer;
    if (shown < 0)
        return -1;
    return shown > 0 ? IDOK : IDCANCEL;
}

int CALLBACK PropertySheet::SheetCallback(HWND window, UINT message, LPARAM) {
    if (message == PSCB_INITIALIZED && t_starting) {
        PropertySheet* sheet = std::exchange(t_starting, nullptr);
        if (sheet->Subclass(window))
            sheet->OnInitialized();
    }
    return 0;
}

} // namespace ui
