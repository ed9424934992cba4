#include "grid/grid_preview.h"

#include "grid/grid_dialogs.h"
#include "grid/grid_view.h"
#include "grid/grid_gdi.h"
#include "base/handles.h"

#include <algorithm>
#include <string>

namespace {

constexpr int kBarHeight = 30;
constexpr int kButtonWidth = 80;
constexpr int kGap = 12; // pixels around and between pages
constexpr int kZoomPercent[CGridPrintPreview::kZoomLevels] = {100, 160, 250};
constexpr SIZE kA4At300Dpi{2480, 3508};

struct ButtonSpec {
    int id;
    const char* text;
};

constexpr ButtonSpec kButtons[] = {
    {CGridPrintPreview::IDC_PREVIEW_PRINT, "&Print..."},
    {CGridPrintPreview::IDC_PREVIEW_NEXT, "&Next Page"},
    {CGridPrintPreview::IDC_PREVIEW_PREV, "Pre&v Page"},
    {CGridPrintPreview::IDC_PREVIEW_PAGES, "&Two Page"},
    {CGridPrintPreview::IDC_PREVIEW_ZOOM_IN, "Zoom &In"},
    {CGridPrintPreview::IDC_PREVIEW_ZOOM_OUT, "Zoom &Out"},
    {CGridPrintPreview::IDC_PREVIEW_CLOSE, "&Close"},
};

void SetScrollRange(HWND hwnd, int bar, LONG content, LONG view, LONG position) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    info.nMax = static_cast<int>(content);
    info.nPage = static_cast<UINT>(std::max(1L, view));
    info.nPos = static_cast<int>(position);
    SetScrollInfo(hwnd, bar, &info, TRUE);
}

} // namespace

CGridPrintPreview::CGridPrintPreview(CGridView& grid) : m_grid(grid) {
    m_buttonFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void CGridPrintPreview::ReadPageFormat() {
    m_pageSize = kA4At300Dpi;
    m_dpi = 300;
    // The page of the printer and setup the user chose, else of the named or default printer.
    base::UniqueDc printer;
    if (m_printer.empty())
        printer = m_grid.PrinterChoice().CreateInformationContext();
    std::string name = m_printer;
    if (!printer && name.empty() && !grid_dialogs::DefaultPrinterName(name))
        return;
    if (!printer)
        printer.Reset(CreateICA("WINSPOOL", name.c_str(), nullptr, nullptr));
    if (!printer)
        return;
    const SIZE pageSize{GetDeviceCaps(printer.Get(), HORZRES),
                        GetDeviceCaps(printer.Get(), VERTRES)};
    const int dpi = GetDeviceCaps(printer.Get(), LOGPIXELSY);
    if (pageSize.cx > 0 && pageSize.cy > 0 && dpi > 0) {
        m_pageSize = pageSize;
        m_dpi = dpi;
    }
}

bool CGridPrintPreview::Show() {
    ReadPageFormat();
    m_pageCount = std::max(1, m_grid.GetPrintPageCount(m_pageSize, m_dpi));
    m_page = std::min(m_page, m_pageCount - 1);
    if (!m_hwnd) {
        const HWND owner = m_grid.Handle() ? GetAncestor(m_grid.Handle(), GA_ROOT) : nullptr;
        const RECT rect{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT + 800, CW_USEDEFAULT + 700};
        if (!Create(nullptr, "Print Preview",
                    WS_OVERLAPPEDWINDOW | WS_HSCROLL | WS_VSCROLL | WS_CLIPCHILDREN, 0, rect,
                    owner))
            return false;
        CreateButtons();
        ShowWindow(m_hwnd, SW_SHOW);
    } else {
        SetActiveWindow(m_hwnd);
    }
    UpdateState();
    return true;
}

bool CGridPrintPreview::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_VSCROLL:
        Scroll(SB_VERT, LOWORD(wParam));
        result = 0;
        return true;
    case WM_HSCROLL:
        Scroll(SB_HORZ, LOWORD(wParam));
        result = 0;
        return true;
    default:
        return WindowBase::OnMessage(message, wParam, lParam, result);
    }
}

bool CGridPrintPreview::OnCommand(UINT id, UINT, HWND) {
    RunCommand(static_cast<int>(id));
    return true;
}

void CGridPrintPreview::OnSize(UINT, int, int) {
    LayoutButtons();
    UpdateState();
}

