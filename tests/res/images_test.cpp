#include "resource_ids.h"

#include <windows.h>
#include <gtest/gtest.h>

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

SIZE BitmapSize(UINT id) {
    SIZE size{0, 0};
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(Module(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (bitmap) {
        BITMAP info{};
        GetObjectA(bitmap, sizeof info, &info);
        size = {info.bmWidth, info.bmHeight};
        DeleteObject(bitmap);
    }
    return size;
}

COLORREF BitmapPixel(UINT id, int x, int y) {
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(Module(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    COLORREF colour = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
    return colour;
}
} // namespace

TEST(Images, EveryIconHoldsA16And32PixelImage) {
    for (NamedId named : kIconIds) {
        UINT id = named.id;
        EXPECT_EQ(16, StoredIconSize(id, 16)) << "icon " << id;
        EXPECT_EQ(32, StoredIconSize(id, 32)) << "icon " << id;
        HICON icon = static_cast<HICON>(
            LoadImageA(Module(), MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
        ASSERT_NE(nullptr, icon) << "icon " << id;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP mask{};
        GetObjectA(info.hbmMask, sizeof mask, &mask);
        EXPECT_EQ(16, mask.bmWidth) << "icon " << id;
        DeleteObject(info.hbmMask);
        DeleteObject(info.hbmColor);
        DestroyIcon(icon);
    }
}

TEST(Images, EveryBitmapIs16By16OnWhite) {
    for (NamedId bitmap : kBitmapIds) {
        UINT id = bitmap.id;
        SIZE size = BitmapSize(id);
        EXPECT_EQ(16, size.cx) << "bitmap " << id;
        EXPECT_EQ(16, size.cy) << "bitmap " << id;
        // Image lists and cells mask white; the top-left corner is background in every picture
        // drawn on a background at all (the report set and the disk reach the corner).
        if (id != IDB_REPORT_SET && id != IDB_OWNER_DEFAULT) {
            EXPECT_EQ(RGB(255, 255, 255), BitmapPixel(id, 0, 0)) << "bitmap " << id;
        }
    }
}

TEST(Images, ToolbarBitmapHoldsOneImagePerButtonOnTheMaskColour) {
    SIZE size = BitmapSize(IDR_MAINFRAME);
    EXPECT_EQ(7 * 16, size.cx);
    EXPECT_EQ(15, size.cy);
    EXPECT_EQ(RGB(TOOLBAR_MASK_RED, TOOLBAR_MASK_GREEN, TOOLBAR_MASK_BLUE),
              BitmapPixel(IDR_MAINFRAME, 0, 0));
}

TEST(Images, StatusFlagsTakeTheThresholdColours) {
    // The cloth of each flag, drawn into a 16 x 16 bitmap, has the state's colour.
    struct Flag {
        UINT id;
        COLORREF colour;
    };
    for (Flag flag :
         {Flag{IDI_STATUS_THRESHOLD1, RGB(255, 0, 0)},
          Flag{IDI_STATUS_THRESHOLD2, RGB(255, 200, 0)},
          Flag{IDI_STATUS_THRESHOLD3, RGB(255, 200, 0)},
          Flag{IDI_STATUS_THRESHOLD4, RGB(0, 150, 0)}, Flag{IDI_STATUS_THRESHOLD5, RGB(0, 150, 0)},
          Flag{IDI_STATUS_OK, RGB(0, 150, 0)}}) {
        HICON icon = static_cast<HICON>(
            LoadImageA(Module(), MAKEINTRESOURCEA(flag.id), IMAGE_ICON, 16, 16, 0));
        ASSERT_NE(nullptr, icon);
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
        HGDIOBJ old = SelectObject(dc, bitmap);
        RECT all{0, 0, 16, 16};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        DrawIconEx(dc, 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
        EXPECT_EQ(flag.colour, GetPixel(dc, 5, 5)) << "icon " << flag.id;
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
        DestroyIcon(icon);
    }
}
