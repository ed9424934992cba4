// Painting: only the visible cells are drawn, progress bars fill their share with the cell's
// text colour and write their caption in the right colours, zoom scales the table.
#include "grid_test_support.h"

#include "grid/grid_progress.h"

#include <gtest/gtest.h>

#include <set>

using namespace gridtest;

namespace {

constexpr int kCountingControl = 9001;

class CountingControl : public CGridControl {
public:
    using CGridControl::CGridControl;
    void Draw(const CGridCellPaint& cell) override { rows.insert(cell.row), ++draws; }
    std::set<int> rows;
    int draws = 0;
};

class GridPaint : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(grid.Create(host.Get(), {0, 0, 400, 300}, 1));
        LOGFONTA font = grid.GetStandardFont();
        font.lfQuality = NONANTIALIASED_QUALITY;
        grid.SetStandardFont(font);
    }
    RECT Client() const {
        RECT client{};
        GetClientRect(grid.Handle(), &client);
        return client;
    }
    HostWindow host;
    CGridView grid;
};

} // namespace

TEST_F(GridPaint, OnlyVisibleRowsAreDrawn) {
    auto counting = std::make_unique<CountingControl>(grid);
    CountingControl& control = *counting;
    grid.RegisterControl(kCountingControl, std::move(counting));
    FillGrid(grid, 10000, 12);
    for (int col = 1; col <= 12; ++col)
        grid.SetColumnStyle(col, CGridStyle().SetControl(kCountingControl));
    const RECT client = Client();
    Canvas canvas(client.right, client.bottom);

    grid.PaintTo(canvas.Dc(), client);
    const int visibleRows = client.bottom / grid.GetRowHeight(); // with a partly shown last row
    ASSERT_FALSE(control.rows.empty());
    EXPECT_EQ(*control.rows.begin(), 1);
    EXPECT_LE(*control.rows.rbegin(), visibleRows);
    EXPECT_GE(*control.rows.rbegin(), visibleRows - 1);
    const int visibleColumns = (client.right + 59) / 60;
    EXPECT_LE(control.draws, visibleRows * visibleColumns);

    control.rows.clear();
    grid.ScrollToRow(5000);
    grid.PaintTo(canvas.Dc(), client);
    EXPECT_EQ(*control.rows.begin(), 5000);
    EXPECT_LE(*control.rows.rbegin(), 5000 + visibleRows);
}

namespace {

struct PixelCount {
    int color = 0;
    int other = 0;
};

PixelCount CountPixels(const Canvas& canvas, const RECT& area, COLORREF color) {
    PixelCount count;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            (canvas.Pixel(x, y) == color ? count.color : count.other)++;
    return count;
}

} // namespace

class GridProgressPaint : public GridPaint {
protected:
    void SetUp() override {
        GridPaint::SetUp();
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
        grid.SetStyle(
            3, 1, CGridStyle().SetValue("150").SetUserAttribute(GRID_IDS_UA_PROGRESS_UPPER, "150"));
        const RECT client = Client();
        canvas = std::make_unique<Canvas>(client.right, client.bottom);
        grid.PaintTo(canvas->Dc(), client);
    }
    // The cell of a row without its grid lines.
    RECT CellRect(int row) const {
        const int height = grid.GetRowHeight();
        return {0, height * row, 199, height * (row + 1) - 1};
    }
    static constexpr COLORREF kBar = RGB(255, 0, 0);
    static constexpr COLORREF kBackground = RGB(0, 0, 128);
    static constexpr COLORREF kComplement = RGB(255, 255, 127);
    std::unique_ptr<Canvas> canvas;
};

TEST_F(GridProgressPaint, BarFillsItsShareWithTheTextColour) {
    const RECT cell = CellRect(2); // 5 %
    const int middle = (cell.top + cell.bottom) / 2;
    EXPECT_EQ(canvas->Pixel(cell.left + 2, cell.top + 1), kBar);
    EXPECT_EQ(canvas->Pixel(cell.left + 12, cell.top + 1), kBackground); // 5 % of 199 is 9
    EXPECT_EQ(canvas->Pixel(cell.right - 2, middle), kBackground);

    const RECT full = CellRect(3); // 150 of 150
    EXPECT_EQ(canvas->Pixel(full.right - 2, full.top + 1), kBar);
    EXPECT_EQ(canvas->Pixel(full.left + 1, full.bottom - 2), kBar);
}

