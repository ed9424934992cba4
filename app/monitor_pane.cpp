#include "app/monitor_pane.h"

#include "monitor/ax_mon_view.h"

bool CMonitorPane::Attach() { return Subclass(m_view.GetHwnd()); }
