// Every dialog of the console loads with a tidy layout. (The dialogs' behaviour is tested where
// the code drives them.)
#include "res/resource.h"
#include "ui_test_support.h"

#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {
INT_PTR CALLBACK PassiveDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

struct WindowDestroyer {
    void operator()(HWND window) const { DestroyWindow(window); }
};

// A dialog created from one of this program's templates, with no behaviour of its own.
std::unique_ptr<HWND__, WindowDestroyer> TemplateDialog(UINT id) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    return std::unique_ptr<HWND__, WindowDestroyer>(CreateDialogParamA(
        GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), nullptr, PassiveDialogProc, 0));
}

DWORD ButtonType(HWND window) {
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    return lstrcmpiA(name, "Button") == 0 ? GetWindowLongA(window, GWL_STYLE) & BS_TYPEMASK
                                          : DWORD(-1);
}

RECT RectInDialog(HWND dialog, HWND child) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool Contains(const RECT& outer, const RECT& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

std::string Describe(HWND window) {
    return std::to_string(GetDlgCtrlID(window)) + " \"" + WindowTextOf(window) + "\"";
}

// Children that overlap each other (a group box may hold others) or reach outside the client
// area, one per line.
std::string LayoutFaults(HWND dialog) {
    std::ostringstream faults;
    RECT client;
    GetClientRect(dialog, &client);
    std::vector<HWND> children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    for (size_t i = 0; i < children.size(); ++i) {
        RECT rect = RectInDialog(dialog, children[i]);
        if (!Contains(client, rect))
            faults << Describe(children[i]) << " reaches outside the dialog\n";
        for (size_t j = i + 1; j < children.size(); ++j) {
            RECT other = RectInDialog(dialog, children[j]), common;
            bool held = (ButtonType(children[i]) == BS_GROUPBOX && Contains(rect, other)) ||
                        (ButtonType(children[j]) == BS_GROUPBOX && Contains(other, rect));
            if (IntersectRect(&common, &rect, &other) && !held)
                faults << Describe(children[i]) << " overlaps " << Describe(children[j]) << "\n";
        }
    }
    return faults.str();
}
} // namespace

TEST(Dialogs, EveryDialogLoadsWithACaptionADefaultButtonAndATidyLayout) {
    for (UINT id : {IDD_ABOUT, IDD_FREQUENCY, IDD_COLUMNS, IDD_SERVER_CHOOSER, IDD_FOLDER_CHOOSER,
                    IDD_NEW_FOLDER, IDD_TEMPLATE_CHOOSER}) {
        const auto dialog = TemplateDialog(id);
        ASSERT_NE(nullptr, dialog) << "dialog " << id;
        EXPECT_FALSE(WindowTextOf(dialog.get()).empty()) << "dialog " << id;
        LRESULT button = SendMessageA(dialog.get(), DM_GETDEFID, 0, 0);
        EXPECT_EQ(DC_HASDEFID, HIWORD(button)) << "dialog " << id;
        EXPECT_EQ(IDOK, LOWORD(button)) << "dialog " << id;
        EXPECT_EQ("", LayoutFaults(dialog.get())) << "dialog " << id;
    }
}
