// The chooser of a computer and one of its quota templates or report sets.
#pragma once

#include "ui/dialog.h"
#include "ui/image_list.h"
#include "ui/list_view.h"

#include <cstdint>
#include <string>

// Lets the user pick a computer, browsing the network if need be, and one name listed in that
// computer's registry: a quota template (the two fallback templates first) or a report set.
class CTemplateChooserDlg : public ui::Dialog {
public:
    enum Mode : uint32_t { Templates = 0, ReportSets = 1 };

    CTemplateChooserDlg(uint32_t mode, const char* computer, HWND parent = nullptr);

    // IDOK when a name was chosen.

    // After IDOK: the computer selected at the moment of Apply, and the chosen name.
    const std::string& ComputerName() const { return m_computerName; }
    const std::string& ChosenName() const { return m_chosenName; }

    // Lists the templates or report sets of `computer`; the first is selected and Apply enabled
    // when there is one. A computer whose registry cannot be reached is reported to the user.
    void FillChooserList(const std::string& computer);

    const uint32_t ChooserMode;

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    bool OnNotify(UINT id, NMHDR& header, LRESULT& result) override;
    void DoDataExchange(ui::DataExchange& exchange) override;

private:
    void AddComputer(const std::string& computer);
    void EnableApply(bool enable);

    ui::ListView m_list;
    std::string m_computerName;
    ui::ImageList m_images;
    std::string m_chosenName;
};

// Shows the system's dialog for choosing a computer of the network. True, with the computer's
// name in `name`, when the user chose one.
bool BrowseForComputer(HWND owner, std::string& name);
