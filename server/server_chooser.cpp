#include "server/server_chooser.h"

#include "base/resource_text.h"
#include "base/error_text.h"

#include "res/resource.h"
#include "ui/message_box.h"
#include "ui/wait_cursor.h"

#include <lm.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr DWORD kPreferredLength = 65536;
constexpr int kImageDomainRoot = 0;
constexpr int kImageDomain = 1;
constexpr int kImageServer = 2;

std::string Capitals(std::string text) {
    CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

int CALLBACK CompareKindAndName(LPARAM first, LPARAM second, LPARAM) {
    auto* a = reinterpret_cast<const ServerTreeItem*>(first);
    auto* b = reinterpret_cast<const ServerTreeItem*>(second);
    if (a->Kind != b->Kind)
        return a->Kind > b->Kind ? -1 : 1;
    return strcmp(a->Name, b->Name);
}

} // namespace

DWORD ListNetworkServers(const char* domain, DWORD serverType, std::vector<std::string>& names) {
    std::wstring wideDomain;
    if (domain) {
        int length = MultiByteToWideChar(CP_ACP, 0, domain, -1, nullptr, 0);
        wideDomain.resize(static_cast<size_t>(length));
        MultiByteToWideChar(CP_ACP, 0, domain, -1, wideDomain.data(), length);
    }
    BYTE* buffer = nullptr;
    DWORD read = 0;
    DWORD total = 0;
    NET_API_STATUS status =
        NetServerEnum(nullptr, 101, &buffer, kPreferredLength, &read, &total, serverType,
                      domain ? wideDomain.c_str() : nullptr, nullptr);
    if (status == NERR_Success || status == ERROR_MORE_DATA) {
        auto* servers = reinterpret_cast<const SERVER_INFO_101*>(buffer);
        for (DWORD i = 0; i < read; ++i) {
            char name[256] = {};
            WideCharToMultiByte(CP_ACP, 0, servers[i].sv101_name, -1, name, sizeof name - 1,
                                nullptr, nullptr);
            names.push_back(name);
        }
        status = NERR_Success;
    }
    if (buffer)
        NetApiBufferFree(buffer);
    return status;
}

CServerChooserDlg::CServerChooserDlg(const char* excluded, HWND parent, ServerLister lister)
    : ui::Dialog(IDD_SERVER_CHOOSER, parent), m_lister(std::move(lister)),
      m_excluded(excluded ? excluded : "") {}

bool CServerChooserDlg::OnInitDialog() {
    ui::WaitCursor wait;
    Dialog::OnInitDialog();
    m_items.clear();
    m_tree = ui::TreeView(Item(IDC_SERVER_TREE));
    m_images.Create(16, 16, true, 3, 1);
    m_images.AddBitmap(IDB_DOMAIN_ROOT, kWhite);
    m_images.AddBitmap(IDB_DOMAIN, kWhite);
    m_images.AddIcon(IDI_SERVER);
    m_tree.SetImageList(m_images.Handle());

    Insert(TVI_ROOT, 1, base::LoadText(IDS_DOMAIN_ROOT), kImageDomainRoot);
    InsertServers(TVI_ROOT, nullptr, SV_TYPE_NT);
    SortByKindAndName(TVI_ROOT);
    EnableItem(IDOK, false);
    return true;
}

void CServerChooserDlg::DoDataExchange(ui::DataExchange& exchange) {
    exchange.Text(IDC_COMPUTER_NAME, m_computerName);
}

HTREEITEM CServerChooserDlg::Insert(HTREEITEM parent, uint32_t kind, const std::string& name,
                                    int image) {
    ServerTreeItem& data = m_items.emplace_back();
    data.Kind = kind;
    snprintf(data.Name, sizeof data.Name, "%s", name.c_str());
    HTREEITEM item = m_tree.InsertItem(data.Name, parent, TVI_SORT, image, image,
                                       reinterpret_cast<LPARAM>(&data), kind == 1);
    m_tree.Send(TVM_SORTCHILDREN, 0, reinterpret_cast<LPARAM>(parent));
    return item;
}

