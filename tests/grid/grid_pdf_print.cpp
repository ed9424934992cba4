// Prints a known grid on the printer named on the command line, under the document title given
// there, and tells how many pages it printed ("pages=N"). print_to_pdf_test.sh checks the PDF.
#include "grid/grid_view.h"

#include <cstdio>
#include <string>

namespace {

constexpr int kRows = 150;
constexpr int kCols = 10;

void Fill(CGridView& grid) {
    grid.SetColCount(kCols);
    grid.SetRowCount(kRows);
    grid.SetColWidth(0, 0);
    for (int col = 1; col <= kCols; ++col) {
        const std::string letter(1, static_cast<char>('A' + col - 1));
        grid.SetColWidth(col, 150); // four columns across an A4 page
        grid.SetValue(0, col, "Col-" + letter);
        for (int row = 1; row <= kRows; ++row) {
            char text[16];
            std::snprintf(text, sizeof text, "R%03d-%s", row, letter.c_str());
            grid.SetValue(row, col, text);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: grid_pdf_print PRINTER TITLE\n");
        return 2;
    }
    HWND host = CreateWindowExA(0, "STATIC", "print", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    CGridView grid;
    if (!host || !grid.Create(host, {0, 0, 380, 280}, 1)) {
        std::fprintf(stderr, "cannot create the grid window\n");
        return 1;
    }
    Fill(grid);
    base::UniqueDc printer(CreateDCA("WINSPOOL", argv[1], nullptr, nullptr));
    if (!printer) {
        std::fprintf(stderr, "no printer %s (error %lu)\n", argv[1], GetLastError());
        return 1;
    }
    const SIZE page{GetDeviceCaps(printer.Get(), HORZRES), GetDeviceCaps(printer.Get(), VERTRES)};
    const int pages = grid.GetPrintPageCount(page, GetDeviceCaps(printer.Get(), LOGPIXELSY));
    if (!grid.PrintTo(printer.Get(), argv[2])) {
        std::fprintf(stderr, "printing failed (error %lu)\n", GetLastError());
        return 1;
    }
    std::printf("pages=%d\n", pages);
    DestroyWindow(host);
    return 0;
}
