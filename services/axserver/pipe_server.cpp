#include "services/axserver/pipe_server.h"

#include <sddl.h>

#include <vector>

namespace {

constexpr DWORD kBufferSize = 64 * 1024;
constexpr size_t kMaxConnections = 64;
// Once a request has begun, the rest of it must arrive within this time.
constexpr DWORD kRequestTimeoutMs = 10000;
// Administrators and the local system, full access; nobody else.
constexpr char kPipeSecurity[] = "D:P(A;;GA;;;BA)(A;;GA;;;SY)";

enum class IoResult { Done, Failed, Stopped, TimedOut };

// Runs one overlapped read or write to completion, giving up when the stop event is set.
IoResult CompleteIo(HANDLE pipe, OVERLAPPED& overlapped, BOOL started, HANDLE stopEvent,
                    DWORD timeoutMs, DWORD& transferred) {
    if (!started && GetLastError() != ERROR_IO_PENDING)
        return IoResult::Failed;
    HANDLE events[] = {overlapped.hEvent, stopEvent};
    DWORD wait = WaitForMultipleObjects(2, events, FALSE, timeoutMs);
    if (wait != WAIT_OBJECT_0) {
        CancelIo(pipe);
        GetOverlappedResult(pipe, &overlapped, &transferred, TRUE);
        return wait == WAIT_TIMEOUT ? IoResult::TimedOut : IoResult::Stopped;
    }
    return GetOverlappedResult(pipe, &overlapped, &transferred, FALSE) ? IoResult::Done
                                                                       : IoResult::Failed;
}

class PipeIo {
public:
    PipeIo(HANDLE pipe, HANDLE stopEvent)
        : m_pipe(pipe), m_stopEvent(stopEvent),
          m_event(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~PipeIo() { CloseHandle(m_event); }
    PipeIo(const PipeIo&) = delete;
    PipeIo& operator=(const PipeIo&) = delete;

    IoResult Read(void* data, size_t size, DWORD timeoutMs) {
        char* bytes = static_cast<char*>(data);
        while (size > 0) {
            OVERLAPPED overlapped{};
            overlapped.hEvent = m_event;
            DWORD read = 0;
            BOOL started = ReadFile(m_pipe, bytes, static_cast<DWORD>(size), nullptr, &overlapped);
            IoResult result = CompleteIo(m_pipe, overlapped, started, m_stopEvent, timeoutMs, read);
            if (result != IoResult::Done)
                return result;
            if (read == 0)
                return IoResult::Failed;
            bytes += read;
            size -= read;
        }
        return IoResult::Done;
    }

    IoResult Write(const void* data, size_t size) {
        const char* bytes = static_cast<const char*>(data);
        while (size > 0) {
            OVERLAPPED overlapped{};
            overlapped.hEvent = m_event;
            DWORD written = 0;
            BOOL started = WriteFile(m_pipe, bytes, static_cast<DWORD>(size), nullptr, &overlapped);
            IoResult result =
                CompleteIo(m_pipe, overlapped, started, m_stopEvent, kRequestTimeoutMs, written);
            if (result != IoResult::Done)
                return result;
            bytes += written;
            size -= written;
        }
        return IoResult::Done;
    }

private:
    HANDLE m_pipe;
    HANDLE m_stopEvent;
    HANDLE m_event;
};

bool IsMember(HANDLE token, WELL_KNOWN_SID_TYPE type) {
    BYTE sid[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof sid;
    BOOL member = FALSE;
    return CreateWellKnownSid(type, nullptr, sid, &size) &&
           CheckTokenMembership(token, sid, &member) && member;
}

// Whether the client at the other end of the pipe is an administrator or the local system.
bool ClientIsAdministrator(HANDLE pipe) {
    if (!ImpersonateNamedPipeClient(pipe))
        return false;
    HANDLE token = nullptr;
    bool allowed = false;
    if (OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, &token)) {
        allowed =
            IsMember(token, WinBuiltinAdministratorsSid) || IsMember(token, WinLocalSystemSid);
        CloseHandle(token);
    }
    RevertToSelf();
    return allowed;
}

void WriteResponse(PipeIo& io, uint16_t op, uint32_t status, const wire::Writer& payload) {
    wire::ResponseHeader header{wire::kMagic, wire::kVersion, op, status,
                                static_cast<uint32_t>(payload.Size())};
    const uint8_t* headerBytes = reinterpret_cast<const uint8_t*>(&header);
    std::vector<uint8_t> message(headerBytes, headerBytes + sizeof header);
    message.insert(message.end(), payload.Data().begin(), payload.Data().end());
    io.Write(message.data(), message.size());
}

} // namespace

PipeServer::~PipeServer() {
    Stop();
}

DWORD PipeServer::CreateInstance(HANDLE& pipe) {
    SECURITY_ATTRIBUTES attributes{sizeof attributes, m_securityDescriptor, FALSE};
    pipe = CreateNamedPipeA(m_pipeName.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                            PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT,
                            PIPE_UNLIMITED_INSTANCES, kBufferSize, kBufferSize, 0, &attributes);
    return pipe == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
}

DWORD PipeServer::Start(const std::string& pipeName) {
    m_pipeName = pipeName;
    m_stopping = false;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(kPipeSecurity, SDDL_REVISION_1,
                                                              &m_securityDescriptor, nullptr))
        return GetLastError();
    m_stopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!m_stopEvent)
        return GetLastError();
    HANDLE first = INVALID_HANDLE_VALUE;
    DWORD error = CreateInstance(first);
    if (error != ERROR_SUCCESS)
        return error;
    m_acceptThread = std::thread([this, first] { AcceptLoop(first); });
    return ERROR_SUCCESS;
}

