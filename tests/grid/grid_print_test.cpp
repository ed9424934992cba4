// Printing: the page breakdown, hidden columns left out of the printed pages (read back from a
// metafile), and the preview window, which works without a printer on an A4 page. (Headings,
// continuation pages and every row once are checked through the monitor's real printout.)
#include "grid_test_support.h"

#include "grid/grid_pages.h"
#include "grid/grid_preview.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace gridtest;

namespace {

constexpr SIZE kA4{2480, 3508};

int CALLBACK CollectText(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM data) {
    if (record->iType == EMR_EXTTEXTOUTW) {
        const auto* text = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
        const auto* chars = reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(record) +
                                                             text->emrtext.offString);
        reinterpret_cast<std::vector<std::string>*>(data)->emplace_back(
            chars, chars + text->emrtext.nChars);
    }
    return 1;
}

class GridPrint : public GridFixture<> {
protected:
    void SetUp() override {
        GridFixture::SetUp();
        FillGrid(grid, 200, 12);
        for (int col = 1; col <= 12; ++col)
            grid.SetColWidth(col, 110); // six columns fit across an A4 page, seven do not
    }
};

} // namespace

TEST(GridPageBreakdown, CutsRowsDownAndColumnsAcrossIntoWholePages) {
    const CGridPageBreakdown pages =
        ComputePageBreakdown(100, 10, 255, {{1, 100}, {2, 200}, {3, 150}, {4, 300}, {5, 50}}, 400);
    ASSERT_EQ(pages.rowBands.size(), 4u); // 25 rows a page
    EXPECT_EQ(pages.rowBands[3], std::make_pair(76, 100));
    EXPECT_EQ(pages.columnBands, (std::vector<std::vector<int>>{{1, 2}, {3}, {4, 5}}));
    EXPECT_EQ(pages.PageCount(), 12);
    // The pages continuing a row band to the right follow it.
    EXPECT_EQ(pages.RowsOfPage(4), std::make_pair(26, 50));
    EXPECT_EQ(pages.ColumnsOfPage(5), (std::vector<int>{4, 5}));

    const CGridPageBreakdown empty = ComputePageBreakdown(0, 10, 100, {{1, 50}}, 400);
    EXPECT_EQ(empty.PageCount(), 1);
    const CGridPageBreakdown wide =
        ComputePageBreakdown(3, 10, 5, {{1, 50}, {2, 900}, {3, 20}}, 400);
    EXPECT_EQ(wide.rowBands.size(), 3u) << "at least one row a page";
    EXPECT_EQ(wide.columnBands, (std::vector<std::vector<int>>{{1}, {2}, {3}}))
        << "a column too wide for the page stands alone";
}

TEST_F(GridPrint, HiddenColumnsAreNotPrinted) {
    grid.SetColWidth(3, 0);
    base::WindowDc screen(nullptr);
    const RECT frame{0, 0, 21000, 29700}; // hundredths of a millimetre
    HDC dc = CreateEnhMetaFileA(screen.Get(), nullptr, &frame, nullptr);
    grid.PrintPage(dc, kA4, 300, 0);
    HENHMETAFILE metafile = CloseEnhMetaFile(dc);
    std::vector<std::string> texts;
    EnumEnhMetaFile(nullptr, metafile, &CollectText, &texts, nullptr);
    DeleteEnhMetaFile(metafile);
    const auto printed = [&](const char* text) {
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    };
    EXPECT_TRUE(printed("H2"));
    EXPECT_FALSE(printed("H3"));
    EXPECT_TRUE(printed("H4"));
}

TEST_F(GridPrint, PreviewWithoutPrinterShowsA4PagesAndNavigates) {
    grid.ShowPrintPreview();
    CGridPrintPreview* preview = grid.GetPrintPreview();
    ASSERT_NE(preview, nullptr);
    preview->UsePrinter("No such printer");
    ASSERT_TRUE(preview->Show());
    EXPECT_EQ(preview->GetPageSize().cx, kA4.cx);
    EXPECT_EQ(preview->GetPageSize().cy, kA4.cy);
    const int pages = grid.GetPrintPageCount(kA4, 300);
    EXPECT_EQ(preview->GetPageCount(), pages);

    const HWND window = preview->Handle();
    auto command = [&](int id, int times = 1) {
        while (times-- > 0)
            SendMessageA(window, WM_COMMAND, id, 0);
    };
    auto enabled = [&](int id) { return IsWindowEnabled(GetDlgItem(window, id)) != FALSE; };
    char status[64] = {};
    GetDlgItemTextA(window, CGridPrintPreview::IDC_PREVIEW_STATUS, status, sizeof status);
    EXPECT_EQ(status, "Page 1 of " + std::to_string(pages));
    EXPECT_FALSE(enabled(CGridPrintPreview::IDC_PREVIEW_PREV));
    command(CGridPrintPreview::IDC_PREVIEW_NEXT, 2);
    command(CGridPrintPreview::IDC_PREVIEW_PREV);
    EXPECT_EQ(preview->GetPage(), 1);
    command(CGridPrintPreview::IDC_PREVIEW_PAGES);
    EXPECT_TRUE(preview->IsTwoPages());
    GetDlgItemTextA(window, CGridPrintPreview::IDC_PREVIEW_STATUS, status, sizeof status);
    EXPECT_EQ(status, "Pages 2-3 of " + std::to_string(pages));
    command(CGridPrintPreview::IDC_PREVIEW_NEXT, pages + 2);
    EXPECT_EQ(preview->GetPage(), pages - 2) << "the last two pages";
    EXPECT_FALSE(enabled(CGridPrintPreview::IDC_PREVIEW_NEXT));

    command(CGridPrintPreview::IDC_PREVIEW_ZOOM_IN, 3);
    EXPECT_EQ(preview->GetZoomLevel(), CGridPrintPreview::kZoomLevels - 1);
    command(CGridPrintPreview::IDC_PREVIEW_ZOOM_OUT);
    EXPECT_EQ(preview->GetZoomLevel(), CGridPrintPreview::kZoomLevels - 2);

    command(CGridPrintPreview::IDC_PREVIEW_CLOSE);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(preview->Handle(), nullptr);
}
