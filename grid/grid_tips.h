// The grid's tool tip: one tool that follows the cell under the mouse, with the text the grid
// gives for that cell.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

class CGridTips {
public:
    CGridTips() = default;
    ~CGridTips(); // destroys the tip window
    CGridTips(const CGridTips&) = delete;
    CGridTips& operator=(const CGridTips&) = delete;

    // The mouse moved to `point` of `grid`, over cell (row, col) whose client rectangle is
    // `cell` (row -1: over no cell); `text` gives the cell's tip when the cell changed.
    void Follow(HWND grid, POINT point, int row, int col, const RECT& cell,
                const std::function<std::string()>& text);
    // The tip window (null until the mouse first moved over the grid) and its current text.
    HWND Window() const { return m_tip; }
    const std::string& Text() const { return m_text; }

private:
    bool Create(HWND grid);

    HWND m_tip = nullptr;
    int m_row = -1;
    int m_col = -1;
    std::string m_text;
};