void PipeServer::Stop() {
    if (!m_stopEvent)
        return;
    SetEvent(m_stopEvent);
    if (m_acceptThread.joinable())
        m_acceptThread.join();
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_stopping = true;
    }
    m_changed.notify_all();
    for (std::thread& session : m_sessions)
        session.join();
    m_sessions.clear();
    for (HANDLE pipe : m_waiting)
        CloseHandle(pipe);
    m_waiting.clear();
    CloseHandle(m_stopEvent);
    m_stopEvent = nullptr;
    LocalFree(m_securityDescriptor);
    m_securityDescriptor = nullptr;
}

void PipeServer::HandOff(HANDLE pipe) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_waiting.push_back(pipe);
    if (m_idle < m_waiting.size())
        m_sessions.emplace_back([this] { SessionLoop(); });
    m_changed.notify_all();
}

bool PipeServer::WaitForFreeSession() {
    for (;;) {
        {
            std::lock_guard<std::mutex> hold(m_lock);
            if (m_sessions.size() - m_idle + m_waiting.size() < kMaxConnections)
                return true;
        }
        if (WaitForSingleObject(m_stopEvent, 50) == WAIT_OBJECT_0)
            return false;
    }
}

void PipeServer::SessionLoop() {
    std::unique_lock<std::mutex> hold(m_lock);
    for (;;) {
        ++m_idle;
        m_changed.wait(hold, [this] { return m_stopping || !m_waiting.empty(); });
        --m_idle;
        if (m_waiting.empty())
            return;
        HANDLE pipe = m_waiting.front();
        m_waiting.pop_front();
        hold.unlock();
        Serve(pipe);
        hold.lock();
    }
}

void PipeServer::AcceptLoop(HANDLE pipe) {
    // The next instance is made before a connected one is handed off, so that the pipe never
    // vanishes between two clients (a client would take that for a stopped service). While too
    // many clients are connected it exists without listening: new clients wait for it.
    HANDLE connected = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    while (pipe != INVALID_HANDLE_VALUE) {
        if (!WaitForFreeSession())
            break;
        OVERLAPPED overlapped{};
        overlapped.hEvent = connected;
        ResetEvent(connected);
        BOOL done = ConnectNamedPipe(pipe, &overlapped);
        DWORD error = done ? ERROR_SUCCESS : GetLastError();
        if (error == ERROR_IO_PENDING) {
            HANDLE events[] = {connected, m_stopEvent};
            if (WaitForMultipleObjects(2, events, FALSE, INFINITE) != WAIT_OBJECT_0) {
                CancelIo(pipe);
                DWORD ignored = 0;
                GetOverlappedResult(pipe, &overlapped, &ignored, TRUE);
                break;
            }
            DWORD ignored = 0;
            error = GetOverlappedResult(pipe, &overlapped, &ignored, FALSE) ? ERROR_SUCCESS
                                                                            : GetLastError();
        }
        HANDLE next = INVALID_HANDLE_VALUE;
        CreateInstance(next);
        if (error != ERROR_SUCCESS && error != ERROR_PIPE_CONNECTED)
            CloseHandle(pipe); // the client went away before it was served
        else
            HandOff(pipe);
        pipe = next;
    }
    if (pipe != INVALID_HANDLE_VALUE)
        CloseHandle(pipe);
    CloseHandle(connected);
}

void PipeServer::Serve(HANDLE pipe) {
    {
        PipeIo io(pipe, m_stopEvent);
        ClientSession session(m_service, m_identity);
        bool checked = false;
        for (;;) {
            wire::RequestHeader header{};
            if (io.Read(&header, sizeof header, INFINITE) != IoResult::Done)
                break;
            wire::Writer response;
            if (!checked) {
                if (!ClientIsAdministrator(pipe)) {
                    WriteResponse(io, header.op, ERROR_ACCESS_DENIED, response);
                    break;
                }
                checked = true;
            }
            if (header.magic != wire::kMagic || header.version != wire::kVersion) {
                WriteResponse(io, header.op, ERROR_INVALID_DATA, response);
                break;
            }
            if (header.length > wire::kMaxRequestPayload) {
                WriteResponse(io, header.op, ERROR_BAD_LENGTH, response);
                break;
            }
            std::vector<uint8_t> payload(header.length);
            if (header.length &&
                io.Read(payload.data(), payload.size(), kRequestTimeoutMs) != IoResult::Done)
                break;
            uint32_t status = 0;
            bool keep = session.Handle(header.op, payload, status, response);
            WriteResponse(io, header.op, status, response);
            if (!keep)
                break;
        }
    }
    // Closing without disconnecting lets the client still read the last answer.
    CloseHandle(pipe);
}
