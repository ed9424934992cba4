// A push button, check box or radio button.
#pragma once

#include "ui/window.h"

namespace ui {

class Button : public Window {
public:
    using Window::Window;

    int CheckState() const { return static_cast<int>(Send(BM_GETCHECK)); }
    bool IsChecked() const { return CheckState() == BST_CHECKED; }
    void SetCheck(int state) const { Send(BM_SETCHECK, static_cast<WPARAM>(state)); }
    void Check(bool checked = true) const { SetCheck(checked ? BST_CHECKED : BST_UNCHECKED); }
    // Makes the button a two-state check box (BS_AUTOCHECKBOX), keeping its other styles.
    void MakeTwoStateCheckBox() const {
        ModifyStyle(BS_TYPEMASK, BS_AUTOCHECKBOX);
        Invalidate();
    }
    // Shows a bitmap on a BS_BITMAP button; the caller keeps owning the bitmap.
    HBITMAP SetBitmap(HBITMAP bitmap) const {
        return reinterpret_cast<HBITMAP>(
            Send(BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    }
    void Click() const { Send(BM_CLICK); }
};

} // namespace ui
