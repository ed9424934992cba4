#include "app/monitor_pane.h"

#include "monitor/ax_mon_view.h"

bool CMonitorPane::Attach() {
    return Subclass(m_view.GetHwnd());
}

bool CMonitorPane::OnCommand(UINT id, UINT code, HWND control) {
    return m_view.OnViewCommand(id) || WindowBase::OnCommand(id, code, control);
}

void CMonitorPane::OnUpdateCommand(UINT id, ui::CommandState& state) {
    m_view.OnUpdateViewCommand(id, state);
    if (!state.Answered())
        WindowBase::OnUpdateCommand(id, state);
}
