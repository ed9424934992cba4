// A list box.
#pragma once

#include "ui/window.h"

#include <string>

namespace ui {

class ListBox : public Window {
public:
    using Window::Window;

    // Adds the item at the end (or, with `at` >= 0, inserts it there); returns its index.
    int AddString(const std::string& text, int at = -1) const {
        return static_cast<int>(Send(at < 0 ? LB_ADDSTRING : LB_INSERTSTRING,
                                     static_cast<WPARAM>(at < 0 ? 0 : at),
                                     reinterpret_cast<LPARAM>(text.c_str())));
    }
    void DeleteString(int index) const { Send(LB_DELETESTRING, static_cast<WPARAM>(index)); }
    int Count() const { return static_cast<int>(Send(LB_GETCOUNT)); }
    int CurrentSelection() const { return static_cast<int>(Send(LB_GETCURSEL)); }
    void SetCurrentSelection(int index) const { Send(LB_SETCURSEL, static_cast<WPARAM>(index)); }
    LPARAM ItemData(int index) const { return Send(LB_GETITEMDATA, static_cast<WPARAM>(index)); }
    void SetItemData(int index, LPARAM data) const {
        Send(LB_SETITEMDATA, static_cast<WPARAM>(index), data);
    }
    std::string ItemText(int index) const {
        const LRESULT length = Send(LB_GETTEXTLEN, static_cast<WPARAM>(index));
        if (length == LB_ERR)
            return {};
        std::string text(static_cast<size_t>(length) + 1, '\0');
        Send(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(length));
        return text;
    }
};

} // namespace ui
