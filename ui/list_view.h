// A list view control (report view as used by the pages and choosers).
#pragma once

#include "ui/window.h"

#include <commctrl.h>

#include <string>

namespace ui {

class ListView : public Window {
public:
    using Window::Window;

    int InsertColumn(int index, const std::string& title, int width,
                     int format = LVCFMT_LEFT) const {
        LVCOLUMNA column{};
        column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.fmt = format;
        column.cx = width;
        column.pszText = const_cast<char*>(title.c_str());
        column.iSubItem = index;
        return static_cast<int>(
            Send(LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column)));
    }
    int ColumnCount() const {
        return static_cast<int>(SendMessageA(Header(), HDM_GETITEMCOUNT, 0, 0));
    }
    HWND Header() const { return reinterpret_cast<HWND>(Send(LVM_GETHEADER)); }
    int StringWidth(const std::string& text) const {
        return static_cast<int>(
            Send(LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(text.c_str())));
    }

    // Returns the new item's index, -1 on failure.
    int InsertItem(int index, const std::string& text, int image = -1, LPARAM data = 0) const {
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_PARAM | (image >= 0 ? LVIF_IMAGE : 0);
        item.iItem = index;
        item.pszText = const_cast<char*>(text.c_str());
        item.iImage = image;
        item.lParam = data;
        return static_cast<int>(Send(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    }
    bool SetItemText(int index, int subItem, const std::string& text) const {
        LVITEMA item{};
        item.iSubItem = subItem;
        item.pszText = const_cast<char*>(text.c_str());
        return Send(LVM_SETITEMTEXTA, static_cast<WPARAM>(index),
                    reinterpret_cast<LPARAM>(&item)) != 0;
    }
    std::string ItemText(int index, int subItem) const {
        char buffer[1024] = {};
        LVITEMA item{};
        item.iSubItem = subItem;
        item.pszText = buffer;
        item.cchTextMax = sizeof buffer;
        Send(LVM_GETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        return buffer;
    }
    LPARAM ItemData(int index) const {
        LVITEMA item{};
        item.mask = LVIF_PARAM;
        item.iItem = index;
        Send(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        return item.lParam;
    }
    int Count() const { return static_cast<int>(Send(LVM_GETITEMCOUNT)); }
    bool DeleteItem(int index) const {
        return Send(LVM_DELETEITEM, static_cast<WPARAM>(index)) != 0;
    }
    bool DeleteAllItems() const { return Send(LVM_DELETEALLITEMS) != 0; }

    // The first selected item after `after` (-1: from the start), -1 when none.
    int NextSelected(int after = -1) const {
        return static_cast<int>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(after), LVNI_SELECTED));
    }
    void Select(int index, bool select = true) const {
        LVITEMA item{};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = select ? LVIS_SELECTED | LVIS_FOCUSED : 0;
        Send(LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    }
    void EnsureVisible(int index) const {
        Send(LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
    }

    // The list does not destroy it (unless the control lacks LVS_SHAREIMAGELISTS and owns it).
    void SetImageList(HIMAGELIST list, int kind = LVSIL_SMALL) const {
        Send(LVM_SETIMAGELIST, static_cast<WPARAM>(kind), reinterpret_cast<LPARAM>(list));
    }
    void SetExtendedStyle(DWORD style) const { Send(LVM_SETEXTENDEDLISTVIEWSTYLE, style, style); }
};

} // namespace ui
