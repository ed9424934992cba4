// Printing: the page breakdown, the pages the grid draws (read back from a metafile) and the
// preview window, which works without a printer on an A4 page.
#include "grid_test_support.h"

#include "grid/grid_pages.h"
#include "grid/grid_preview.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace gridtest;

TEST(GridPageBreakdown, CutsRowsDownAndColumnsAcross) {
    const std::vector<CGridColumnExtent> columns = {
        {1, 100}, {2, 200}, {3, 150}, {4, 300}, {5, 50}};
    const CGridPageBreakdown pages = ComputePageBreakdown(100, 10, 255, columns, 400);
    ASSERT_EQ(pages.rowBands.size(), 4u); // 25 rows a page
    EXPECT_EQ(pages.rowBands[0], std::make_pair(1, 25));
    EXPECT_EQ(pages.rowBands[3], std::make_pair(76, 100));
    ASSERT_EQ(pages.ColumnBandCount(), 3);
    EXPECT_EQ(pages.columnBands[0], (std::vector<int>{1, 2}));
    EXPECT_EQ(pages.columnBands[1], (std::vector<int>{3}));
    EXPECT_EQ(pages.columnBands[2], (std::vector<int>{4, 5}));
    EXPECT_EQ(pages.PageCount(), 12);
    // The pages continuing a row band to the right follow it.
    EXPECT_EQ(pages.RowsOfPage(4), std::make_pair(26, 50));
    EXPECT_EQ(pages.ColumnsOfPage(4), std::vector<int>{3});
    EXPECT_EQ(pages.ColumnsOfPage(5), (std::vector<int>{4, 5}));
}

TEST(GridPageBreakdown, EdgeCasesStillGiveWholePages) {
    const CGridPageBreakdown empty = ComputePageBreakdown(0, 10, 100, {{1, 50}}, 400);
    EXPECT_EQ(empty.PageCount(), 1);
    EXPECT_EQ(empty.rowBands[0], std::make_pair(1, 0));

    const CGridPageBreakdown wide =
        ComputePageBreakdown(3, 10, 5, {{1, 50}, {2, 900}, {3, 20}}, 400);
    EXPECT_EQ(wide.rowBands.size(), 3u); // at least one row a page
    ASSERT_EQ(wide.ColumnBandCount(), 3);
    EXPECT_EQ(wide.columnBands[1], std::vector<int>{2}); // too wide: alone
    EXPECT_EQ(wide.columnBands[2], std::vector<int>{3});
}

namespace {

constexpr SIZE kA4{2480, 3508};

int CALLBACK CollectText(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM data) {
    auto& texts = *reinterpret_cast<std::vector<std::string>*>(data);
    if (record->iType == EMR_EXTTEXTOUTW) {
        const auto* text = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
        const auto* chars = reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(record) +
                                                             text->emrtext.offString);
        std::string narrow;
        for (DWORD i = 0; i < text->emrtext.nChars; ++i)
            narrow += static_cast<char>(chars[i]);
        texts.push_back(narrow);
    } else if (record->iType == EMR_EXTTEXTOUTA) {
        const auto* text = reinterpret_cast<const EMREXTTEXTOUTA*>(record);
        texts.emplace_back(reinterpret_cast<const char*>(record) + text->emrtext.offString,
                           text->emrtext.nChars);
    }
    return 1;
}

// The texts page `page` prints, in drawing order.
std::vector<std::string> PrintedTexts(CGridView& grid, int page) {
    base::WindowDc screen(nullptr);
    const RECT frame{0, 0, 21000, 29700}; // hundredths of a millimetre
    HDC dc = CreateEnhMetaFileA(screen.Get(), nullptr, &frame, nullptr);
    grid.PrintPage(dc, kA4, 300, page);
    HENHMETAFILE metafile = CloseEnhMetaFile(dc);
    std::vector<std::string> texts;
    EnumEnhMetaFile(nullptr, metafile, &CollectText, &texts, nullptr);
    DeleteEnhMetaFile(metafile);
    return texts;
}

bool Contains(const std::vector<std::string>& texts, const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

class GridPrint : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(grid.Create(host.Get(), {0, 0, 500, 300}, 1));
        FillGrid(grid, 200, 12);
        for (int col = 1; col <= 12; ++col)
            grid.SetColWidth(col, 110); // six columns fit across an A4 page, seven do not
    }
    HostWindow host;
    CGridView grid;
};

} // namespace

