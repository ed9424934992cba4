// Painting: progress bars fill their share with the cell's text colour and write their caption in
// the colour the control chooses. (The time one screen takes is measured by the grid benchmark.)
#include "grid_test_support.h"

#include "base/handles.h"
#include "grid/grid_progress.h"

#include <gtest/gtest.h>

#include <optional>

using namespace gridtest;

namespace {

class WhiteCaptionBar : public CGridProgressCtrl {
public:
    using CGridProgressCtrl::CGridProgressCtrl;
    COLORREF GetCaptionColor(const CGridCellPaint&, bool, COLORREF) const override {
        return RGB(255, 255, 255);
    }
};

using GridPaint = GridFixture<>;

// A 32-bit DIB of `size` selected into a memory DC.
struct Canvas {
    explicit Canvas(const RECT& size) {
        BITMAPINFO info{};
        info.bmiHeader = {
            sizeof info.bmiHeader, size.right, -size.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        bitmap.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        selection.emplace(dc.Get(), bitmap.Get());
    }
    COLORREF Pixel(int x, int y) const { return GetPixel(dc.Get(), x, y); }

    base::UniqueDc dc{CreateCompatibleDC(nullptr)};
    base::UniqueBitmap bitmap;
    std::optional<base::SelectObjectScope> selection;
};

int CountPixels(const Canvas& canvas, const RECT& area, COLORREF color) {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            count += canvas.Pixel(x, y) == color;
    return count;
}

} // namespace

TEST_F(GridPaint, BarFillsItsShareAndItsCaptionTakesTheColourTheControlChooses) {
    LOGFONTA font = grid.GetStandardFont();
    font.lfQuality = NONANTIALIASED_QUALITY;
    grid.SetStandardFont(font);
    RECT client;
    GetClientRect(grid.Handle(), &client);
    constexpr COLORREF kBar = RGB(255, 0, 0), kBackground = RGB(0, 0, 128),
                       kComplement = RGB(255, 255, 127), kBlack = RGB(0, 0, 0);
    grid.SetColCount(1);
    grid.SetRowCount(3);
    grid.SetColWidth(0, 0);
    grid.SetColWidth(1, 200);
    grid.SetColumnStyle(1, CGridStyle()
                               .SetControl(GRID_IDS_CTRL_PROGRESS)
                               .SetTextColor(kBar)
                               .SetInterior(kBackground)
                               .SetUserAttribute(GRID_IDS_UA_PROGRESS_LOWER, "0")
                               .SetUserAttribute(GRID_IDS_UA_PROGRESS_UPPER, "100")
                               .SetUserAttribute(GRID_IDS_UA_PROGRESS_CAPTION, "%ld %%"));
    grid.SetValue(1, 1, "90");
    grid.SetValue(2, 1, "5");
    grid.SetStyle(3, 1,
                  CGridStyle().SetValue("150").SetUserAttribute(GRID_IDS_UA_PROGRESS_UPPER, "150"));
    Canvas canvas(client);
    grid.PaintTo(canvas.dc.Get(), client);
    const int height = grid.GetRowHeight();
    auto cell = [&](int row) { return RECT{0, height * row, 199, height * (row + 1) - 1}; };

    EXPECT_EQ(canvas.Pixel(2, cell(2).top + 1), kBar);
    EXPECT_EQ(canvas.Pixel(12, cell(2).top + 1), kBackground); // 5 % of 199 is 9
    EXPECT_EQ(canvas.Pixel(197, cell(3).top + 1), kBar);       // 150 of 150
    EXPECT_EQ(canvas.Pixel(1, cell(3).bottom - 2), kBar);
    // The caption is black on the bar (90 %) and the complement on the background (5 %).
    EXPECT_GT(CountPixels(canvas, cell(1), kBlack), 10);
    EXPECT_EQ(CountPixels(canvas, cell(1), kComplement), 0);
    EXPECT_GT(CountPixels(canvas, cell(2), kComplement), 10);
    EXPECT_EQ(CountPixels(canvas, cell(2), kBlack), 0);

    grid.RegisterControl(GRID_IDS_CTRL_PROGRESS, std::make_unique<WhiteCaptionBar>(grid));
    grid.PaintTo(canvas.dc.Get(), client);
    EXPECT_GT(CountPixels(canvas, cell(1), RGB(255, 255, 255)), 10);
    EXPECT_EQ(CountPixels(canvas, cell(1), kBlack), 0);
}
