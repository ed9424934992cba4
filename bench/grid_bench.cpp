// Grid figures: filling 10,000 rows of 12 styled columns, sorting them, painting one screen.
#include "grid/grid_view.h"
#include "base/handles.h"

#include <chrono>
#include <cstdio>
#include <string>

namespace {

constexpr int kRows = 10000;
constexpr int kCols = 12;

double MillisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// Keys padded to a fixed width so that text order is numeric order.
class BenchGrid : public CGridView {
public:
    std::string GetSortKey(int row, int col, const CGridSortInfo&, const CGridStyle&) override {
        char key[32];
        std::snprintf(key, sizeof key, "%20s", GetValue(row, col).c_str());
        return key;
    }
};

void Fill(CGridView& grid) {
    grid.LockUpdate(true);
    grid.SetColCount(kCols);
    grid.SetRowCount(kRows);
    grid.SetColWidth(0, 0);
    for (int col = 1; col <= kCols; ++col) {
        CGridStyle column;
        if (col <= 2)
            column.SetControl(GRID_IDS_CTRL_PROGRESS).SetFrame(GridFrame::Raised);
        else
            column.SetHorzAlign(col % 2 ? GridAlign::Left : GridAlign::Right);
        grid.SetColumnStyle(col, column);
        grid.SetValue(0, col, "Column " + std::to_string(col));
    }
    for (int row = 1; row <= kRows; ++row) {
        grid.SetItemDataPtr(row, &grid);
        const unsigned number = static_cast<unsigned>(row) * 2654435761u % 100000u;
        for (int col = 1; col <= kCols; ++col) {
            CGridStyle cell;
            cell.SetValue(col <= 2 ? std::to_string(number % 101) : std::to_string(number + col));
            if (col <= 2)
                cell.SetTextColor(number % 3 ? RGB(0, 150, 0) : RGB(255, 0, 0));
            grid.SetStyle(row, col, cell);
        }
    }
    grid.LockUpdate(false);
}

} // namespace

int main() {
    HWND host = CreateWindowExA(0, "STATIC", "bench", WS_OVERLAPPEDWINDOW, 0, 0, 1024, 768, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    BenchGrid grid;
    if (!host || !grid.Create(host, {0, 0, 1000, 740}, 1)) {
        std::printf("cannot create the grid window\n");
        return 1;
    }

    auto start = std::chrono::steady_clock::now();
    Fill(grid);
    std::printf("fill %d rows x %d columns of styled cells: %.1f ms\n", kRows, kCols,
                MillisecondsSince(start));

    start = std::chrono::steady_clock::now();
    grid.SortRows({3, false});
    std::printf("sort %d rows by a numeric key: %.1f ms\n", kRows, MillisecondsSince(start));

    start = std::chrono::steady_clock::now();
    grid.SortRows({3, false}); // already in order: all keys compared again
    std::printf("sort again (sorted input): %.1f ms\n", MillisecondsSince(start));

    RECT client{};
    GetClientRect(grid.Handle(), &client);
    base::WindowDc screen(nullptr);
    base::UniqueDc memory(CreateCompatibleDC(screen.Get()));
    base::UniqueBitmap bitmap(CreateCompatibleBitmap(screen.Get(), client.right, client.bottom));
    base::SelectObjectScope select(memory.Get(), bitmap.Get());
    constexpr int kPaints = 20;
    start = std::chrono::steady_clock::now();
    for (int paint = 0; paint < kPaints; ++paint) {
        grid.ScrollToRow(1 + paint * 400);
        grid.PaintTo(memory.Get(), client);
    }
    std::printf("paint one screen (%ldx%ld, %d rows shown): %.2f ms\n", client.right, client.bottom,
                static_cast<int>(client.bottom / grid.GetRowHeight()),
                MillisecondsSince(start) / kPaints);

    DestroyWindow(host);
    return 0;
}
