#include "ui/thread.h"

#include "base/message_wait.h"

namespace ui {

bool Thread::Start(std::function<DWORD()> body, int priority) {
    if (Running())
        return false;
    m_body = std::move(body);
    m_handle.Reset(CreateThread(nullptr, 0, Entry, this, CREATE_SUSPENDED, &m_id));
    if (!m_handle)
        return false;
    SetThreadPriority(m_handle.Get(), priority);
    ResumeThread(m_handle.Get());
    return true;
}

bool Thread::Join(DWORD milliseconds) {
    if (!m_handle)
        return true;
    if (GetCurrentThreadId() == m_id)
        return false;
    return base::WaitDeliveringSentMessages(m_handle.Get(), milliseconds) == WAIT_OBJECT_0;
}

bool Thread::Running() const {
    return m_handle && WaitForSingleObject(m_handle.Get(), 0) == WAIT_TIMEOUT;
}

DWORD Thread::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (m_handle)
        GetExitCodeThread(m_handle.Get(), &code);
    return code;
}

DWORD WINAPI Thread::Entry(void* parameter) {
    return static_cast<Thread*>(parameter)->m_body();
}

bool PumpMessagesUntil(const std::function<bool()>& done, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (done())
            return true;
        if (GetTickCount() - start >= milliseconds)
            return false;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        MsgWaitForMultipleObjectsEx(0, nullptr, 10, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

} // namespace ui
