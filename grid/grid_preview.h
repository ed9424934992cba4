// The print preview of a grid: a top-level window that shows the printout's pages, one or
// two at a time, at three magnifications, with page navigation and a Print button. Pages are
// laid out for the default printer, or for an A4 page at 300 dpi when there is none.
#pragma once

#include "ui/window_base.h"

#include <windows.h>

#include <string>
#include <utility>

class CGridView;

class CGridPrintPreview : public ui::WindowBase {
public:
    // Button and command ids of the preview window.
    enum Command {
        IDC_PREVIEW_PRINT = 100,
        IDC_PREVIEW_NEXT,
        IDC_PREVIEW_PREV,
        IDC_PREVIEW_PAGES,
        IDC_PREVIEW_ZOOM_IN,
        IDC_PREVIEW_ZOOM_OUT,
        IDC_PREVIEW_CLOSE,
        IDC_PREVIEW_STATUS,
    };
    static constexpr int kZoomLevels = 3;

    explicit CGridPrintPreview(CGridView& grid);

    bool Show(); // creates the window or brings it forward, and lays the pages out again
    // Lays the pages out for this printer from the next Show() on; "" = the default printer.
    void UsePrinter(std::string name) { m_printer = std::move(name); }

    int GetPage() const { return m_page; } // 0-based, the left page
    int GetPageCount() const { return m_pageCount; }
    bool IsTwoPages() const { return m_twoPages; }
    int GetZoomLevel() const { return m_zoomLevel; } // 0: whole page .. kZoomLevels-1
    SIZE GetPageSize() const { return m_pageSize; }
    int GetPageDpi() const { return m_dpi; }

    // Draws what the window shows into any DC of the given client size.
    void PaintTo(HDC dc, const RECT& client);

protected:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    void OnSize(UINT type, int width, int height) override;
    bool OnPaint() override;
    bool OnEraseBackground(HDC) override { return true; }
    bool OnKeyDown(UINT key, LPARAM flags) override;

private:
    void ReadPageFormat();
    void CreateButtons();
    void LayoutButtons();
    void RunCommand(int id);
    void GoToPage(int page);
    void UpdateState();
    RECT PageArea(const RECT& client) const;
    void Scroll(int bar, int request);

    CGridView& m_grid;
    std::string m_printer;
    HFONT m_buttonFont = nullptr; // a stock object, never deleted
    SIZE m_pageSize{2480, 3508};
    int m_dpi = 300;
    int m_page = 0;
    int m_pageCount = 1;
    bool m_twoPages = false;
    int m_zoomLevel = 0;
    POINT m_scroll{0, 0};
};
