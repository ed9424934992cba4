#include "base/handles.h"
#include "resource_ids.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

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

// A bitmap resource selected into a memory device context.
class Picture {
public:
    explicit Picture(UINT id)
        : m_dc(CreateCompatibleDC(nullptr)),
          m_bitmap(static_cast<HBITMAP>(
              LoadImageA(Module(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))),
          m_old(SelectObject(m_dc.Get(), m_bitmap.Get())) {}
    ~Picture() { SelectObject(m_dc.Get(), m_old); }
    bool Loaded() const { return static_cast<bool>(m_bitmap); }
    SIZE Size() const {
        BITMAP info{};
        GetObjectA(m_bitmap.Get(), sizeof info, &info);
        return {info.bmWidth, info.bmHeight};
    }
    COLORREF Pixel(int x, int y) const { return GetPixel(m_dc.Get(), x, y); }

private:
    base::UniqueDc m_dc;
    base::UniqueBitmap m_bitmap;
    HGDIOBJ m_old;
};
} // namespace

TEST(Images, EveryIconHoldsA16And32PixelImage) {
    for (NamedId icon : kIconIds) {
        EXPECT_EQ(16, StoredIconSize(icon.id, 16)) << icon.name;
        EXPECT_EQ(32, StoredIconSize(icon.id, 32)) << icon.name;
    }
}

// Image lists and cells mask white: every small bitmap is 16 x 16 with background in its top-left
// corner (the report set and the disk reach the corner). The pictures of the property pages are
// larger, on the colour their page draws transparent.
TEST(Images, EveryBitmapHasItsSizeAndItsBackgroundInTheCorner) {
    const struct {
        UINT id;
        int size;
        COLORREF corner;
    } pictures[] = {{IDB_SERVICES_PICTURE, 48, RGB(255, 255, 255)},
                    {IDB_PRODUCT_PICTURE, 48, RGB(192, 192, 192)},
                    {IDB_MONITOR_PRODUCT_PICTURE, 48, RGB(192, 192, 192)},
                    {IDB_QUOTA_PICTURE, 32, RGB(198, 198, 198)},
                    {IDB_THRESHOLD_PICTURE, 32, RGB(198, 198, 198)}};
    for (NamedId bitmap : kBitmapIds) {
        Picture picture(bitmap.id);
        ASSERT_TRUE(picture.Loaded()) << bitmap.name;
        auto special = std::find_if(std::begin(pictures), std::end(pictures),
                                    [&](const auto& entry) { return entry.id == bitmap.id; });
        const bool page = special != std::end(pictures);
        const int size = page ? special->size : 16;
        EXPECT_EQ(size, picture.Size().cx) << bitmap.name;
        EXPECT_EQ(size, picture.Size().cy) << bitmap.name;
        if (page || (bitmap.id != IDB_REPORT_SET && bitmap.id != IDB_OWNER_DEFAULT)) {
            EXPECT_EQ(page ? special->corner : RGB(255, 255, 255), picture.Pixel(0, 0))
                << bitmap.name;
        }
    }
}
