// A Win32 event object owned by this wrapper.
#pragma once

#include "base/handles.h"

namespace ui {

class Event {
public:
    enum class Reset { Auto, Manual };

    explicit Event(Reset reset = Reset::Auto, bool signaled = false)
        : m_handle(CreateEventA(nullptr, reset == Reset::Manual, signaled, nullptr)) {}

    bool Set() const { return SetEvent(m_handle.Get()) != FALSE; }
    bool Clear() const { return ResetEvent(m_handle.Get()) != FALSE; }
    // True when the event was signaled within the time (an auto-reset event is then cleared).
    bool Wait(DWORD milliseconds = INFINITE) const {
        return WaitForSingleObject(m_handle.Get(), milliseconds) == WAIT_OBJECT_0;
    }
    HANDLE Handle() const { return m_handle.Get(); }
    explicit operator bool() const { return static_cast<bool>(m_handle); }

private:
    base::UniqueHandleKernel m_handle;
};

} // namespace ui
