// The picture control draws its bitmap stretched over the placeholder, with the transparent
// colour showing what was there before; pixels are read back from a memory bitmap.
#include "test_resources.h"
#include "ui/picture_ctrl.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr COLORREF kTransparent = RGB(198, 198, 198);
constexpr COLORREF kBackground = RGB(255, 0, 255);

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

} // namespace

TEST(PictureCtrl, TransparentColourShowsTheBackgroundAndThePictureIsStretched) {
    for (UINT bitmap : {IDB_TEST_PICTURE24, IDB_TEST_PICTURE8}) {
        SCOPED_TRACE(bitmap);
        ui::WindowBase dialog; // with a placeholder of 8 x 4 pixels
        ASSERT_TRUE(dialog.Create(nullptr, "", WS_POPUP));
        CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE, 0, 0, 8, 4, dialog.Handle(),
                        reinterpret_cast<HMENU>(1247), nullptr, nullptr);
        ui::CPictureCtrl picture;
        picture.SetPicture(bitmap, true, kTransparent);
        ASSERT_TRUE(picture.SubclassDlgItem(1247, dialog.Handle()));

        const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255), green = RGB(0, 128, 0),
                       white = RGB(255, 255, 255), bg = kBackground;
        const std::vector<COLORREF> row0{red, red, bg, bg, blue, blue, bg, bg};
        const std::vector<COLORREF> row1{bg, bg, green, green, bg, bg, white, white};
        std::vector<COLORREF> expected;
        for (const auto* row : {&row0, &row0, &row1, &row1})
            expected.insert(expected.end(), row->begin(), row->end());
        EXPECT_EQ(expected, Drawn(picture, 8, 4));
        EXPECT_EQ(expected, Drawn(picture, 8, 4)); // the masks built once serve every paint
    }
}
