#include "dialog_checks.h"

#include <commctrl.h>

#include <sstream>

namespace {
INT_PTR CALLBACK PassiveDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

bool IsGroupBox(HWND window) {
    return ClassOf(window) == "Button" && (StyleOf(window) & BS_TYPEMASK) == BS_GROUPBOX;
}

bool IsPushButton(HWND window) {
    DWORD type = StyleOf(window) & BS_TYPEMASK;
    return ClassOf(window) == "Button" && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

RECT ClientRectOf(HWND dialog, HWND child) {
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
    std::ostringstream text;
    text << ClassOf(window) << " " << GetDlgCtrlID(window) << " \"" << WindowText(window) << "\"";
    return text.str();
}
} // namespace

TemplateDialog::TemplateDialog(UINT id) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    window_ = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), nullptr,
                                 PassiveDialogProc, 0);
}

TemplateDialog::~TemplateDialog() {
    if (window_)
        DestroyWindow(window_);
}

std::string WindowText(HWND window) {
    char text[512] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ClassOf(HWND window) {
    char name[128] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

DWORD StyleOf(HWND window) {
    return static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE));
}

std::vector<HWND> ChildrenOf(HWND dialog) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

HWND ChildWithText(HWND dialog, const std::string& text) {
    for (HWND child : ChildrenOf(dialog))
        if (WindowText(child) == text)
            return child;
    return nullptr;
}

RECT DialogUnits(HWND dialog, int left, int top, int right, int bottom) {
    RECT rect{left, top, right, bottom};
    MapDialogRect(dialog, &rect);
    return rect;
}

std::string LayoutFaults(HWND dialog) {
    std::ostringstream faults;
    RECT client;
    GetClientRect(dialog, &client);
    std::vector<HWND> children = ChildrenOf(dialog);
    RECT button = DialogUnits(dialog, 0, 0, 50, 14);
    for (size_t i = 0; i < children.size(); ++i) {
        RECT rect = ClientRectOf(dialog, children[i]);
        if (!Contains(client, rect))
            faults << Describe(children[i]) << " reaches outside the dialog\n";
        if (IsPushButton(children[i]) && WindowText(children[i]) != "..." &&
            (rect.right - rect.left != button.right || rect.bottom - rect.top != button.bottom))
            faults << Describe(children[i]) << " is not 50 x 14 units\n";
        for (size_t j = i + 1; j < children.size(); ++j) {
            RECT other = ClientRectOf(dialog, children[j]);
            RECT common;
            if (!IntersectRect(&common, &rect, &other))
                continue;
            bool held = (IsGroupBox(children[i]) && Contains(rect, other)) ||
                        (IsGroupBox(children[j]) && Contains(other, rect));
            if (!held)
                faults << Describe(children[i]) << " overlaps " << Describe(children[j]) << "\n";
        }
    }
    return faults.str();
}
