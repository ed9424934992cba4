#include "quota/gen_dynamic_page.h"

namespace quota {

void CGenDynamicPage::AddDynamicDialog(WORD index, WORD templateId, int placementId) {
    m_dialogs[index] =
        std::make_unique<CDynamicDialog>(m_hwnd, templateId, placementId, Instance());
}

bool CGenDynamicPage::ShowDynamicDialog(WORD index) {
    CDynamicDialog* next = DynamicDialog(index);
    if (!next)
        return false;
    if (next == m_current)
        return true;
    if (m_current)
        m_current->Show(false);
    m_current = next;
    return next->Show(true);
}

CDynamicDialog* CGenDynamicPage::DynamicDialog(WORD index) const {
    auto found = m_dialogs.find(index);
    return found == m_dialogs.end() ? nullptr : found->second.get();
}

// The sub-pages' controls go with the page's window; a page shown again starts afresh.
void CGenDynamicPage::OnDestroy() {
    m_current = nullptr;
    m_dialogs.clear();
    ui::PropertyPage::OnDestroy();
}

} // namespace quota
