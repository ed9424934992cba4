#include "app/new_folder.h"

#include "res/resource.h"
#include "ui/message_box.h"

#include <cstdio>
#include <vector>

namespace {
std::string CurrentFolderText(const std::string& folder) {
    std::string format = ui::LoadText(IDS_CURRENT_FOLDER);
    std::vector<char> text(format.size() + folder.size() + 1);
    snprintf(text.data(), text.size(), format.c_str(), folder.c_str());
    return text.data();
}
} // namespace

CNewFolderDlg::CNewFolderDlg(const std::string& currentFolder, HWND parent)
    : ui::Dialog(IDD_NEW_FOLDER), m_parent(parent),
      m_currentFolderText(CurrentFolderText(currentFolder)) {}

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
