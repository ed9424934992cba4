#include "grid/grid_gdi.h"

#include "base/handles.h"

namespace grid_gdi {

void FillSolid(HDC dc, const RECT& rect, COLORREF color) {
    base::UniqueBrush brush(CreateSolidBrush(color));
    FillRect(dc, &rect, brush.Get());
}

void PaintBuffered(HWND hwnd, const std::function<void(HDC dc, const RECT& client)>& paint) {
    PAINTSTRUCT request{};
    const HDC windowDc = BeginPaint(hwnd, &request);
    RECT client{};
    GetClientRect(hwnd, &client);
    if (client.right > 0 && client.bottom > 0) {
        base::UniqueDc memory(CreateCompatibleDC(windowDc));
        base::UniqueBitmap bitmap(CreateCompatibleBitmap(windowDc, client.right, client.bottom));
        if (memory && bitmap) {
            base::SelectObjectScope select(memory.Get(), bitmap.Get());
            paint(memory.Get(), client);
            BitBlt(windowDc, 0, 0, client.right, client.bottom, memory.Get(), 0, 0, SRCCOPY);
        } else {
            paint(windowDc, client);
        }
    }
    EndPaint(hwnd, &request);
}

} // namespace grid_gdi
