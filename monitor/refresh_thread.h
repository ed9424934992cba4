// The refresh thread of the monitor document and what it shares with the user-interface thread.
#pragma once

#include "monitor/ax_mon_doc.h"

#include <windows.h>

namespace monitor {

// The thread procedure; `parameter` is the document's RefreshBlock. It runs one retrieval pass
// per set request event until the stop event is set, then drops the incoming list, sets the
// ended event and ends.
DWORD WINAPI RefreshThreadProc(void* parameter);

// Waits for `handle` while delivering the messages other threads send to this thread's windows,
// so that a thread blocked in SendMessage to us cannot keep us waiting forever.
bool WaitDeliveringSentMessages(HANDLE handle);

} // namespace monitor
