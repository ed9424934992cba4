#include "server/folder_chooser.h"

#include "base/error_text.h"
#include "base/resource_text.h"
#include "server/new_folder.h"
#include "res/resource.h"
#include "ui/message_box.h"
#include "ui/wait_cursor.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr int kDeviceListSize = 260;
constexpr size_t kPathLimit = 259;
constexpr int kImageFolder = 1;
constexpr int kImageFixedDrive = 2;
constexpr int kImageRemovableDrive = 3;

constexpr unsigned long kDriveRemovable = 2;
constexpr unsigned long kDriveFixed = 3;
constexpr unsigned long kDriveRemote = 4;
constexpr unsigned long kDriveRam = 6;

int CALLBACK CompareFolders(LPARAM first, LPARAM second, LPARAM) {
    auto* a = reinterpret_cast<const AXServerCommunicationFileRec*>(first);
    auto* b = reinterpret_cast<const AXServerCommunicationFileRec*>(second);
    bool aFolder = a && a->IsFolder;
    bool bFolder = b && b->IsFolder;
    if (aFolder != bFolder)
        return aFolder ? -1 : 1;
    return lstrcmpiA(a ? a->Name : "", b ? b->Name : "");
}

// `folder` and `name` joined by exactly one backslash.
std::string JoinPath(std::string folder, const std::string& name) {
    while (!folder.empty() && folder.back() == '\\')
        folder.pop_back();
    size_t start = name.find_first_not_of('\\');
    return folder + "\\" + (start == std::string::npos ? "" : name.substr(start));
}

} // namespace

CFolderChooserDlg::CFolderChooserDlg(HWND parent) : ui::Dialog(IDD_FOLDER_CHOOSER, parent) {}

bool CFolderChooserDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    m_entries.clear();
    SetText(base::LoadText(IDS_SELECT_DIRECTORY));
    m_tree = ui::TreeView(Item(IDC_FOLDER_TREE));
    m_images.Create(16, 16, true, 4, 1);
    m_images.AddBitmap(IDB_FOLDER_OPEN, kWhite);
    m_images.AddBitmap(IDB_FOLDER, kWhite);
    m_images.AddBitmap(IDB_FIXED_DRIVE, kWhite);
    m_images.AddBitmap(IDB_REMOVABLE_DRIVE, kWhite);
    m_tree.SetImageList(m_images.Handle());
    ListDrives();
    return true;
}

void CFolderChooserDlg::ListDrives() {
    if (!m_client)
        return;
    char devices[kDeviceListSize] = {};
    if (m_client->GetDevices(devices, sizeof devices) == kAxOk) {
        const char* end = devices + sizeof devices;
        for (const char* device = devices; device < end && *device;) {
            size_t length = strnlen(device, static_cast<size_t>(end - device));
            if (device + length == end)
                break; // not terminated: the list is cut off here
            int image = DriveImage(device);
            if (image >= 0) {
                std::string text(device, length - 1); // "C:\" shows as "C:"
                m_tree.InsertItem(text, TVI_ROOT, TVI_LAST, image, image, 0, true);
            }
            device += length + 1;
        }
    }
    m_tree.Send(TVM_SORTCHILDREN, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    if (HTREEITEM first = m_tree.Root())
        m_tree.Select(first);
}

int CFolderChooserDlg::DriveImage(const char* device) {
    unsigned long type = 0;
    uint32_t status = m_client->GetDriveAttributes(device, &type);
    if (status == kAxAskDeviceInfo) {
        int clusterSize = 0;
        int64_t capacity = 0;
        int64_t freeBytes = 0;
        status = m_client->GetDeviceInfo(device, &type, &clusterSize, &capacity, &freeBytes);
        if (status == kAxRetryDeviceInfo1 || status == kAxRetryDeviceInfo2)
            status = m_client->GetDeviceInfo(device, &type, &clusterSize, &capacity, &freeBytes);
    }
    if (status != kAxOk)
        return -1;
    switch (type) {
    case kDriveRemovable:
    case kDriveRemote:
        return kImageRemovableDrive;
    case kDriveFixed:
    case kDriveRam:
        return kImageFixedDrive;
    default:
        return -1;
    }
}

std::string CFolderChooserDlg::PathOf(HTREEITEM item) const {
    std::string path = m_tree.ItemText(item);
    for (HTREEITEM parent = m_tree.ParentItem(item); parent; parent = m_tree.ParentItem(parent))
        path = m_tree.ItemText(parent) + "\\" + path;
    return path;
}

bool CFolderChooserDlg::IsFolderItem(HTREEITEM item) const {
    auto* entry = reinterpret_cast<const AXServerCommunicationFileRec*>(m_tree.ItemData(item));
    return entry && entry->IsFolder;
}

AXServerCommunicationFileRec* CFolderChooserDlg::NewEntry() {
    try {
        return &m_entries.emplace_back();
    } catch (const std::bad_alloc&) {
        ui::ShowMessage(m_hwnd, base::LoadText(IDS_NOT_ENOUGH_MEMORY));
        return nullptr;
    }
}

void CFolderChooserDlg::ExpandFirstTime(HTREEITEM item) {
    bool drive = m_tree.ParentItem(item) == nullptr;
    if (!m_client || (!drive && !IsFolderItem(item)))
        return;
    ui::WaitCursor wait;
    std::string path = PathOf(item);
    int first = 1;
    for (;;) {
        AXServerCommunicationFileRec entry{};
        if (m_client->GetFiles(path.c_str(), &entry, &first) != kAxOk)
            break;
        if (!entry.IsFolder)
            continue;
        AXServerCommunicationFileRec* kept = NewEntry();
        if (!kept)
            break;
        *kept = entry;
        m_tree.InsertItem(kept->Name, item, TVI_LAST, kImageFolder, kImageFolder,
                          reinterpret_cast<LPARAM>(kept), true);
    }
    SortFolders(item);
}

void CFolderChooserDlg::SortFolders(HTREEITEM parent) {
    TVSORTCB sort{};
    sort.hParent = parent;
    sort.lpfnCompare = CompareFolders;
    m_tree.Send(TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort));
}

