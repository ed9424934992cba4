// CGridView: a read-only table window. Row 0 holds the headings and column 0 the row headers
// (give it width 0 to hide it); rows 1..GetRowCount() and columns 1..GetColCount() hold data.
// Cells take their look from styles (cell, column, standard) and are drawn by registered cell
// controls. Programs derive from it and override the virtual hooks.
#pragma once

#include "grid/grid_control.h"
#include "grid/grid_ids.h"
#include "grid/grid_looks.h"
#include "grid/grid_printer.h"
#include "grid/grid_row.h"
#include "grid/grid_style.h"
#include "grid/grid_tips.h"

#include "base/handles.h"
#include "ui/window_base.h"

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

class CGridFind;
class CGridPrintPreview;

struct CGridSortInfo {
    int col = 1;
    bool ascending = true;
};

struct CGridFindOptions {
    bool down = true;
    bool matchCase = false;
    bool wholeWord = false;
};

class CGridView : public ui::WindowBase {
public:
    CGridView();
    ~CGridView() override;

    // --- Window ---------------------------------------------------------------------------
    // Creates the grid as a child window (a frame's view: give the frame's client rectangle).
    bool Create(HWND parent, const RECT& rect, int id,
                DWORD style = WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL | WS_TABSTOP);
    // Called by the host once the window exists and before the first paint.
    virtual void OnInitialUpdate() {}
    // Repaints the window unless screen updates are locked.
    void Redraw();

    // --- Table ------------------------------------------------------------------------------
    // While read-only, calls that change cells, rows or columns return false and change nothing.
    bool SetReadOnly(bool readOnly); // returns the previous state
    bool IsReadOnly() const { return m_readOnly; }
    // While locked, changes do not repaint; unlocking does not repaint either (call Redraw).
    bool LockUpdate(bool lock = true); // returns the previous state
    bool IsLockUpdate() const { return m_lockUpdate; }

    int GetRowCount() const; // data rows, without the heading row
    int GetColCount() const; // data columns, without the row-header column
    bool SetRowCount(int rows);
    bool SetColCount(int cols);
    bool RemoveRows(int fromRow, int toRow); // data rows, inclusive

    // Widths in screen pixels at zoom 100.
    bool SetColWidth(int col, int width);
    int GetColWidth(int col) const;
    // Average character width of the standard font on the screen at zoom 100.
    int GetAvgCharWidth() const;
    int GetRowHeight() const; // at the current zoom

    // --- Styles -----------------------------------------------------------------------------
    // Mode of SetStyle: Override merges the given properties over the cell's; Copy replaces.
    enum class StyleMode { Override, Copy };
    bool SetStyle(int row, int col, CGridStyle style, StyleMode mode = StyleMode::Override);
    bool SetValue(int row, int col, const std::string& value);
    CGridStyle GetCellStyle(int row, int col) const;    // the cell's own properties
    CGridStyle ComposeStyle(int row, int col) const;    // with inherited properties
    std::string GetValue(int row, int col) const;       // the composed value
    std::string GetDisplayText(int row, int col) const; // as the cell's control shows it
    // Column style: inherited by the data cells (rows 1..n) of a column.
    bool SetColumnStyle(int col, const CGridStyle& style);
    const CGridStyle& GetColumnStyle(int col) const;
    // Standard style: inherited by every cell.
    CGridStyle& StandardStyle() { return m_standard; }
    void SetStandardFont(const LOGFONTA& font);
    LOGFONTA GetStandardFont() const { return m_font; }
    // The row's item pointer, kept in the style of its column-0 cell.
    bool SetItemDataPtr(int row, void* item);
    void* GetItemDataPtr(int row) const;

    // --- Cell controls ----------------------------------------------------------------------
    // Registers (or replaces) the control named by a string resource id; the grid owns it.
    void RegisterControl(int controlId, std::unique_ptr<CGridControl> control);
    CGridControl* GetRegisteredControl(int controlId) const; // null when not registered
    CGridControl& ControlOf(const CGridStyle& style) const;  // falls back to "Static Text"
    static std::string GetControlName(int controlId);        // the string resource's text

