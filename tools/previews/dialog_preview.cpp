// Shows every dialog of the console side by side with sample contents, for a look at the
// layouts (screenshots). Ends after the number of seconds given (default 20).
#include "res/resource.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <initializer_list>

namespace {
HINSTANCE Module() {
    return GetModuleHandleA(nullptr);
}

HIMAGELIST ImagesOf(std::initializer_list<UINT> bitmaps, UINT icon = 0) {
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 4, 1);
    for (UINT id : bitmaps) {
        HBITMAP bitmap = LoadBitmapA(Module(), MAKEINTRESOURCEA(id));
        ImageList_AddMasked(list, bitmap, RGB(255, 255, 255));
        DeleteObject(bitmap);
    }
    if (icon)
        ImageList_AddIcon(list, static_cast<HICON>(LoadImageA(Module(), MAKEINTRESOURCEA(icon),
                                                              IMAGE_ICON, 16, 16, 0)));
    return list;
}

HTREEITEM AddTreeItem(HWND tree, HTREEITEM parent, const char* text, int image) {
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<char*>(text);
    insert.item.iImage = insert.item.iSelectedImage = image;
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

void FillSamples(HWND dialog, UINT id) {
    switch (id) {
    case IDD_FREQUENCY:
        SetDlgItemTextA(dialog, IDC_FREQUENCY_SECONDS, "5");
        break;
    case IDD_COLUMNS:
        for (const char* text : {"% Space Free", "Overdraft (AX Only)", "Write Through (AX Only)"})
            SendDlgItemMessageA(dialog, IDC_AVAILABLE_COLUMNS, LB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(text));
        for (const char* text :
             {"Status", "% Space Used", "Server", "Object Name", "User (AX Only)"})
            SendDlgItemMessageA(dialog, IDC_DISPLAYED_COLUMNS, LB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(text));
        CheckRadioButton(dialog, IDC_SPACE_UNIT_MEGABYTES, IDC_SPACE_UNIT_GIGABYTES,
                         IDC_SPACE_UNIT_MEGABYTES);
        break;
    case IDD_SERVER_CHOOSER: {
        HWND tree = GetDlgItem(dialog, IDC_SERVER_TREE);
        TreeView_SetImageList(tree, ImagesOf({IDB_DOMAIN_ROOT, IDB_DOMAIN}, IDI_SERVER),
                              TVSIL_NORMAL);
        HTREEITEM root = AddTreeItem(tree, TVI_ROOT, "Domain", 0);
        AddTreeItem(tree, root, "WORKGROUP", 1);
        AddTreeItem(tree, TVI_ROOT, "FILESERVER", 2);
        TreeView_Expand(tree, root, TVE_EXPAND);
        SetDlgItemTextA(dialog, IDC_COMPUTER_NAME, "FILESERVER");
        break;
    }
    case IDD_FOLDER_CHOOSER: {
        HWND tree = GetDlgItem(dialog, IDC_FOLDER_TREE);
        TreeView_SetImageList(
            tree, ImagesOf({IDB_FOLDER_OPEN, IDB_FOLDER, IDB_FIXED_DRIVE, IDB_REMOVABLE_DRIVE}),
            TVSIL_NORMAL);
        HTREEITEM drive = AddTreeItem(tree, TVI_ROOT, "C:", 2);
        AddTreeItem(tree, drive, "data", 1);
        AddTreeItem(tree, drive, "users", 1);
        AddTreeItem(tree, TVI_ROOT, "Z:", 3);
        TreeView_Expand(tree, drive, TVE_EXPAND);
        break;
    }
    case IDD_NEW_FOLDER:
        SetDlgItemTextA(dialog, IDC_CURRENT_FOLDER, "The current folder is\nC:\\data\\projects");
        break;
    case IDD_TEMPLATE_CHOOSER: {
        HWND list = GetDlgItem(dialog, IDC_CHOOSER_LIST);
        ListView_SetImageList(list, ImagesOf({}, IDI_TEMPLATE), LVSIL_SMALL);
        LVCOLUMNA column{};
        column.mask = LVCF_WIDTH;
        column.cx = 200;
        ListView_InsertColumn(list, 0, &column);
        int row = 0;
        for (const char* text : {"<User Fallback>", "<Directory Fallback>", "Home folders"}) {
            LVITEMA item{};
            item.mask = LVIF_TEXT | LVIF_IMAGE;
            item.iItem = row++;
            item.pszText = const_cast<char*>(text);
            ListView_InsertItem(list, &item);
        }
        SendDlgItemMessageA(dialog, IDC_CHOOSER_COMPUTER, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>("FILESERVER"));
        SendDlgItemMessageA(dialog, IDC_CHOOSER_COMPUTER, CB_SETCURSEL, 0, 0);
        break;
    }
    }
}

INT_PTR CALLBACK PreviewProc(HWND dialog, UINT message, WPARAM, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        FillSamples(dialog, static_cast<UINT>(lparam));
        return TRUE;
    }
    if (message == WM_DRAWITEM) {
        auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(lparam);
        UINT bitmap = draw->CtlID == IDC_ADD_COLUMN ? IDB_ADD_COLUMN : IDB_REMOVE_COLUMN;
        DrawFrameControl(draw->hDC, &draw->rcItem, DFC_BUTTON, DFCS_BUTTONPUSH);
        HBITMAP image = LoadBitmapA(Module(), MAKEINTRESOURCEA(bitmap));
        HDC source = CreateCompatibleDC(draw->hDC);
        HGDIOBJ old = SelectObject(source, image);
        int x = (draw->rcItem.left + draw->rcItem.right - 16) / 2;
        int y = (draw->rcItem.top + draw->rcItem.bottom - 16) / 2;
        TransparentBlt(draw->hDC, x, y, 16, 16, source, 0, 0, 16, 16, RGB(255, 255, 255));
        SelectObject(source, old);
        DeleteDC(source);
        DeleteObject(image);
        return TRUE;
    }
    return FALSE;
}
} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR command_line, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    int seconds = command_line && *command_line ? std::atoi(command_line) : 20;
    const UINT dialogs[] = {IDD_ABOUT,           IDD_FREQUENCY,      IDD_NEW_FOLDER,
                            IDD_COLUMNS,         IDD_SERVER_CHOOSER, IDD_FOLDER_CHOOSER,
                            IDD_TEMPLATE_CHOOSER};
    int x = 0, y = 0, row_height = 0;
    for (UINT id : dialogs) {
        HWND dialog = CreateDialogParamA(Module(), MAKEINTRESOURCEA(id), nullptr, PreviewProc, id);
        RECT rect;
        GetWindowRect(dialog, &rect);
        int width = rect.right - rect.left, height = rect.bottom - rect.top;
        if (x + width > 1280) {
            x = 0;
            y += row_height;
            row_height = 0;
        }
        SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        ShowWindow(dialog, SW_SHOWNOACTIVATE);
        x += width;
        row_height = row_height > height ? row_height : height;
    }
    SetTimer(nullptr, 0, seconds * 1000, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && !message.hwnd)
            break;
        DispatchMessageA(&message);
    }
    return 0;
}
