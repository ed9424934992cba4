#include "resource_ids.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string_view>

namespace {
HMODULE Module() {
    return GetModuleHandleA(nullptr);
}

// The pixel size of the image an icon group holds for the requested size, or 0 if it has none
// (the loader would then stretch another image).
int StoredIconSize(UINT id, int size) {
    HRSRC group = FindResourceA(Module(), MAKEINTRESOURCEA(id), RT_GROUP_ICON);
    if (!group)
        return 0;
    auto* directory = static_cast<BYTE*>(LockResource(LoadResource(Module(), group)));
    int image = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
    HRSRC found = FindResourceA(Module(), MAKEINTRESOURCEA(image), RT_ICON);
    if (!found)
        return 0;
    auto* header = static_cast<BITMAPINFOHEADER*>(LockResource(LoadResource(Module(), found)));
    return header->biWidth == header->biHeight / 2 && header->biWidth == size ? size : 0;
}

// A 16 x 16 picture drawn on white: an icon, or a bitmap resource when `icon` is false.
class Picture {
public:
    Picture(UINT id, bool icon) : m_dc(CreateCompatibleDC(nullptr)) {
        if (icon) {
            HDC screen = GetDC(nullptr);
            m_bitmap = CreateCompatibleBitmap(screen, 16, 16);
            ReleaseDC(nullptr, screen);
            m_old = SelectObject(m_dc, m_bitmap);
            RECT all{0, 0, 16, 16};
            FillRect(m_dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            HICON loaded = static_cast<HICON>(
                LoadImageA(Module(), MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0));
            m_loaded = loaded && DrawIconEx(m_dc, 0, 0, loaded, 16, 16, 0, nullptr, DI_NORMAL);
            DestroyIcon(loaded);
        } else {
            m_bitmap = static_cast<HBITMAP>(LoadImageA(Module(), MAKEINTRESOURCEA(id), IMAGE_BITMAP,
                                                       0, 0, LR_CREATEDIBSECTION));
            m_loaded = m_bitmap != nullptr;
            m_old = SelectObject(m_dc, m_bitmap);
        }
    }
    ~Picture() {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    bool Loaded() const { return m_loaded; }
    SIZE Size() const {
        BITMAP info{};
        GetObjectA(m_bitmap, sizeof info, &info);
        return {info.bmWidth, info.bmHeight};
    }
    COLORREF Pixel(int x, int y) const { return GetPixel(m_dc, x, y); }

private:
    HDC m_dc;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    bool m_loaded = false;
};
} // namespace

TEST(Images, EveryIconHoldsA16And32PixelImage) {
    for (NamedId icon : kIconIds) {
        EXPECT_EQ(16, StoredIconSize(icon.id, 16)) << icon.name;
        EXPECT_EQ(32, StoredIconSize(icon.id, 32)) << icon.name;
    }
}

TEST(Images, EveryBitmapIs16By16OnWhiteOrAPagePicture) {
    // The pictures of the server property sheet's pages: 48 x 48 on the colour that lets the
    // page show through.
    const std::pair<UINT, COLORREF> pagePictures[] = {
        {IDB_SERVICES_PICTURE, RGB(255, 255, 255)},
        {IDB_PRODUCT_PICTURE, RGB(192, 192, 192)},
        {IDB_MONITOR_PRODUCT_PICTURE, RGB(192, 192, 192)}};
    for (NamedId bitmap : kBitmapIds) {
        if (std::string_view(bitmap.name).ends_with("_PICTURE"))
            continue; // the property pages' pictures, below
        Picture picture(bitmap.id, false);
        ASSERT_TRUE(picture.Loaded()) << bitmap.name;
        auto page = std::find_if(std::begin(pagePictures), std::end(pagePictures),
                                 [&](const auto& entry) { return entry.first == bitmap.id; });
        if (page != std::end(pagePictures)) {
            EXPECT_EQ(48, picture.Size().cx) << bitmap.name;
            EXPECT_EQ(page->second, picture.Pixel(0, 0)) << bitmap.name;
            continue;
        }
        EXPECT_EQ(16, picture.Size().cx) << bitmap.name;
        EXPECT_EQ(16, picture.Size().cy) << bitmap.name;
        // Image lists and cells mask white; the top-left corner is background in every picture
        // drawn on a background at all (the report set and the disk reach the corner).
        if (bitmap.id != IDB_REPORT_SET && bitmap.id != IDB_OWNER_DEFAULT) {
            EXPECT_EQ(RGB(255, 255, 255), picture.Pixel(0, 0)) << bitmap.name;
        }
    }
}

TEST(Images, QuotaSheetPicturesAre32By32OnTheColourTheirPageDrawsTransparent) {
    const std::pair<UINT, COLORREF> pictures[] = {{IDB_QUOTA_PICTURE, RGB(198, 198, 198)},
                                                  {IDB_THRESHOLD_PICTURE, RGB(198, 198, 198)}};
    for (const auto& [id, background] : pictures) {
        Picture picture(id, false);
        ASSERT_TRUE(picture.Loaded()) << "bitmap " << id;
        EXPECT_EQ(32, picture.Size().cx) << "bitmap " << id;
        EXPECT_EQ(32, picture.Size().cy) << "bitmap " << id;
        EXPECT_EQ(background, picture.Pixel(0, 0)) << "bitmap " << id;
    }
}

TEST(Images, StatusFlagsTakeTheThresholdColours) {
    // The cloth of each flag has the state's colour.
    const std::pair<UINT, COLORREF> flags[] = {
        {IDI_STATUS_THRESHOLD1, RGB(255, 0, 0)},   {IDI_STATUS_THRESHOLD2, RGB(255, 200, 0)},
        {IDI_STATUS_THRESHOLD3, RGB(255, 200, 0)}, {IDI_STATUS_THRESHOLD4, RGB(0, 150, 0)},
        {IDI_STATUS_THRESHOLD5, RGB(0, 150, 0)},   {IDI_STATUS_OK, RGB(0, 150, 0)}};
    for (const auto& [id, colour] : flags) {
        Picture flag(id, true);
        ASSERT_TRUE(flag.Loaded()) << "icon " << id;
        EXPECT_EQ(colour, flag.Pixel(5, 5)) << "icon " << id;
    }
}
