// A combo box.
#pragma once

#include "ui/window.h"

#include <string>

namespace ui {

class ComboBox : public Window {
public:
    using Window::Window;

    int AddString(const std::string& text) const {
        return static_cast<int>(Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
    }
    int InsertString(int index, const std::string& text) const {
        return static_cast<int>(Send(CB_INSERTSTRING, static_cast<WPARAM>(index),
                                     reinterpret_cast<LPARAM>(text.c_str())));
    }
    void ResetContent() const { Send(CB_RESETCONTENT); }
    int Count() const { return static_cast<int>(Send(CB_GETCOUNT)); }
    int CurrentSelection() const { return static_cast<int>(Send(CB_GETCURSEL)); }
    bool SetCurrentSelection(int index) const {
        return Send(CB_SETCURSEL, static_cast<WPARAM>(index)) != CB_ERR || index < 0;
    }
    std::string ItemText(int index) const {
        LRESULT length = Send(CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
        if (length == CB_ERR)
            return {};
        std::string text(static_cast<size_t>(length) + 1, '\0');
        Send(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(length));
        return text;
    }
    int FindExact(const std::string& text, int after = -1) const {
        return static_cast<int>(Send(CB_FINDSTRINGEXACT, static_cast<WPARAM>(after),
                                     reinterpret_cast<LPARAM>(text.c_str())));
    }
    LPARAM ItemData(int index) const { return Send(CB_GETITEMDATA, static_cast<WPARAM>(index)); }
    void SetItemData(int index, LPARAM data) const {
        Send(CB_SETITEMDATA, static_cast<WPARAM>(index), data);
    }
};

} // namespace ui
