#include "server/new_folder.h"

#include "base/resource_text.h"
#include "res/resource.h"

CNewFolderDlg::CNewFolderDlg(const std::string& currentFolder, HWND parent)
    : ui::Dialog(IDD_NEW_FOLDER, parent),
      m_currentFolderText(base::LoadFormattedText(IDS_CURRENT_FOLDER, {currentFolder})) {}

bool CNewFolderDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    EnableItem(IDOK, false);
    return true;
}

void CNewFolderDlg::DoDataExchange(ui::DataExchange& exchange) {
    exchange.Text(IDC_CURRENT_FOLDER, m_currentFolderText);
    exchange.Text(IDC_NEW_FOLDER_NAME, m_folderName);
}

void CNewFolderDlg::OnOK() {
    if (!ItemText(IDC_NEW_FOLDER_NAME).empty())
        Dialog::OnOK();
}

bool CNewFolderDlg::OnCommand(UINT id, UINT code, HWND control) {
    if (id == IDC_NEW_FOLDER_NAME && (code == EN_CHANGE || code == EN_SETFOCUS)) {
        EnableItem(IDOK, !ItemText(IDC_NEW_FOLDER_NAME).empty());
        return true;
    }
    return Dialog::OnCommand(id, code, control);
}