TEST_F(GridProgressPaint, CaptionIsBlackOnTheBarAndTheComplementElsewhere) {
    // 90 %: the centred caption lies on the bar.
    const PixelCount onBar = CountPixels(*canvas, CellRect(1), RGB(0, 0, 0));
    EXPECT_GT(onBar.color, 10);
    EXPECT_EQ(CountPixels(*canvas, CellRect(1), kComplement).color, 0);
    // 5 %: the caption lies on the background.
    EXPECT_GT(CountPixels(*canvas, CellRect(2), kComplement).color, 10);
    EXPECT_EQ(CountPixels(*canvas, CellRect(2), RGB(0, 0, 0)).color, 0);
    EXPECT_EQ(grid.GetDisplayText(1, 1), "90 %");
    EXPECT_EQ(grid.GetDisplayText(3, 1), "150 %");
}

namespace {

// The caption colour is the program's choice.
class WhiteCaptionBar : public CGridProgressCtrl {
public:
    using CGridProgressCtrl::CGridProgressCtrl;
    COLORREF GetCaptionColor(const CGridCellPaint&, bool, COLORREF) const override {
        return RGB(255, 255, 255);
    }
};

} // namespace

TEST_F(GridProgressPaint, DerivedControlChoosesTheCaptionColour) {
    grid.RegisterControl(GRID_IDS_CTRL_PROGRESS, std::make_unique<WhiteCaptionBar>(grid));
    const RECT client = Client();
    grid.PaintTo(canvas->Dc(), client);
    EXPECT_GT(CountPixels(*canvas, CellRect(1), RGB(255, 255, 255)).color, 10);
    EXPECT_EQ(CountPixels(*canvas, CellRect(1), RGB(0, 0, 0)).color, 0);
}

TEST(GridProgressValues, FilledShareClampsToTheBar) {
    CGridProgressValues values;
    values.value = 45;
    EXPECT_EQ(values.FilledWidth(200), 90);
    values.value = -5;
    EXPECT_EQ(values.FilledWidth(200), 0);
    values.value = 150;
    EXPECT_EQ(values.FilledWidth(200), 200);
    values.lower = 100;
    values.upper = 100; // an empty range fills nothing rather than dividing by zero
    EXPECT_EQ(values.FilledWidth(200), 0);
}

TEST_F(GridPaint, ZoomScalesRowsAndColumnsWithinItsBounds) {
    FillGrid(grid, 5, 3);
    const int normalRow = grid.GetRowHeight();
    grid.SetZoom(200);
    EXPECT_GE(grid.GetRowHeight(), normalRow * 2 - 2);
    EXPECT_LE(grid.GetRowHeight(), normalRow * 2 + 2);
    EXPECT_EQ(grid.GetColWidth(1), 60); // widths stay unzoomed for saving
    // Clicks land on the zoomed cells.
    SendMessageA(grid.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, PointParam(CellCenter(grid, 2, 2)));
    int row = 0;
    int col = 0;
    ASSERT_TRUE(grid.GetCurrentCell(row, col));
    EXPECT_EQ(row, 2);
    EXPECT_EQ(col, 2);

    grid.ZoomReset();
    EXPECT_EQ(grid.GetRowHeight(), normalRow);
    std::vector<int> zooms;
    for (int step = 0; step < 3; ++step) {
        grid.ZoomIn();
        zooms.push_back(grid.GetZoom());
    }
    EXPECT_EQ(zooms, (std::vector<int>{110, 121, 133}));
    grid.ZoomReset();
    zooms.clear();
    for (int step = 0; step < 3; ++step) {
        grid.ZoomOut();
        zooms.push_back(grid.GetZoom());
    }
    EXPECT_EQ(zooms, (std::vector<int>{90, 81, 73}));

    grid.SetZoom(299);
    EXPECT_TRUE(grid.CanZoomIn());
    grid.SetZoom(300);
    EXPECT_FALSE(grid.CanZoomIn());
    grid.SetZoom(41);
    EXPECT_TRUE(grid.CanZoomOut());
    grid.SetZoom(40);
    EXPECT_FALSE(grid.CanZoomOut());
    grid.SetZoom(5000);
    EXPECT_EQ(grid.GetZoom(), GRID_ZOOM_MAX);
}
