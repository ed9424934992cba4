// The picture control draws its bitmap stretched over the placeholder, with the transparent
// colour showing what was there before; pixels are read back from a memory bitmap.
#include "test_resources.h"
#include "ui/picture_ctrl.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr COLORREF kTransparent = RGB(198, 198, 198);
constexpr COLORREF kBackground = RGB(255, 0, 255);

// A placeholder of `width` x `height` pixels in a window of its own.
class Placeholder {
public:
    Placeholder(int width, int height) {
        m_parent = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                   nullptr, nullptr);
        CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE, 0, 0, width, height, m_parent,
                        reinterpret_cast<HMENU>(1247), nullptr, nullptr);
    }
    ~Placeholder() { DestroyWindow(m_parent); }
    HWND Parent() const { return m_parent; }

private:
    HWND m_parent;
};

// What the control draws over a magenta background of `width` x `height`, row by row.
std::vector<COLORREF> Drawn(ui::CPictureCtrl& picture, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    base::UniqueBitmap target(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    base::UniqueDc dc(CreateCompatibleDC(nullptr));
    base::SelectObjectScope selection(dc.Get(), target.Get());
    base::UniqueBrush background(CreateSolidBrush(kBackground));
    RECT all{0, 0, width, height};
    FillRect(dc.Get(), &all, background.Get());
    picture.Draw(dc.Get());
    std::vector<COLORREF> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(GetPixel(dc.Get(), x, y));
    return pixels;
}

int PaletteSize(HPALETTE palette) {
    WORD entries = 0;
    GetObjectA(palette, sizeof entries, &entries);
    return entries;
}

} // namespace

TEST(PictureCtrl, TransparentColourShowsTheBackgroundAndThePictureIsStretched) {
    for (UINT bitmap : {IDB_TEST_PICTURE24, IDB_TEST_PICTURE8}) {
        SCOPED_TRACE(bitmap);
        Placeholder placeholder(8, 4);
        ui::CPictureCtrl picture;
        picture.SetPicture(bitmap, true, kTransparent);
        ASSERT_TRUE(picture.SubclassDlgItem(1247, placeholder.Parent()));
        ASSERT_TRUE(picture.IsLoaded());
        EXPECT_FALSE(picture.MasksBuilt());

        const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255), green = RGB(0, 128, 0),
                       white = RGB(255, 255, 255), bg = kBackground;
        const std::vector<COLORREF> row0{red, red, bg, bg, blue, blue, bg, bg};
        const std::vector<COLORREF> row1{bg, bg, green, green, bg, bg, white, white};
        std::vector<COLORREF> expected;
        for (const auto* row : {&row0, &row0, &row1, &row1})
            expected.insert(expected.end(), row->begin(), row->end());
        EXPECT_EQ(expected, Drawn(picture, 8, 4));
        EXPECT_TRUE(picture.MasksBuilt());
        EXPECT_EQ(expected, Drawn(picture, 8, 4)); // the masks built once serve every paint
    }
}

TEST(PictureCtrl, EightBitPictureKeepsItsColoursAndDeeperOnesGetTheHalftonePalette) {
    Placeholder placeholder(8, 4);
    ui::CPictureCtrl eightBit, deep;
    eightBit.SetPicture(IDB_TEST_PICTURE8, true, kTransparent);
    deep.SetPicture(IDB_TEST_PICTURE24, true, kTransparent);
    ASSERT_TRUE(eightBit.SubclassDlgItem(1247, placeholder.Parent()));
    Placeholder other(8, 4);
    ASSERT_TRUE(deep.SubclassDlgItem(1247, other.Parent()));

    // The bitmap's colour table, in its order.
    const COLORREF table[] = {RGB(0, 0, 255), RGB(0, 128, 0), kTransparent, RGB(255, 0, 0),
                              RGB(255, 255, 255)};
    ASSERT_GE(PaletteSize(eightBit.Palette()), 5);
    PALETTEENTRY entries[5] = {};
    GetPaletteEntries(eightBit.Palette(), 0, 5, entries);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(table[i], RGB(entries[i].peRed, entries[i].peGreen, entries[i].peBlue)) << i;

    base::WindowDc screen(nullptr);
    base::UniquePalette halftone(CreateHalftonePalette(screen.Get()));
    EXPECT_EQ(PaletteSize(halftone.Get()), PaletteSize(deep.Palette()));
}

TEST(PictureCtrl, MissingBitmapDrawsNothing) {
    Placeholder placeholder(8, 4);
    ui::CPictureCtrl picture;
    picture.SetPicture(9999, true, kTransparent);
    ASSERT_TRUE(picture.SubclassDlgItem(1247, placeholder.Parent()));
    EXPECT_FALSE(picture.IsLoaded());
    EXPECT_EQ(std::vector<COLORREF>(32, kBackground), Drawn(picture, 8, 4));
}
