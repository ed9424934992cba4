// Pictures on BS_BITMAP push buttons.
#pragma once

#include "base/handles.h"

#include <windows.h>

namespace ui {

// Puts the program's bitmap resource `bitmapId`, its grey shades mapped to the system's 3D
// colours, on `button`; `holder` keeps the bitmap for as long as the button shows it.
inline void SetButtonBitmap(HWND button, UINT bitmapId, base::UniqueBitmap& holder) {
    holder.Reset(
        static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(bitmapId),
                                        IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS)));
    SendMessageA(button, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(holder.Get()));
}

} // namespace ui