    // --- Current cell and selection ----------------------------------------------------------
    bool GetCurrentCell(int& row, int& col) const; // false when there is none
    bool SetCurrentCell(int row, int col);         // a data cell; scrolls it into view
    void ClearCurrentCell();
    bool IsRowSelected(int row) const;
    void SelectRow(int row, bool selected);
    void ClearSelection();
    std::vector<int> GetSelectedRows() const; // ascending
    // The row a Shift extension of the selection starts from; 0 for none.
    int GetAnchorRow() const { return m_anchorRow; }
    void SetAnchorRow(int row) { m_anchorRow = row >= 1 && row <= GetRowCount() ? row : 0; }
    int GetTopRow() const { return m_topRow; }
    void ScrollToRow(int row);

    // --- Sorting ----------------------------------------------------------------------------
    // Stable sort of rows 1..n by the keys of one column in the user's locale collation without
    // regard to case; rows with keys that collate equal keep their order.
    void SortRows(const CGridSortInfo& info);
    // The key of a cell; `style` is the cell's composed style. Default: the display text.
    virtual std::string GetSortKey(int row, int col, const CGridSortInfo& info,
                                   const CGridStyle& style);
    // The heading of column `col` shows an arrow: up for ascending, down for descending; -1
    // shows none.
    void SetSortMark(int col, bool ascending);
    int GetSortMarkColumn() const { return m_sortMarkCol; }

    // --- Hooks (flags are the MK_ key flags, point in client coordinates) ---------------------
    // A press of the left button on a cell; return true when handled (then the grid does
    // not move the current cell).
    virtual bool OnCellClick(int row, int col, UINT flags, POINT point);
    // Return true when handled; unhandled on a heading border fits the column to its contents.
    virtual bool OnCellDoubleClick(int row, int col, UINT flags, POINT point);
    // Right button released over a cell; return true when handled.
    virtual bool OnCellRightClick(int row, int col, UINT flags, POINT point);
    // The user finished dragging column `col` to `width`; return false to keep the old width.
    virtual bool OnColumnResized(int col, int width);
    // The tool tip of a cell, shown while the mouse rests on it; empty (the default): none.
    virtual std::string GetCellTip(int row, int col);
    HWND GetTipWindow() const; // null until the mouse first moved over the grid

    // --- Zoom (percent, 100 = normal) ---------------------------------------------------------
    int GetZoom() const { return m_zoom; }
    void SetZoom(int percent); // clamped to GRID_ZOOM_MIN..GRID_ZOOM_MAX
    bool CanZoomIn() const { return m_zoom < GRID_ZOOM_IN_BELOW; }
    bool CanZoomOut() const { return m_zoom > GRID_ZOOM_OUT_ABOVE; }
    void ZoomIn();    // zoom × 11 / 10
    void ZoomOut();   // zoom × 10 / 11
    void ZoomReset(); // 100

    // --- Find ---------------------------------------------------------------------------------
    // Searches the data cells' display texts after (or before) the current cell, all columns
    // including hidden ones; on a match the match becomes the current cell.
    bool FindText(const std::string& what, const CGridFindOptions& options);
    void ShowFindDialog(); // modeless; its owner is the grid's top-level window
    HWND GetFindDialog() const;

    // --- Copy ---------------------------------------------------------------------------------
    // Selected rows (all rows when none is selected) as tab-separated lines with a heading
    // line, cells as shown, in the grid's current order, lines ended by CR LF.
    std::string GetCopyText() const;
    bool Copy(); // onto the clipboard as CF_TEXT

    // --- Painting -----------------------------------------------------------------------------
    // Paints the visible part into any DC whose origin is the client area's.
    void PaintTo(HDC dc, const RECT& client);

    // --- Printing -----------------------------------------------------------------------------
    bool Print(); // asks for a printer
    // The print setup dialog; the printer and page chosen serve the following printouts.
    bool PrintSetup();
    bool PrintTo(HDC printerDc, const std::string& title); // the whole document
    // The column repeated at the left of pages that continue rows to the right; -1: none.
    void SetPrintKeyColumn(int col) { m_printKeyCol = col; }
    // The title printed at the top of every page, with the date and time of the printout.
    // Default: the text of the grid's top-level window.
    virtual std::string GetPrintTitle() const;
    void ShowPrintPreview(); // a preview window of the printout
    // The printer and page setup chosen in Print Setup (or Print), for the preview's pages.
    const CGridPrinterChoice& PrinterChoice() const { return m_printer; }
    CGridPrintPreview* GetPrintPreview() const { return m_preview.get(); } // null until shown
    // Draws page `page` (0-based) of a printout laid out for a page of `pageSize` device
    // pixels at `dpi` pixels per inch.
    void PrintPage(HDC dc, SIZE pageSize, int dpi, int page);
    int GetPrintPageCount(SIZE pageSize, int dpi);

protected:
    // A derived view handles its own messages and passes the rest here.
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    bool OnPaint() override;
    bool OnEraseBackground(HDC) override { return true; }
    void OnSize(UINT type, int width, int height) override;
    bool OnKeyDown(UINT key, LPARAM flags) override;

