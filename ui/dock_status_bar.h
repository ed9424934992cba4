// A status bar with a message pane ("Ready", or the status-line text of the menu item under the
// cursor) and indicator panes at the right; the CAP, NUM and SCRL indicators show their text
// while the key's toggle is on and are blank while it is off.
#pragma once

#include "ui/frame_ids.h"
#include "ui/window.h"

#include <string>
#include <vector>

namespace ui {

class CDockStatusBar : public Window {
public:
    // indicators: one id per pane, kMessagePane for the message pane, kIndicatorCaps/Num/
    // Scroll for the key indicators, any other id shows its string-table text.
    bool Create(HWND parent, const std::vector<UINT>& indicators,
                UINT controlId = kStatusBarControlId);

    void SetMessageText(const std::string& text) const;
    void ShowIdleText() const { SetMessageText(m_idleText); }
    // What the message pane says while no menu item is under the cursor ("Ready" until set);
    // shown at once when it changes.
    void SetIdleText(const std::string& text);
    const std::string& IdleText() const { return m_idleText; }
    // The status-line text of a command: its string-table text up to "\n"; the idle text when
    // the command has none.
    void ShowCommandHelp(UINT commandId) const;
    std::string PaneText(int pane) const;
    int PaneCount() const { return static_cast<int>(m_indicators.size()); }

    // Shows each key indicator as the keyboard's toggle state says.
    void UpdateIndicators() const;
    // Follows the parent's new size: bottom edge, full width, indicators at the right.
    void Resize() const;

private:
    std::string IndicatorText(UINT id) const;

    HINSTANCE m_instance = nullptr;
    std::vector<UINT> m_indicators;
    std::vector<std::string> m_texts;
    std::string m_idleText;
};

} // namespace ui
