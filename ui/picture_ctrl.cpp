#include "ui/picture_ctrl.h"

#include "ui/paint_dc.h"

#include <optional>
#include <vector>

namespace ui {

// Members in the order they must be set up; destruction in reverse puts back the objects the
// contexts replaced before the contexts and then the bitmaps are deleted.
struct CPictureCtrl::Picture {
    base::UniqueBitmap bitmap;
    base::UniquePalette palette;
    SIZE size{};
    base::UniqueDc memoryDc;
    std::optional<base::SelectObjectScope> memorySelection;

    base::UniqueBitmap image;
    base::UniqueBitmap mask;
    base::UniqueDc imageDc;
    base::UniqueDc maskDc;
    std::optional<base::SelectObjectScope> imageSelection;
    std::optional<base::SelectObjectScope> maskSelection;
};

namespace {

base::UniquePalette PaletteOf(HBITMAP bitmap, HDC memoryDc) {
    DIBSECTION section{};
    if (GetObjectA(bitmap, sizeof section, &section) != sizeof section)
        return {};
    DWORD colours = section.dsBmih.biClrUsed;
    if (colours == 0)
        colours = 1u << section.dsBmih.biBitCount;
    if (colours > 256) {
        base::WindowDc screen(nullptr);
        return base::UniquePalette(CreateHalftonePalette(screen.Get()));
    }
    std::vector<RGBQUAD> table(colours);
    colours = GetDIBColorTable(memoryDc, 0, colours, table.data());
    std::vector<BYTE> storage(sizeof(LOGPALETTE) + colours * sizeof(PALETTEENTRY));
    auto* palette = reinterpret_cast<LOGPALETTE*>(storage.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = static_cast<WORD>(colours);
    for (DWORD i = 0; i < colours; ++i)
        palette->palPalEntry[i] = {table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
    return base::UniquePalette(CreatePalette(palette));
}

} // namespace

CPictureCtrl::CPictureCtrl() = default;
CPictureCtrl::~CPictureCtrl() = default;

void CPictureCtrl::SetPicture(UINT bitmapId, bool transparent, COLORREF transparentColour,
                              HINSTANCE instance) {
    m_bitmapId = bitmapId;
    m_transparent = transparent;
    m_transparentColour = transparentColour;
    m_instance = instance ? instance : GetModuleHandleA(nullptr);
}

bool CPictureCtrl::SubclassDlgItem(int id, HWND dialog) {
    HWND placeholder = GetDlgItem(dialog, id);
    if (!placeholder || !Subclass(placeholder))
        return false;
    RECT client = ClientRect();
    m_clientSize = {client.right - client.left, client.bottom - client.top};
    Load();
    return true;
}

void CPictureCtrl::Load() {
    auto picture = std::make_unique<Picture>();
    picture->bitmap.Reset(static_cast<HBITMAP>(LoadImageA(
        m_instance, MAKEINTRESOURCEA(m_bitmapId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!picture->bitmap)
        return;
    BITMAP info{};
    GetObjectA(picture->bitmap.Get(), sizeof info, &info);
    picture->size = {info.bmWidth, info.bmHeight};
    picture->memoryDc.Reset(CreateCompatibleDC(nullptr));
    picture->memorySelection.emplace(picture->memoryDc.Get(), picture->bitmap.Get());
    picture->palette = PaletteOf(picture->bitmap.Get(), picture->memoryDc.Get());
    m_picture = std::move(picture);
}

void CPictureCtrl::BuildMasks(HDC dc) {
    Picture& p = *m_picture;
    const int width = p.size.cx, height = p.size.cy;
    {
        base::WindowDc screen(nullptr);
        p.image.Reset(CreateCompatibleBitmap(screen.Get(), width, height));
    }
    p.mask.Reset(CreateBitmap(width, height, 1, 1, nullptr));
    p.imageDc.Reset(CreateCompatibleDC(dc));
    p.maskDc.Reset(CreateCompatibleDC(dc));
    p.imageSelection.emplace(p.imageDc.Get(), p.image.Get());
    p.maskSelection.emplace(p.maskDc.Get(), p.mask.Get());
    if (p.palette) {
        SelectPalette(p.imageDc.Get(), p.palette.Get(), FALSE);
        RealizePalette(p.imageDc.Get());
    }
    BitBlt(p.imageDc.Get(), 0, 0, width, height, p.memoryDc.Get(), 0, 0, SRCCOPY);
    // White in the mask where the image has the transparent colour, black elsewhere.
    SetBkColor(p.imageDc.Get(), m_transparentColour);
    BitBlt(p.maskDc.Get(), 0, 0, width, height, p.imageDc.Get(), 0, 0, SRCCOPY);
    // The transparent pixels of the image turn black.
    SetBkColor(p.imageDc.Get(), RGB(0, 0, 0));
    SetTextColor(p.imageDc.Get(), RGB(255, 255, 255));
    BitBlt(p.imageDc.Get(), 0, 0, width, height, p.maskDc.Get(), 0, 0, SRCAND);
}

void CPictureCtrl::Draw(HDC dc) {
    if (!m_picture)
        return;
    Picture& p = *m_picture;
    if ((GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) && p.palette) {
        SelectPalette(dc, p.palette.Get(), FALSE);
        RealizePalette(dc);
    }
    SetStretchBltMode(dc, COLORONCOLOR);
    const int width = m_clientSize.cx, height = m_clientSize.cy;
    if (!m_transparent) {
        StretchBlt(dc, 0, 0, width, height, p.memoryDc.Get(), 0, 0, p.size.cx, p.size.cy, SRCCOPY);
        return;
    }
    if (!p.mask)
        BuildMasks(dc);
    SetBkColor(dc, RGB(255, 255, 255));
    SetTextColor(dc, RGB(0, 0, 0));
    StretchBlt(dc, 0, 0, width, height, p.maskDc.Get(), 0, 0, p.size.cx, p.size.cy, SRCAND);
    StretchBlt(dc, 0, 0, width, height, p.imageDc.Get(), 0, 0, p.size.cx, p.size.cy, SRCPAINT);
}

bool CPictureCtrl::OnPaint() {
    PaintDc paint(m_hwnd);
    Draw(paint.Get());
    return true;
}

void CPictureCtrl::OnDestroy() {
    m_picture.reset();
}

} // namespace ui
