// The chooser of a folder on the quota server, browsed through the server's drives with the
// client library, with a button that creates a new folder.
#pragma once

#include "client/axcli.h"
#include "ui/dialog.h"
#include "ui/image_list.h"
#include "ui/tree_view.h"

#include <deque>
#include <string>

class CFolderChooserDlg : public ui::Dialog {
public:
    explicit CFolderChooserDlg(HWND parent = nullptr);

    // The client connected to the quota server, given before the dialog is shown; the caller
    // keeps owning it.
    void SetClient(AXCli* client) { m_client = client; }

    // After IDOK: the chosen folder; a drive's root as "C:\".
    const std::string& ChosenPath() const { return m_chosenPath; }

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    bool OnNotify(UINT id, NMHDR& header, LRESULT& result) override;

private:
    void ListDrives();
    // The drive-tree image for a device, -1 when the device is not offered.
    int DriveImage(const char* device);
    void ExpandFirstTime(HTREEITEM item);
    void SortFolders(HTREEITEM parent);
    // The folder an item stands for: the drive ("C:") and each folder below, joined by "\".
    std::string PathOf(HTREEITEM item) const;
    bool IsFolderItem(HTREEITEM item) const;
    void CreateFolder();
    void AddCreatedFolder(HTREEITEM parent, const std::string& name);
    AXServerCommunicationFileRec* NewEntry();

    ui::TreeView m_tree;
    ui::ImageList m_images;
    AXCli* m_client = nullptr;
    std::string m_chosenPath;
    std::deque<AXServerCommunicationFileRec> m_entries; // the folder items' data
};