bool CGridPrintPreview::OnKeyDown(UINT key, LPARAM) {
    if (key == VK_NEXT)
        RunCommand(IDC_PREVIEW_NEXT);
    else if (key == VK_PRIOR)
        RunCommand(IDC_PREVIEW_PREV);
    else if (key == VK_ESCAPE)
        RunCommand(IDC_PREVIEW_CLOSE);
    return true;
}

void CGridPrintPreview::CreateButtons() {
    for (const ButtonSpec& button : kButtons) {
        const HWND child =
            CreateWindowExA(0, "BUTTON", button.text, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0,
                            0, 0, m_hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(button.id)),
                            GetModuleHandleA(nullptr), nullptr);
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(m_buttonFont), FALSE);
    }
    const HWND status = CreateWindowExA(
        0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_CENTERIMAGE, 0, 0, 0, 0, m_hwnd,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PREVIEW_STATUS)),
        GetModuleHandleA(nullptr), nullptr);
    SendMessageA(status, WM_SETFONT, reinterpret_cast<WPARAM>(m_buttonFont), FALSE);
    LayoutButtons();
}

void CGridPrintPreview::LayoutButtons() {
    int left = 4;
    for (const ButtonSpec& button : kButtons) {
        MoveWindow(GetDlgItem(m_hwnd, button.id), left, 3, kButtonWidth, kBarHeight - 6, TRUE);
        left += kButtonWidth + 4;
    }
    MoveWindow(GetDlgItem(m_hwnd, IDC_PREVIEW_STATUS), left + 8, 3, 160, kBarHeight - 6, TRUE);
}

void CGridPrintPreview::RunCommand(int id) {
    switch (id) {
    case IDC_PREVIEW_PRINT:
        if (m_grid.Print())
            DestroyWindow(m_hwnd);
        break;
    case IDC_PREVIEW_NEXT:
        GoToPage(m_page + 1);
        break;
    case IDC_PREVIEW_PREV:
        GoToPage(m_page - 1);
        break;
    case IDC_PREVIEW_PAGES:
        m_twoPages = !m_twoPages;
        GoToPage(m_page);
        break;
    case IDC_PREVIEW_ZOOM_IN:
        m_zoomLevel = std::min(m_zoomLevel + 1, kZoomLevels - 1);
        UpdateState();
        break;
    case IDC_PREVIEW_ZOOM_OUT:
        m_zoomLevel = std::max(m_zoomLevel - 1, 0);
        m_scroll = {0, 0};
        UpdateState();
        break;
    case IDC_PREVIEW_CLOSE:
        DestroyWindow(m_hwnd);
        break;
    default:
        break;
    }
}

void CGridPrintPreview::GoToPage(int page) {
    const int shown = m_twoPages && m_pageCount > 1 ? 2 : 1;
    m_page = std::clamp(page, 0, std::max(0, m_pageCount - shown));
    m_scroll = {0, 0};
    UpdateState();
}

RECT CGridPrintPreview::PageArea(const RECT& client) const {
    return {client.left, client.top + kBarHeight, client.right, client.bottom};
}

namespace {

// Where the pages go at a zoom level: the size of one page and of all shown pages with gaps.
struct PreviewPlacement {
    SIZE page;
    SIZE content;
};

PreviewPlacement PlacePages(const RECT& area, SIZE pageSize, int pagesShown, int zoomPercent) {
    const int width = std::max(1L, area.right - area.left - kGap * (pagesShown + 1));
    const int height = std::max(1L, area.bottom - area.top - 2 * kGap);
    const double fit = std::min(static_cast<double>(width) / (pageSize.cx * pagesShown),
                                static_cast<double>(height) / pageSize.cy);
    const double scale = fit * zoomPercent / 100.0;
    const SIZE page{std::max(1L, static_cast<LONG>(pageSize.cx * scale)),
                    std::max(1L, static_cast<LONG>(pageSize.cy * scale))};
    return {page, {page.cx * pagesShown + kGap * (pagesShown + 1), page.cy + 2 * kGap}};
}

} // namespace

