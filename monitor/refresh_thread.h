// The refresh thread of the monitor document and what it shares with the user-interface thread.
#pragma once

#include "monitor/ax_mon_doc.h"

#include <windows.h>

namespace monitor {

// The thread procedure; `parameter` is the document's RefreshBlock. It runs one retrieval pass
// per set request event until the stop event is set, then drops the incoming list, sets the
// ended event and ends.
DWORD WINAPI RefreshThreadProc(void* parameter);

} // namespace monitor
