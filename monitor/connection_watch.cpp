#include "monitor/connection_watch.h"

#include "client/axcli.h"
#include "monitor/monitor_messages.h"
#include "monitor/server_list.h"

namespace monitor {

ConnectionWatch::ConnectionWatch() : m_cancel(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

ConnectionWatch::~ConnectionWatch() {
    SetEvent(m_cancel.Get());
    m_thread.Join();
}

void ConnectionWatch::Check(const std::string& servers, HWND window) {
    if (m_thread.Running())
        return;
    m_thread.Join();
    m_thread.Start([servers, window, cancel = m_cancel.Get()]() -> DWORD {
        bool answers = true;
        for (const std::string& name : SplitServerList(servers)) {
            AXCli client;
            client.SetCancelEvent(cancel);
            answers = client.Connect(name.c_str()) == kAxOk && answers;
        }
        if (WaitForSingleObject(cancel, 0) != WAIT_OBJECT_0)
            PostMessageA(window, WM_AXMON_CONNECTED, answers ? 1 : 0, 0);
        return 0;
    });
}

} // namespace monitor
