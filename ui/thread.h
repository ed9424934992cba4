// A worker thread that is always waited for: the owner joins it (at the latest in the
// destructor), so no thread outlives the objects it uses. Waiting lets messages sent to the
// waiting thread through, so a worker that sends a message to the user-interface thread cannot
// deadlock with it.
#pragma once

#include "base/handles.h"

#include <functional>

namespace ui {

// Delivers this thread's messages until `done()` returns true (true) or `milliseconds` passed
// (false); `done` is asked once before each round of messages.
bool PumpMessagesUntil(const std::function<bool()>& done, DWORD milliseconds);

class Thread {
public:
    Thread() = default;
    ~Thread() { Join(); }
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // Starts body on a new thread at the given priority (THREAD_PRIORITY_BELOW_NORMAL, ...).
    // False when a thread is still running or the system refuses.
    bool Start(std::function<DWORD()> body, int priority = THREAD_PRIORITY_NORMAL);
    // Waits for the thread to end (delivering sent messages meanwhile); false on timeout.
    bool Join(DWORD milliseconds = INFINITE);
    bool Running() const;
    // The thread's exit code once it has ended.
    DWORD ExitCode() const;
    HANDLE Handle() const { return m_handle.Get(); }
    DWORD Id() const { return m_id; }

private:
    static DWORD WINAPI Entry(void* parameter);

    std::function<DWORD()> m_body;
    base::UniqueHandleKernel m_handle;
    DWORD m_id = 0;
};

} // namespace ui
