#include "server/page_picture.h"

void CPagePicture::SetPicture(UINT bitmap, bool transparent, COLORREF colour) {
    m_bitmapId = bitmap;
    m_transparent = transparent;
    m_colour = colour;
}

void CPagePicture::TakeOver(HWND page, int control) {
    m_bitmap.Reset(
        static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_bitmapId),
                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!m_bitmap)
        return;
    if (m_transparent) {
        base::UniqueDc dc(CreateCompatibleDC(nullptr));
        HGDIOBJ old = SelectObject(dc.Get(), m_bitmap.Get());
        RGBQUAD colours[256];
        UINT count = GetDIBColorTable(dc.Get(), 0, 256, colours);
        COLORREF face = GetSysColor(COLOR_3DFACE);
        for (UINT i = 0; i < count; ++i) {
            if (RGB(colours[i].rgbRed, colours[i].rgbGreen, colours[i].rgbBlue) == m_colour)
                colours[i] = RGBQUAD{GetBValue(face), GetGValue(face), GetRValue(face), 0};
        }
        SetDIBColorTable(dc.Get(), 0, count, colours);
        SelectObject(dc.Get(), old);
    }
    SendDlgItemMessageA(page, control, STM_SETIMAGE, IMAGE_BITMAP,
                        reinterpret_cast<LPARAM>(m_bitmap.Get()));
}
