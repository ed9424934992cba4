// The picture beside a property page's controls, in the page's placeholder control. Until the
// framework's transparent picture control is available this is a plain static bitmap whose
// transparent colour is replaced by the page's background colour once, when it is loaded.
#pragma once

#include "base/handles.h"

#include <windows.h>

class CPagePicture {
public:
    // The bitmap resource and its colour that lets the page show through.
    void SetPicture(UINT bitmap, bool transparent, COLORREF colour);
    // Shows the picture in the static placeholder `control` of `page`.
    void TakeOver(HWND page, int control);

private:
    UINT m_bitmapId = 0;
    bool m_transparent = false;
    COLORREF m_colour = 0;
    base::UniqueBitmap m_bitmap;
};

// The control the pages show their pictures with; ui::CPictureCtrl once the framework has it.
using PagePicture = CPagePicture;
