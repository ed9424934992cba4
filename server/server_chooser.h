// The chooser of a Windows NT server on the network, browsed through its domains.
#pragma once

#include "ui/dialog.h"
#include "ui/image_list.h"
#include "ui/tree_view.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

// What a tree item of the chooser stands for.
struct ServerTreeItem {
    uint32_t Kind;  // 1: expandable (the "Domain" root or a domain); 0: a server
    char Name[200]; // zero-terminated, at most 199 characters
};

// Lists the names of the network's computers of `serverType` (SV_TYPE_...) in `domain` (null:
// the primary domain) into `names`; returns the network status, 0 on success.
using ServerLister =
    std::function<DWORD(const char* domain, DWORD serverType, std::vector<std::string>& names)>;

// The network's own listing (NetServerEnum, information level 101).
DWORD ListNetworkServers(const char* domain, DWORD serverType, std::vector<std::string>& names);

class CServerChooserDlg : public ui::Dialog {
public:
    // `excluded`: a computer never offered (null or empty: none).
    explicit CServerChooserDlg(const char* excluded = nullptr, HWND parent = nullptr,
                               ServerLister lister = ListNetworkServers);

    // After IDOK: the chosen computer.
    const std::string& ComputerName() const { return m_computerName; }

protected:
    bool OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    bool OnNotify(UINT id, NMHDR& header, LRESULT& result) override;
    void DoDataExchange(ui::DataExchange& exchange) override;

private:
    HTREEITEM Insert(HTREEITEM parent, uint32_t kind, const std::string& name, int image);
    // Inserts the servers of `domain` of `serverType` under `parent`; false when the network
    // refused (the user has been told).
    bool InsertServers(HTREEITEM parent, const char* domain, DWORD serverType);
    void SortByKindAndName(HTREEITEM parent);
    void ExpandFirstTime(HTREEITEM item);
    void SelectionChanged(HTREEITEM item);
    const ServerTreeItem* ItemOf(HTREEITEM item) const;
    bool IsExcluded(const std::string& name) const;
    void ShowNetworkError(DWORD status);

    ServerLister m_lister;
    ui::TreeView m_tree;
    std::string m_computerName;
    std::string m_excluded;
    ui::ImageList m_images;
    std::deque<ServerTreeItem> m_items; // the tree items' data, alive as long as the tree
};
