// Puts the monitor view's window into the frame's layout and command routing: the frame moves
// its view and sends it commands first, and the view's window belongs to the grid.
#pragma once

#include "ui/window_base.h"

namespace monitor {
class CAXMonView;
}

class CMonitorPane : public ui::WindowBase {
public:
    explicit CMonitorPane(monitor::CAXMonView& view) : m_view(view) {}
    // Routes the view window's messages through this object (after the view is created).
    bool Attach();

protected:
    // The view's own commands (columns, zoom, find, copy, pause, release, printing).
    bool OnCommand(UINT id, UINT code, HWND control) override;
    void OnUpdateCommand(UINT id, ui::CommandState& state) override;

private:
    monitor::CAXMonView& m_view;
};