void CFolderChooserDlg::OnOK() {
    HTREEITEM selected = m_tree.Selection();
    if (!selected) {
        ui::ShowMessage(m_hwnd, base::LoadText(IDS_NO_DIRECTORY_SELECTED));
        return;
    }
    m_chosenPath = PathOf(selected);
    if (!m_chosenPath.empty() && m_chosenPath.back() == ':')
        m_chosenPath += '\\';
    End(IDOK);
}

void CFolderChooserDlg::CreateFolder() {
    HTREEITEM selected = m_tree.Selection();
    if (!selected || !m_client)
        return;
    std::string folder = PathOf(selected);
    if (folder.size() == 2)
        folder += '\\';
    CNewFolderDlg ask(folder, m_hwnd);
    if (ask.DoModal() != IDOK)
        return;

    std::string full = JoinPath(folder, ask.FolderName());
    uint32_t status = ERROR_FILENAME_EXCED_RANGE;
    if (full.size() <= kPathLimit) {
        char path[kPathLimit + 1] = {};
        memcpy(path, full.c_str(), full.size());
        status = m_client->CreateDir(path);
    }
    if (status != kAxOk) {
        ui::ShowMessage(
            m_hwnd, base::LoadFormattedText(IDS_CREATE_FOLDER_FAILED, {full, ErrorText(status)}));
        return;
    }
    TVITEMA state{};
    state.mask = TVIF_STATE;
    state.hItem = selected;
    state.stateMask = TVIS_EXPANDEDONCE;
    m_tree.Send(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&state));
    if (state.state & TVIS_EXPANDEDONCE)
        AddCreatedFolder(selected, full.substr(full.rfind('\\') + 1));
}

void CFolderChooserDlg::AddCreatedFolder(HTREEITEM parent, const std::string& name) {
    AXServerCommunicationFileRec* entry = NewEntry();
    if (!entry)
        return;
    snprintf(entry->Name, sizeof entry->Name, "%s", name.c_str());
    entry->IsFolder = 1;
    m_tree.InsertItem(entry->Name, parent, TVI_LAST, kImageFolder, kImageFolder,
                      reinterpret_cast<LPARAM>(entry), true);
    SortFolders(parent);
}

bool CFolderChooserDlg::OnCommand(UINT id, UINT code, HWND control) {
    if (id == IDC_NEW_FOLDER && code == BN_CLICKED) {
        CreateFolder();
        return true;
    }
    return Dialog::OnCommand(id, code, control);
}

bool CFolderChooserDlg::OnNotify(UINT id, NMHDR& header, LRESULT& result) {
    if (id == IDC_FOLDER_TREE &&
        (header.code == TVN_ITEMEXPANDINGA || header.code == TVN_ITEMEXPANDINGW)) {
        auto& view = reinterpret_cast<NMTREEVIEWA&>(header);
        if ((view.action & TVE_EXPAND) && !(view.itemNew.state & TVIS_EXPANDEDONCE))
            ExpandFirstTime(view.itemNew.hItem);
        result = FALSE;
        return true;
    }
    return Dialog::OnNotify(id, header, result);
}
