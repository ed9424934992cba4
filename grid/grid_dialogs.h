// The common dialogs and the spooler call of the grid's printing and Find, from libraries loaded
// on their first use.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <string>

namespace grid_dialogs {

// PrintDlgA; FALSE also when the dialog library cannot be loaded.
BOOL ShowPrintDialog(PRINTDLGA& request);
// CommDlgExtendedError; CDERR_INITIALIZATION when the dialog library cannot be loaded.
DWORD LastError();
// FindTextA; null also when the dialog library cannot be loaded.
HWND ShowFindDialog(FINDREPLACEA& request);
// The default printer's name; false when there is none or the spooler cannot be loaded.
bool DefaultPrinterName(std::string& name);

} // namespace grid_dialogs
