#include "server/template_chooser.h"

#include "base/resource_text.h"
#include "base/error_text.h"
#include "res/resource.h"
#include "server/server_registry.h"
#include "ui/combo_box.h"
#include "base/handles.h"
#include "ui/message_box.h"
#include "ui/wait_cursor.h"

#include <shlobj.h>

#include <vector>

namespace {

constexpr int kColumnMargin = 25;
constexpr DWORD kSubkeyNameSize = 100;
constexpr COLORREF kWhite = RGB(255, 255, 255);

// The registry keys (under HKEY_LOCAL_MACHINE) whose subkeys the chooser lists, in order.
std::vector<std::string> ListedKeys(uint32_t mode) {
    if (mode == CTemplateChooserDlg::ReportSets)
        return {base::LoadText(IDS_REPORT_SETS_KEY)};
    return {base::LoadText(IDS_FALLBACK_PARENT_KEY), base::LoadText(IDS_TEMPLATES_KEY)};
}

// Calls `add` with the name of every subkey of `path`, in the registry's order; a key that
// cannot be opened adds nothing.
template <typename Add> void ForEachSubkey(HKEY root, const std::string& path, Add add) {
    base::UniqueKey key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ENUMERATE_SUB_KEYS, key.Put()) != ERROR_SUCCESS)
        return;
    for (DWORD index = 0;; ++index) {
        char name[kSubkeyNameSize] = {};
        DWORD size = kSubkeyNameSize;
        if (RegEnumKeyExA(key.Get(), index, name, &size, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            return;
        add(std::string(name));
    }
}

// COM for the calling thread for the lifetime of this object, unless it already has it.
class ComScope {
public:
    ComScope() : m_result(CoInitialize(nullptr)) {}
    ~ComScope() {
        if (SUCCEEDED(m_result))
            CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT m_result;
};

} // namespace

CTemplateChooserDlg::CTemplateChooserDlg(uint32_t mode, const char* computer, HWND parent)
    : ui::Dialog(IDD_TEMPLATE_CHOOSER, parent), ChooserMode(mode),
      m_computerName(computer ? computer : "") {}

bool CTemplateChooserDlg::OnInitDialog() {
    m_list = ui::ListView(Item(IDC_CHOOSER_LIST));
    m_images.Create(16, 16, true, 1, 1);
    if (ChooserMode == Templates) {
        m_images.AddIcon(IDI_TEMPLATE);
        SetText(base::LoadText(IDS_CHOOSER_TEMPLATE_CAPTION));
        for (int id : {IDC_CHOOSER_BATCH, IDC_CHOOSER_NEW, IDC_CHOOSER_PROPERTIES, ID_HELP})
            ShowItem(id, false);
        EnableItem(ID_HELP, false);
    } else {
        m_images.AddBitmap(IDB_REPORT_SET, kWhite);
        SetText(base::LoadText(IDS_CHOOSER_REPORT_SET_CAPTION));
        SetItemText(IDOK, base::LoadText(IDS_CHOOSER_OK));
        for (int id : {IDC_CHOOSER_BATCH, IDC_CHOOSER_NEW, IDC_CHOOSER_PROPERTIES})
            ShowItem(id, false);
    }
    m_list.SetImageList(m_images.Handle(), LVSIL_SMALL);
    int width = 2 * m_list.StringWidth(base::LoadText(IDS_CHOOSER_WIDTH_SAMPLE)) + kColumnMargin;
    m_list.InsertColumn(0, "", width);

    ui::ComboBox computers(Item(IDC_CHOOSER_COMPUTER));
    computers.InsertString(0, m_computerName);
    computers.SetCurrentSelection(0);
    if (!m_computerName.empty())
        FillChooserList(m_computerName);
    if (m_list.Count() > 0)
        m_list.Select(0);
    else
        EnableApply(false);
    return true;
}

void CTemplateChooserDlg::FillChooserList(const std::string& computer) {
    ui::WaitCursor wait;
    int columnWidth = static_cast<int>(m_list.Send(LVM_GETCOLUMNWIDTH, 0));
    m_list.DeleteAllItems();

    ServerRegistry registry;
    if (LONG status = registry.Connect(computer.c_str())) {
        ui::ShowMessage(m_hwnd, ErrorText(static_cast<DWORD>(status)));
        EnableApply(false);
        return;
    }
    for (const std::string& path : ListedKeys(ChooserMode)) {
        ForEachSubkey(registry.Get(), path, [&](const std::string& name) {
            int width = m_list.StringWidth(name) + kColumnMargin;
            if (width > columnWidth) {
                columnWidth = width;
                m_list.Send(LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(columnWidth, 0));
            }
            m_list.InsertItem(m_list.Count(), name, 0);
        });
    }
    registry.Close();

    bool any = m_list.Count() > 0;
    if (any)
        m_list.Select(0);
    EnableApply(any);
}

void CTemplateChooserDlg::DoDataExchange(ui::DataExchange& exchange) {
    if (exchange.Saving()) {
        ui::ComboBox computers(Item(IDC_CHOOSER_COMPUTER));
        m_computerName = computers.ItemText(computers.CurrentSelection());
    }
}

void CTemplateChooserDlg::OnOK() {
    UpdateData(true);
    int selected = m_list.NextSelected();
    if (selected < 0)
        return;
    m_chosenName = m_list.ItemText(selected, 0);
    End(IDOK);
}

bool CTemplateChooserDlg::OnCommand(UINT id, UINT code, HWND control) {
    if (id == IDC_CHOOSER_BROWSE && code == BN_CLICKED) {
        std::string computer;
        if (BrowseForComputer(m_hwnd, computer))
            AddComputer(computer);
        return true;
    }
    if (id == IDC_CHOOSER_COMPUTER && code == CBN_SELCHANGE) {
        ui::ComboBox computers(Item(IDC_CHOOSER_COMPUTER));
        std::string computer = computers.ItemText(computers.CurrentSelection());
        if (!computer.empty())
            FillChooserList(computer);
        return true;
    }
    return Dialog::OnCommand(id, code, control);
}

bool CTemplateChooserDlg::OnNotify(UINT id, NMHDR& header, LRESULT& result) {
    if (id == IDC_CHOOSER_LIST) {
        if (header.code == LVN_ITEMCHANGED) {
            EnableApply(m_list.NextSelected() >= 0);
            return true;
        }
        if (header.code == NM_DBLCLK) {
            OnOK();
            return true;
        }
    }
    return Dialog::OnNotify(id, header, result);
}

void CTemplateChooserDlg::AddComputer(const std::string& computer) {
    ui::ComboBox computers(Item(IDC_CHOOSER_COMPUTER));
    computers.InsertString(0, computer);
    computers.SetCurrentSelection(0);
    FillChooserList(computer);
}

void CTemplateChooserDlg::EnableApply(bool enable) {
    EnableItem(IDOK, enable);
}

bool BrowseForComputer(HWND owner, std::string& name) {
    ComScope com;
    LPITEMIDLIST root = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(owner, CSIDL_NETWORK, &root)))
        return false;
    IMalloc* allocator = nullptr;
    SHGetMalloc(&allocator);

    char displayName[MAX_PATH] = {};
    std::string title = base::LoadText(IDS_CHOOSER_BROWSE_TITLE);
    BROWSEINFOA browse{};
    browse.hwndOwner = owner;
    browse.pidlRoot = root;
    browse.pszDisplayName = displayName;
    browse.lpszTitle = title.c_str();
    browse.ulFlags = BIF_BROWSEFORCOMPUTER;
    LPITEMIDLIST chosen = SHBrowseForFolderA(&browse);
    if (chosen) {
        if (allocator)
            allocator->Free(chosen);
        name = displayName;
    }
    if (allocator) {
        allocator->Free(root);
        allocator->Release();
    } else {
        CoTaskMemFree(root);
    }
    return chosen != nullptr;
}
