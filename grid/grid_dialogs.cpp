#include "grid/grid_dialogs.h"

#include <winspool.h>

#include "ui/on_demand.h"

namespace grid_dialogs {

namespace {

constexpr char kDialogs[] = "comdlg32.dll";

} // namespace

BOOL ShowPrintDialog(PRINTDLGA& request) {
    auto* printDlg = ui::OnDemandFunction<decltype(PrintDlgA)>(kDialogs, "PrintDlgA");
    return printDlg ? printDlg(&request) : FALSE;
}

DWORD LastError() {
    auto* extendedError =
        ui::OnDemandFunction<decltype(CommDlgExtendedError)>(kDialogs, "CommDlgExtendedError");
    return extendedError ? extendedError() : CDERR_INITIALIZATION;
}

HWND ShowFindDialog(FINDREPLACEA& request) {
    auto* findText = ui::OnDemandFunction<decltype(FindTextA)>(kDialogs, "FindTextA");
    return findText ? findText(&request) : nullptr;
}

bool DefaultPrinterName(std::string& name) {
    auto* defaultPrinter =
        ui::OnDemandFunction<decltype(GetDefaultPrinterA)>("winspool.drv", "GetDefaultPrinterA");
    char buffer[256] = {};
    DWORD size = sizeof buffer;
    if (!defaultPrinter || !defaultPrinter(buffer, &size))
        return false;
    name = buffer;
    return true;
}

} // namespace grid_dialogs
