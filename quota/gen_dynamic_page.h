// A property page that shows one of several run-time sub-pages (CDynamicDialog) at a time.
#pragma once

#include "quota/dynamic_dialog.h"
#include "ui/property_sheet.h"

#include <map>
#include <memory>

namespace quota {

class CGenDynamicPage : public ui::PropertyPage {
public:
    using ui::PropertyPage::PropertyPage;

    // Registers sub-page `index` from dialog template `templateId`, placed inside the page's
    // control `placementId`. Call from OnInitDialog, once per index.
    void AddDynamicDialog(WORD index, WORD templateId, int placementId);
    // Hides the current sub-page and shows sub-page `index`; nothing when it is the current
    // one. False when the index is unknown or its controls could not be created.
    bool ShowDynamicDialog(WORD index);

    CDynamicDialog* DynamicDialog(WORD index) const;
    size_t DynamicDialogCount() const { return m_dialogs.size(); }
    CDynamicDialog* CurrentDynamicDialog() const { return m_current; }

protected:
    void OnDestroy() override;

private:
    std::map<WORD, std::unique_ptr<CDynamicDialog>> m_dialogs;
    CDynamicDialog* m_current = nullptr;
};

} // namespace quota
