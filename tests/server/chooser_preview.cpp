// Shows the template chooser or the server chooser on this computer, for a look on screen.
// Usage: chooser_preview template|reportset|server
#include "app/server_chooser.h"
#include "server/template_chooser.h"

#include <commctrl.h>

#include <cstring>

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    const char* what = argc > 1 ? argv[1] : "template";
    char computer[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof computer;
    GetComputerNameA(computer, &size);
    if (strcmp(what, "server") == 0) {
        CServerChooserDlg chooser;
        return static_cast<int>(chooser.DoModal());
    }
    CTemplateChooserDlg chooser(strcmp(what, "reportset") == 0 ? CTemplateChooserDlg::ReportSets
                                                               : CTemplateChooserDlg::Templates,
                                computer);
    return static_cast<int>(chooser.DoModal());
}
