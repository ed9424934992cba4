// Shows a chooser on this computer, for a look on screen.
// Usage: chooser_preview template|reportset|server
//        chooser_preview server-demo|folder|newfolder [PATH]
// server-demo fills the server chooser from a fixed list of domains and servers instead of the
// network; folder opens the folder chooser on this computer's quota service; newfolder then
// presses its New Folder... button. PATH (such as "C:\Demo" or "Domain\SALES") is expanded
// and selected in the chooser's tree, one part after the other.
#include "server/folder_chooser.h"
#include "server/server_chooser.h"
#include "res/resource.h"
#include "server/template_chooser.h"
#include "ui/tree_view.h"

#include <commctrl.h>
#include <lm.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// A network of two domains for the server chooser.
DWORD ListDemoServers(const char* domain, DWORD serverType, std::vector<std::string>& names) {
    if (serverType == SV_TYPE_DOMAIN_ENUM)
        names = {"Sales", "Engineering"};
    else if (!domain)
        names = {"FILES01", "FILES02", "backup"};
    else if (strcmp(domain, "SALES") == 0)
        names = {"SALES-FS", "SALES-DC"};
    else
        names = {"BUILD01", "ENG-FS"};
    return 0;
}

std::string g_openPath;
bool g_pressNewFolder = false;

// The tree of the chooser this thread shows, once it is on screen.
HWND ShownChooserTree() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM result) {
            if (!IsWindowVisible(window))
                return TRUE;
            for (int id : {IDC_FOLDER_TREE, IDC_SERVER_TREE}) {
                if (HWND tree = GetDlgItem(window, id)) {
                    *reinterpret_cast<HWND*>(result) = tree;
                    return FALSE;
                }
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Once the chooser shows: selects and expands each part of the path as a user would (right
// arrow on the selected item), then presses New Folder... when asked to.
void CALLBACK OpenPathWhenShown(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND tree = ShownChooserTree();
    if (!tree)
        return;
    KillTimer(nullptr, timer);
    HWND dialog = GetParent(tree);
    HTREEITEM item = nullptr;
    size_t start = 0;
    while (start < g_openPath.size()) {
        size_t end = g_openPath.find('\\', start);
        if (end == std::string::npos)
            end = g_openPath.size();
        HTREEITEM next = ui::TreeView(tree).FindChild(item, g_openPath.substr(start, end - start));
        if (!next)
            break;
        item = next;
        // As a user expands it: the right arrow on the selected item.
        TreeView_SelectItem(tree, item);
        SendMessageA(tree, WM_KEYDOWN, VK_RIGHT, 0);
        start = end + 1;
    }
    if (g_pressNewFolder)
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_NEW_FOLDER, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_NEW_FOLDER)));
}

int ShowFolderChooser() {
    AXCli client;
    if (uint32_t status = client.Connect("")) {
        fprintf(stderr, "chooser_preview: no quota service on this computer (%u)\n", status);
        return 1;
    }
    CFolderChooserDlg chooser;
    chooser.SetClient(&client);
    return static_cast<int>(chooser.DoModal());
}

} // namespace

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    const char* what = argc > 1 ? argv[1] : "template";
    g_pressNewFolder = strcmp(what, "newfolder") == 0;
    g_openPath = argc > 2 ? argv[2] : g_pressNewFolder ? "C:" : "";
    if (!g_openPath.empty())
        SetTimer(nullptr, 0, 100, OpenPathWhenShown);
    if (strcmp(what, "folder") == 0 || g_pressNewFolder)
        return ShowFolderChooser();
    if (strcmp(what, "server") == 0) {
        CServerChooserDlg chooser;
        return static_cast<int>(chooser.DoModal());
    }
    if (strcmp(what, "server-demo") == 0) {
        CServerChooserDlg chooser(nullptr, nullptr, ListDemoServers);
        return static_cast<int>(chooser.DoModal());
    }
    char computer[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof computer;
    GetComputerNameA(computer, &size);
    CTemplateChooserDlg chooser(strcmp(what, "reportset") == 0 ? CTemplateChooserDlg::ReportSets
                                                               : CTemplateChooserDlg::Templates,
                                computer);
    return static_cast<int>(chooser.DoModal());
}
