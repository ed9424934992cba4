// Whether the quota service of the monitored servers answers, asked on a thread of its own while
// the refresh cycle rests (window hidden, minimised or paused), so that the tray icon keeps
// telling the truth without the rows being read and rebuilt.
#pragma once

#include "base/handles.h"
#include "ui/thread.h"

#include <windows.h>

#include <string>

namespace monitor {

class ConnectionWatch {
public:
    ConnectionWatch();
    // Ends a check still waiting for a server at once.
    ~ConnectionWatch();
    ConnectionWatch(const ConnectionWatch&) = delete;
    ConnectionWatch& operator=(const ConnectionWatch&) = delete;

    // Connects to each server of the ";"-separated list `servers` and posts WM_AXMON_CONNECTED
    // to `window`: 1 when every one answered, else 0. Does nothing while a check still runs.
    void Check(const std::string& servers, HWND window);

private:
    base::UniqueHandleKernel m_cancel; // set: the check's calls fail at once
    ui::Thread m_thread;               // joined by its destructor: a check never outlives the watch
};

} // namespace monitor
