// Sub-pages laid out at run time match what the system's dialog manager makes of the same
// templates.
#include "quota/dynamic_dialog.h"
#include "ui/window_base.h"
#include "res/resource.h"

#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

INT_PTR CALLBACK PassiveDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

// A threshold page's template in a window of its own: the parent of the sub-pages.
class HostPage {
public:
    HostPage() {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_UPDOWN_CLASS | ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        m_frame.Create(nullptr, "", WS_POPUP);
        m_page = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_THRESHOLD_PAGE),
                                    m_frame.Handle(), PassiveDialogProc, 0);
    }
    HWND Page() const { return m_page; }

private:
    ui::WindowBase m_frame;
    HWND m_page;
};

// A control's class, style, id, text and place in its parent's client area (moved by `offset`).
std::string LookOf(HWND control, POINT offset = {}) {
    char name[64] = "", text[512] = "";
    GetClassNameA(control, name, sizeof name);
    GetWindowTextA(control, text, sizeof text);
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    OffsetRect(&rect, offset.x, offset.y);
    std::ostringstream look;
    look << CharLowerA(name) << " #" << GetDlgCtrlID(control) << " \"" << text << "\" style "
         << std::hex << GetWindowLongPtrA(control, GWL_STYLE) << std::dec << " at " << rect.left
         << "," << rect.top << "-" << rect.right << "," << rect.bottom;
    return look.str();
}

const DLGTEMPLATE* TemplateOf(UINT id) {
    HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(id), RT_DIALOG);
    return static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(nullptr, resource)));
}

constexpr UINT kSubPages[] = {IDD_ACTIVATION_SUBPAGE, IDD_MESSAGE_SUBPAGE, IDD_COMMAND_SUBPAGE};

} // namespace

TEST(DynamicDialog, EachSubPageMatchesTheSystemsDialogManagerMovedToThePlacementArea) {
    for (UINT id : kSubPages) {
        SCOPED_TRACE(id);
        HostPage host;
        quota::CDynamicDialog dynamic(host.Page(), static_cast<WORD>(id), IDC_SUBPAGE_PLACEMENT);
        ASSERT_TRUE(dynamic.Show(true));
        HWND reference = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), TemplateOf(id),
                                                    host.Page(), PassiveDialogProc, 0);
        ASSERT_NE(nullptr, reference);

        RECT placement;
        GetWindowRect(GetDlgItem(host.Page(), IDC_SUBPAGE_PLACEMENT), &placement);
        MapWindowPoints(nullptr, host.Page(), reinterpret_cast<POINT*>(&placement), 2);
        const POINT origin = dynamic.PlacementOrigin();
        EXPECT_EQ(placement.left, origin.x);
        EXPECT_EQ(placement.top, origin.y);

        std::vector<std::string> expected, made;
        for (HWND child = GetWindow(reference, GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT))
            expected.push_back(LookOf(child, origin));
        for (const quota::DynamicControl& control : dynamic.Controls) {
            made.push_back(LookOf(control.Window));
            const LONG_PTR exStyle = GetWindowLongPtrA(control.Window, GWL_EXSTYLE);
            const bool sunken =
                control.Kind == quota::KindEdit || control.Kind == quota::KindListBox;
            EXPECT_EQ(sunken, (exStyle & WS_EX_CLIENTEDGE) != 0) << made.back();
            if (control.Kind != quota::KindUpDown) { // an up-down control has no text
                EXPECT_EQ(SendMessageA(host.Page(), WM_GETFONT, 0, 0),
                          SendMessageA(control.Window, WM_GETFONT, 0, 0));
            }
        }
        EXPECT_EQ(expected, made);
        DestroyWindow(reference);
    }
}