bool CServerChooserDlg::InsertServers(HTREEITEM parent, const char* domain, DWORD serverType) {
    std::vector<std::string> names;
    if (DWORD status = m_lister(domain, serverType, names)) {
        ShowNetworkError(status);
        return false;
    }
    for (const std::string& name : names)
        if (!IsExcluded(name))
            Insert(parent, 0, name, kImageServer);
    return true;
}

void CServerChooserDlg::SortByKindAndName(HTREEITEM parent) {
    TVSORTCB sort{};
    sort.hParent = parent;
    sort.lpfnCompare = CompareKindAndName;
    m_tree.Send(TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort));
}

void CServerChooserDlg::ExpandFirstTime(HTREEITEM item) {
    ui::WaitCursor wait;
    HTREEITEM parent = m_tree.ParentItem(item);
    if (parent) {
        std::string domain = m_tree.ItemText(item);
        if (InsertServers(item, domain.c_str(), SV_TYPE_NT | SV_TYPE_DOMAIN_MEMBER))
            SortByKindAndName(item);
        return;
    }
    std::vector<std::string> domains;
    if (m_lister(nullptr, SV_TYPE_DOMAIN_ENUM, domains) != 0)
        return;
    for (const std::string& domain : domains)
        Insert(item, 1, Capitals(domain), kImageDomain);
}

void CServerChooserDlg::SelectionChanged(HTREEITEM item) {
    const ServerTreeItem* data = ItemOf(item);
    if (!data)
        return;
    bool server = data->Kind == 0;
    SetItemText(IDC_COMPUTER_NAME, server ? data->Name : "");
    EnableItem(IDOK, server);
}

const ServerTreeItem* CServerChooserDlg::ItemOf(HTREEITEM item) const {
    return item ? reinterpret_cast<const ServerTreeItem*>(m_tree.ItemData(item)) : nullptr;
}

bool CServerChooserDlg::IsExcluded(const std::string& name) const {
    return !m_excluded.empty() && lstrcmpiA(name.c_str(), m_excluded.c_str()) == 0;
}

void CServerChooserDlg::ShowNetworkError(DWORD status) {
    ui::ShowMessage(m_hwnd, ErrorText(status));
}

bool CServerChooserDlg::OnCommand(UINT id, UINT code, HWND control) {
    if (id == IDC_COMPUTER_NAME && code == EN_CHANGE) {
        std::string name = ItemText(IDC_COMPUTER_NAME);
        EnableItem(IDOK, !name.empty() && !IsExcluded(name));
        return true;
    }
    return Dialog::OnCommand(id, code, control);
}

bool CServerChooserDlg::OnNotify(UINT id, NMHDR& header, LRESULT& result) {
    if (id != IDC_SERVER_TREE)
        return Dialog::OnNotify(id, header, result);
    switch (header.code) {
    case TVN_ITEMEXPANDINGA:
    case TVN_ITEMEXPANDINGW: {
        auto& view = reinterpret_cast<NMTREEVIEWA&>(header);
        if ((view.action & TVE_EXPAND) && !(view.itemNew.state & TVIS_EXPANDEDONCE))
            ExpandFirstTime(view.itemNew.hItem);
        result = FALSE;
        return true;
    }
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW:
        SelectionChanged(reinterpret_cast<NMTREEVIEWA&>(header).itemNew.hItem);
        return true;
    case NM_DBLCLK: {
        const ServerTreeItem* data = ItemOf(m_tree.Selection());
        if (data && data->Kind == 0) {
            SetItemText(IDC_COMPUTER_NAME, data->Name);
            OnOK();
        }
        return true;
    }
    default:
        return Dialog::OnNotify(id, header, result);
    }
}
