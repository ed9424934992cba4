// Waiting on a handle without shutting out the messages other threads send to this one: a
// worker that sends a message to a waiting user-interface thread cannot deadlock with it.
#pragma once

#include <windows.h>

namespace base {

// Waits for `handle` while delivering the messages other threads send to this thread (posted
// messages stay queued). Returns WAIT_OBJECT_0, WAIT_TIMEOUT or WAIT_FAILED.
DWORD WaitDeliveringSentMessages(HANDLE handle, DWORD milliseconds = INFINITE);
// The same for the first of `count` handles: WAIT_OBJECT_0 + its index, WAIT_TIMEOUT or
// WAIT_FAILED.
DWORD WaitDeliveringSentMessages(const HANDLE* handles, DWORD count, DWORD milliseconds);

} // namespace base
