// Asks for the name of a folder to create in the current folder.
#pragma once

#include "ui/dialog.h"

#include <string>

class CNewFolderDlg : public ui::Dialog {
public:
    CNewFolderDlg(const std::string& currentFolder, HWND parent = nullptr);

    // After IDOK: the name typed, never empty.
    const std::string& FolderName() const { return m_folderName; }

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    void DoDataExchange(ui::DataExchange& exchange) override;

private:
    std::string m_currentFolderText;
    std::string m_folderName;
};
