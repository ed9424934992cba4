// A tree view control.
#pragma once

#include "ui/window.h"

#include <commctrl.h>

#include <string>

namespace ui {

class TreeView : public Window {
public:
    using Window::Window;

    HTREEITEM InsertItem(const std::string& text, HTREEITEM parent = TVI_ROOT,
                         HTREEITEM after = TVI_LAST, int image = -1, int selectedImage = -1,
                         LPARAM data = 0, bool hasChildren = false) const {
        TVINSERTSTRUCTA insert{};
        insert.hParent = parent;
        insert.hInsertAfter = after;
        TVITEMA& item = insert.item;
        item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN;
        item.pszText = const_cast<char*>(text.c_str());
        item.lParam = data;
        item.cChildren = hasChildren ? 1 : 0;
        if (image >= 0) {
            item.mask |= TVIF_IMAGE | TVIF_SELECTEDIMAGE;
            item.iImage = image;
            item.iSelectedImage = selectedImage >= 0 ? selectedImage : image;
        }
        return reinterpret_cast<HTREEITEM>(
            Send(TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    }
    bool DeleteItem(HTREEITEM item) const {
        return Send(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item)) != 0;
    }
    bool DeleteAllItems() const { return DeleteItem(TVI_ROOT); }

    std::string ItemText(HTREEITEM handle) const {
        char buffer[1024] = {};
        TVITEMA item{};
        item.mask = TVIF_TEXT;
        item.hItem = handle;
        item.pszText = buffer;
        item.cchTextMax = sizeof buffer;
        Send(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        return buffer;
    }
    bool SetItemText(HTREEITEM handle, const std::string& text) const {
        TVITEMA item{};
        item.mask = TVIF_TEXT;
        item.hItem = handle;
        item.pszText = const_cast<char*>(text.c_str());
        return Send(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item)) != 0;
    }
    LPARAM ItemData(HTREEITEM handle) const {
        TVITEMA item{};
        item.mask = TVIF_PARAM;
        item.hItem = handle;
        Send(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        return item.lParam;
    }
    // Whether the item shows an expand button without having children yet.
    void SetHasChildren(HTREEITEM handle, bool hasChildren) const {
        TVITEMA item{};
        item.mask = TVIF_CHILDREN;
        item.hItem = handle;
        item.cChildren = hasChildren ? 1 : 0;
        Send(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }

    HTREEITEM Next(HTREEITEM item, UINT relation) const {
        return reinterpret_cast<HTREEITEM>(
            Send(TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
    }
    HTREEITEM Root() const { return Next(nullptr, TVGN_ROOT); }
    HTREEITEM Child(HTREEITEM item) const { return Next(item, TVGN_CHILD); }
    HTREEITEM NextSibling(HTREEITEM item) const { return Next(item, TVGN_NEXT); }
    HTREEITEM ParentItem(HTREEITEM item) const { return Next(item, TVGN_PARENT); }
    HTREEITEM Selection() const { return Next(nullptr, TVGN_CARET); }
    // The child of `parent` (null: a top-level item) whose text is `text` without regard to
    // case, or null.
    HTREEITEM FindChild(HTREEITEM parent, const std::string& text) const {
        for (HTREEITEM child = parent ? Child(parent) : Root(); child; child = NextSibling(child))
            if (lstrcmpiA(ItemText(child).c_str(), text.c_str()) == 0)
                return child;
        return nullptr;
    }
    bool Select(HTREEITEM item) const {
        return Send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)) != 0;
    }
    bool Expand(HTREEITEM item, UINT action = TVE_EXPAND) const {
        return Send(TVM_EXPAND, action, reinterpret_cast<LPARAM>(item)) != 0;
    }
    int Count() const { return static_cast<int>(Send(TVM_GETCOUNT)); }

    // The tree does not take ownership; the caller's image list must outlive it.
    void SetImageList(HIMAGELIST list, int kind = TVSIL_NORMAL) const {
        Send(TVM_SETIMAGELIST, static_cast<WPARAM>(kind), reinterpret_cast<LPARAM>(list));
    }
};

} // namespace ui
