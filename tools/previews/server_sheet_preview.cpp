// Shows the server property sheet of this computer, for a look on screen.
// Usage: server_sheet_preview [PAGE]   (0 Version, 1 Services, 2 Mail, 3 Settings)
#include "server/server_property_sheet.h"

#include <commctrl.h>

#include <cstdlib>

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    CServerPropertySheet sheet(nullptr);
    if (argc > 1)
        sheet.SetStartPage(static_cast<UINT>(atoi(argv[1])));
    return sheet.DoModal() == IDOK ? 0 : 1;
}