    // The style row 0 and column 0 inherit before the standard style.
    CGridStyle& HeadingStyle() { return m_headingStyle; }

private:
    struct Row {
        CGridRow cells; // columns 0..GetColCount(), their looks in m_looks
        bool selected = false;
    };
    // Horizontal placement of the columns on the screen at the current zoom.
    struct ColumnSpan {
        int col;
        int left;
        int right;
    };

    bool CanChange() const { return !m_readOnly; }
    bool IsCell(int row, int col) const;
    uint32_t InternLook(const CGridStyle& look);
    void DropUnusedLooks();
    int ZoomPixels(int pixels) const { return MulDiv(pixels, m_zoom, 100); }
    void RecreateZoomFont();
    int HeadingHeight() const { return GetRowHeight(); }
    int ScreenColWidth(int col) const { return ZoomPixels(GetColWidth(col)); }
    int FrozenWidth() const { return ScreenColWidth(0); }
    int ScrollableWidth() const;
    int VisibleRowCount() const; // data rows that fit fully
    std::vector<ColumnSpan> VisibleColumns(int clientWidth) const;
    bool HitTest(POINT point, int& row, int& col) const;
    int HitColumnBorder(POINT point) const; // column whose right border is at point, or -1
    void UpdateScrollBars();
    void ScrollVertically(int request, int thumb);
    void ScrollHorizontally(int request, int thumb);
    void MoveCurrentBy(int rows, int cols, bool extend);
    void SelectRange(int fromRow, int toRow);
    void InvalidateCells();
    void InvalidateRow(int row); // only when the row is on the screen
    void PaintCell(HDC dc, const RECT& rect, int row, int col, int scale, bool forPrint);
    void PaintGridLines(HDC dc, const RECT& rect);
    void PaintSortMark(HDC dc, const RECT& rect) const;
    void OnLeftButtonDown(UINT flags, POINT point);
    void OnMouseMove(UINT flags, POINT point);
    void FollowTip(POINT point);
    RECT CellRect(int row, int col) const; // client coordinates of a cell on the screen
    void OnLeftButtonUp(POINT point);
    void OnLeftDoubleClick(UINT flags, POINT point);
    void MoveByKey(UINT key);
    void OnFindMessage(LPARAM lParam);
    void KeepCurrentRowClearOf(HWND window);
    int FitColumnWidth(int col) const;
    std::vector<int> PrintedColumns() const;

    bool m_readOnly = false;
    bool m_lockUpdate = false;
    int m_zoom = GRID_ZOOM_NORMAL;
    std::vector<Row> m_rows{Row{CGridRow(1)}}; // row 0 is the heading row
    CGridLooks m_looks;
    size_t m_looksLimit = 0; // unused looks are dropped when there are this many
    std::vector<int> m_colWidths{40};
    std::vector<CGridStyle> m_colStyles{CGridStyle{}};
    CGridStyle m_standard;
    CGridStyle m_headingStyle;
    LOGFONTA m_font{};
    base::UniqueFont m_zoomFont;
    int m_rowHeight = 18; // at the current zoom
    std::map<int, std::unique_ptr<CGridControl>> m_controls;
    int m_currentRow = 0; // 0: no current cell
    int m_currentCol = 0;
    int m_anchorRow = 0;
    int m_topRow = 1;
    int m_scrollX = 0;
    int m_trackCol = -1;
    int m_sortMarkCol = -1;
    int m_printKeyCol = -1;
    bool m_sortMarkAscending = true;
    int m_trackStartX = 0;
    int m_trackStartWidth = 0;
    std::unique_ptr<CGridFind> m_find;
    CGridTips m_tips;
    std::unique_ptr<CGridPrintPreview> m_preview;
    CGridPrinterChoice m_printer;
};
