#include "base/message_wait.h"

namespace base {

DWORD WaitDeliveringSentMessages(HANDLE handle, DWORD milliseconds) {
    return WaitDeliveringSentMessages(&handle, 1, milliseconds);
}

DWORD WaitDeliveringSentMessages(const HANDLE* handles, DWORD count, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    for (;;) {
        // Deliver what is already waiting: a wait without MWMO_INPUTAVAILABLE would only wake
        // for messages that arrive after the queue was last looked at.
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        const DWORD elapsed = GetTickCount() - start;
        const DWORD left = milliseconds == INFINITE  ? INFINITE
                           : elapsed >= milliseconds ? 0
                                                     : milliseconds - elapsed;
        const DWORD result =
            MsgWaitForMultipleObjectsEx(count, handles, left, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
        if (result != WAIT_OBJECT_0 + count)
            return result;
    }
}

} // namespace base
