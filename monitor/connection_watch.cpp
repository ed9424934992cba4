#include "monitor/connection_watch.h"

#include "client/axcli.h"
#include "monitor/monitor_messages.h"
#include "monitor/server_list.h"

namespace monitor {

void ConnectionWatch::Check(const std::string& servers, HWND window) {
    if (m_thread.Running())
        return;
    m_thread.Join();
    m_thread.Start([servers, window]() -> DWORD {
        bool answers = true;
        for (const std::string& name : SplitServerList(servers)) {
            AXCli client;
            answers = client.Connect(name.c_str()) == kAxOk && answers;
            client.Disconnect();
        }
        PostMessageA(window, WM_AXMON_CONNECTED, answers ? 1 : 0, 0);
        return 0;
    });
}

} // namespace monitor