TEST_F(GridPrint, PagesRepeatHeadingsContinueColumnsAndCarryNumbers) {
    const int pages = grid.GetPrintPageCount(kA4, 300);
    ASSERT_GE(pages, 4);
    ASSERT_EQ(pages % 2, 0);

    const std::vector<std::string> first = PrintedTexts(grid, 0);
    EXPECT_TRUE(Contains(first, "H1"));
    EXPECT_TRUE(Contains(first, "r1c1"));
    EXPECT_FALSE(Contains(first, "H12"));
    EXPECT_TRUE(Contains(first, "Page 1 of " + std::to_string(pages)));

    const std::vector<std::string> right = PrintedTexts(grid, 1); // same rows, further columns
    EXPECT_TRUE(Contains(right, "H12"));
    EXPECT_TRUE(Contains(right, "r1c12"));
    EXPECT_FALSE(Contains(right, "H1"));
    EXPECT_TRUE(Contains(right, "Page 2 of " + std::to_string(pages)));

    const std::vector<std::string> next = PrintedTexts(grid, 2); // the next rows, headings again
    EXPECT_TRUE(Contains(next, "H1"));
    EXPECT_FALSE(Contains(next, "r1c1"));

    const std::vector<std::string> last = PrintedTexts(grid, pages - 1);
    EXPECT_TRUE(Contains(last, "r200c12"));
}

TEST_F(GridPrint, HiddenColumnsAreNotPrinted) {
    grid.SetColWidth(3, 0);
    const std::vector<std::string> first = PrintedTexts(grid, 0);
    EXPECT_TRUE(Contains(first, "H2"));
    EXPECT_FALSE(Contains(first, "H3"));
    EXPECT_TRUE(Contains(first, "H4"));
}

TEST_F(GridPrint, PreviewWithoutPrinterShowsA4PagesAndNavigates) {
    grid.ShowPrintPreview();
    CGridPrintPreview* preview = grid.GetPrintPreview();
    ASSERT_NE(preview, nullptr);
    preview->UsePrinter("No such printer");
    ASSERT_TRUE(preview->Show());
    ASSERT_NE(preview->Handle(), nullptr);
    EXPECT_EQ(preview->GetPageSize().cx, kA4.cx);
    EXPECT_EQ(preview->GetPageSize().cy, kA4.cy);
    const int pages = grid.GetPrintPageCount(kA4, 300);
    EXPECT_EQ(preview->GetPageCount(), pages);

    const HWND window = preview->Handle();
    auto command = [&](int id) { SendMessageA(window, WM_COMMAND, id, 0); };
    auto status = [&] {
        char text[64] = {};
        GetDlgItemTextA(window, CGridPrintPreview::IDC_PREVIEW_STATUS, text, sizeof text);
        return std::string(text);
    };
    EXPECT_EQ(status(), "Page 1 of " + std::to_string(pages));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, CGridPrintPreview::IDC_PREVIEW_PREV)));
    command(CGridPrintPreview::IDC_PREVIEW_NEXT);
    command(CGridPrintPreview::IDC_PREVIEW_NEXT);
    EXPECT_EQ(preview->GetPage(), 2);
    command(CGridPrintPreview::IDC_PREVIEW_PREV);
    EXPECT_EQ(preview->GetPage(), 1);
    command(CGridPrintPreview::IDC_PREVIEW_PAGES);
    EXPECT_TRUE(preview->IsTwoPages());
    EXPECT_EQ(status(), "Pages 2-3 of " + std::to_string(pages));
    for (int i = 0; i < pages + 2; ++i)
        command(CGridPrintPreview::IDC_PREVIEW_NEXT);
    EXPECT_EQ(preview->GetPage(), pages - 2); // the last two pages
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, CGridPrintPreview::IDC_PREVIEW_NEXT)));

    command(CGridPrintPreview::IDC_PREVIEW_ZOOM_IN);
    command(CGridPrintPreview::IDC_PREVIEW_ZOOM_IN);
    command(CGridPrintPreview::IDC_PREVIEW_ZOOM_IN);
    EXPECT_EQ(preview->GetZoomLevel(), CGridPrintPreview::kZoomLevels - 1);
    command(CGridPrintPreview::IDC_PREVIEW_ZOOM_OUT);
    EXPECT_EQ(preview->GetZoomLevel(), CGridPrintPreview::kZoomLevels - 2);

    command(CGridPrintPreview::IDC_PREVIEW_CLOSE);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(preview->Handle(), nullptr);
}

TEST_F(GridPrint, PreviewDrawsWhitePagesWithTheGridOnThem) {
    grid.ShowPrintPreview();
    CGridPrintPreview* preview = grid.GetPrintPreview();
    ASSERT_NE(preview, nullptr);
    RECT client{};
    GetClientRect(preview->Handle(), &client);
    Canvas canvas(client.right, client.bottom);
    preview->PaintTo(canvas.Dc(), client);
    int white = 0;
    int dark = 0;
    for (int y = 0; y < canvas.Height(); y += 2)
        for (int x = 0; x < canvas.Width(); x += 2) {
            const COLORREF pixel = canvas.Pixel(x, y);
            white += pixel == RGB(255, 255, 255);
            dark += GetRValue(pixel) < 100 && GetGValue(pixel) < 100 && GetBValue(pixel) < 100;
        }
    EXPECT_GT(white, 1000); // the sheet
    EXPECT_GT(dark, 20);    // its text and the sheet's shadow
}