void CGridPrintPreview::UpdateState() {
    if (!m_hwnd)
        return;
    const int shown = m_twoPages && m_pageCount > 1 ? 2 : 1;
    std::string status =
        shown == 2 ? "Pages " + std::to_string(m_page + 1) + "-" + std::to_string(m_page + 2)
                   : "Page " + std::to_string(m_page + 1);
    status += " of " + std::to_string(m_pageCount);
    SetDlgItemTextA(m_hwnd, IDC_PREVIEW_STATUS, status.c_str());
    SetDlgItemTextA(m_hwnd, IDC_PREVIEW_PAGES, m_twoPages ? "&One Page" : "&Two Page");
    EnableWindow(GetDlgItem(m_hwnd, IDC_PREVIEW_NEXT), m_page + shown < m_pageCount);
    EnableWindow(GetDlgItem(m_hwnd, IDC_PREVIEW_PREV), m_page > 0);
    EnableWindow(GetDlgItem(m_hwnd, IDC_PREVIEW_ZOOM_IN), m_zoomLevel < kZoomLevels - 1);
    EnableWindow(GetDlgItem(m_hwnd, IDC_PREVIEW_ZOOM_OUT), m_zoomLevel > 0);

    RECT client{};
    GetClientRect(m_hwnd, &client);
    const RECT area = PageArea(client);
    const PreviewPlacement placement =
        PlacePages(area, m_pageSize, shown, kZoomPercent[m_zoomLevel]);
    const SIZE view{area.right - area.left, area.bottom - area.top};
    m_scroll.x = std::clamp<LONG>(m_scroll.x, 0, std::max(0L, placement.content.cx - view.cx));
    m_scroll.y = std::clamp<LONG>(m_scroll.y, 0, std::max(0L, placement.content.cy - view.cy));
    SetScrollRange(m_hwnd, SB_HORZ, placement.content.cx, view.cx, m_scroll.x);
    SetScrollRange(m_hwnd, SB_VERT, placement.content.cy, view.cy, m_scroll.y);
    InvalidateRect(m_hwnd, nullptr, FALSE);
}

void CGridPrintPreview::Scroll(int bar, int request) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(m_hwnd, bar, &info);
    int position = info.nPos;
    const int page = static_cast<int>(info.nPage);
    switch (request) {
    case SB_LINEUP:
        position -= page / 10;
        break;
    case SB_LINEDOWN:
        position += page / 10;
        break;
    case SB_PAGEUP:
        position -= page;
        break;
    case SB_PAGEDOWN:
        position += page;
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        position = info.nTrackPos;
        break;
    default:
        break;
    }
    (bar == SB_HORZ ? m_scroll.x : m_scroll.y) = position;
    UpdateState();
}

void CGridPrintPreview::PaintTo(HDC dc, const RECT& client) {
    const RECT area = PageArea(client);
    grid_gdi::FillSolid(dc, client, GetSysColor(COLOR_BTNFACE));
    grid_gdi::FillSolid(dc, area, GetSysColor(COLOR_APPWORKSPACE));
    const int shown = m_twoPages && m_pageCount > 1 ? 2 : 1;
    const PreviewPlacement placement =
        PlacePages(area, m_pageSize, shown, kZoomPercent[m_zoomLevel]);
    const int viewWidth = area.right - area.left;
    const int originX =
        area.left + std::max(0L, (viewWidth - placement.content.cx) / 2) - m_scroll.x;
    const int originY = area.top - m_scroll.y;
    for (int index = 0; index < shown && m_page + index < m_pageCount; ++index) {
        const int left = originX + kGap + index * (placement.page.cx + kGap);
        const int top = originY + kGap;
        const RECT sheet{left, top, left + placement.page.cx, top + placement.page.cy};
        grid_gdi::FillSolid(dc, {sheet.left + 3, sheet.top + 3, sheet.right + 3, sheet.bottom + 3},
                            RGB(64, 64, 64));
        grid_gdi::FillSolid(dc, sheet, RGB(255, 255, 255));
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, std::max(sheet.left, area.left), std::max(sheet.top, area.top),
                          sheet.right, sheet.bottom);
        SetMapMode(dc, MM_ANISOTROPIC);
        SetWindowExtEx(dc, m_pageSize.cx, m_pageSize.cy, nullptr);
        SetViewportExtEx(dc, placement.page.cx, placement.page.cy, nullptr);
        SetViewportOrgEx(dc, sheet.left, sheet.top, nullptr);
        m_grid.PrintPage(dc, m_pageSize, m_dpi, m_page + index);
        RestoreDC(dc, saved);
    }
}

bool CGridPrintPreview::OnPaint() {
    grid_gdi::PaintBuffered(m_hwnd, [this](HDC dc, const RECT& client) { PaintTo(dc, client); });
    return true;
}
