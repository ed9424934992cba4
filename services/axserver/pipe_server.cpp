#include "services/axserver/pipe_server.h"

#include <sddl.h>

#include <algorithm>
#include <vector>

namespace {

constexpr DWORD kBufferSize = 64 * 1024;
constexpr size_t kMaxConnections = 64;
// Once a request has begun, the whole of it must arrive within this time; an answer must be
// taken within it too.
constexpr DWORD kRequestTimeoutMs = 10000;
// A connection that sends no request for this long is closed; its client connects again.
constexpr DWORD kIdleSessionMs = 60000;
// Session threads idle for this long end, while more than kKeptWorkers are idle.
constexpr auto kIdleWorker = std::chrono::seconds(30);
constexpr size_t kKeptWorkers = 4;
// Administrators and the local system, full access; nobody else.
constexpr char kPipeSecurity[] = "D:P(A;;GA;;;BA)(A;;GA;;;SY)";

enum class IoResult { Done, Failed, Stopped };

DWORD Remaining(ULONGLONG deadline) {
    ULONGLONG now = GetTickCount64();
    return now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
}

} // namespace

// Overlapped reads and writes on one pipe that give up at a deadline, when the server stops or
// when a session's wake event is set.
class PipeIo {
public:
    PipeIo(HANDLE pipe, HANDLE stopEvent)
        : m_pipe(pipe), m_stopEvent(stopEvent),
          m_event(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

    // Reads between 1 and `size` bytes.
    IoResult ReadSome(void* data, size_t size, ULONGLONG deadline, size_t& read,
                      HANDLE wake = nullptr) {
        OVERLAPPED overlapped{};
        overlapped.hEvent = m_event.Get();
        BOOL started = ReadFile(m_pipe, data, static_cast<DWORD>(size), nullptr, &overlapped);
        DWORD transferred = 0;
        IoResult result = Complete(overlapped, started, deadline, wake, transferred);
        read = transferred;
        return result == IoResult::Done && transferred == 0 ? IoResult::Failed : result;
    }

    IoResult Read(void* data, size_t size, ULONGLONG deadline) {
        char* bytes = static_cast<char*>(data);
        while (size > 0) {
            size_t read = 0;
            IoResult result = ReadSome(bytes, size, deadline, read);
            if (result != IoResult::Done)
                return result;
            bytes += read;
            size -= read;
        }
        return IoResult::Done;
    }

    IoResult Write(const void* data, size_t size) {
        const ULONGLONG deadline = GetTickCount64() + kRequestTimeoutMs;
        const char* bytes = static_cast<const char*>(data);
        while (size > 0) {
            OVERLAPPED overlapped{};
            overlapped.hEvent = m_event.Get();
            DWORD written = 0;
            BOOL started = WriteFile(m_pipe, bytes, static_cast<DWORD>(size), nullptr, &overlapped);
            IoResult result = Complete(overlapped, started, deadline, nullptr, written);
            if (result != IoResult::Done)
                return result;
            bytes += written;
            size -= written;
        }
        return IoResult::Done;
    }

private:
    IoResult Complete(OVERLAPPED& overlapped, BOOL started, ULONGLONG deadline, HANDLE wake,
                      DWORD& transferred) {
        if (!started && GetLastError() != ERROR_IO_PENDING)
            return IoResult::Failed;
        HANDLE events[] = {overlapped.hEvent, m_stopEvent, wake};
        DWORD wait = WaitForMultipleObjects(wake ? 3 : 2, events, FALSE, Remaining(deadline));
        if (wait != WAIT_OBJECT_0) {
            CancelIo(m_pipe);
            GetOverlappedResult(m_pipe, &overlapped, &transferred, TRUE);
            return wait == WAIT_OBJECT_0 + 1 ? IoResult::Stopped : IoResult::Failed;
        }
        return GetOverlappedResult(m_pipe, &overlapped, &transferred, FALSE) ? IoResult::Done
                                                                             : IoResult::Failed;
    }

    HANDLE m_pipe;
    HANDLE m_stopEvent;
    base::UniqueHandleKernel m_event;
};

namespace {

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
    bool allowed = false;
    {
        base::UniqueHandleKernel token;
        if (OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, token.Put()))
            allowed = IsMember(token.Get(), WinBuiltinAdministratorsSid) ||
                      IsMember(token.Get(), WinLocalSystemSid);
    }
    RevertToSelf();
    return allowed;
}

// Writes the header and the payload in one piece, through `message`, whose memory is kept from
// response to response: a batch of records takes megabytes, which fresh memory would have to be
// faulted in for every time.
void WriteResponse(PipeIo& io, uint16_t op, uint32_t status, const wire::Writer& payload,
                   std::vector<uint8_t>& message) {
    wire::ResponseHeader header{wire::kMagic, wire::kVersion, op, status,
                                static_cast<uint32_t>(payload.Size())};
    const uint8_t* headerBytes = reinterpret_cast<const uint8_t*>(&header);
    message.assign(headerBytes, headerBytes + sizeof header);
    message.insert(message.end(), payload.Data().begin(), payload.Data().end());
    io.Write(message.data(), message.size());
}

} // namespace

bool PipeServer::IsServed(const std::string& pipeName) {
    // FILE_FLAG_FIRST_PIPE_INSTANCE refuses a second server on Windows; Wine ignores that flag.
    base::UniqueFile probe(CreateFileA(pipeName.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                       SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr));
    return probe || GetLastError() == ERROR_PIPE_BUSY;
}

PipeServer::~PipeServer() {
    Stop();
}

DWORD PipeServer::CreateInstance(base::UniqueFile& pipe, bool first) {
    SECURITY_ATTRIBUTES attributes{sizeof attributes, m_securityDescriptor.Get(), FALSE};
    DWORD mode =
        PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | (first ? FILE_FLAG_FIRST_PIPE_INSTANCE : 0);
    pipe.Reset(
        CreateNamedPipeA(m_pipeName.c_str(), mode, PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT,
                         PIPE_UNLIMITED_INSTANCES, kBufferSize, kBufferSize, 0, &attributes));
    if (pipe)
        return ERROR_SUCCESS;
    DWORD error = GetLastError();
    return first && error == ERROR_ACCESS_DENIED ? ERROR_SERVICE_ALREADY_RUNNING : error;
}

DWORD PipeServer::Start(const std::string& pipeName) {
    m_pipeName = pipeName;
    m_stopping = false;
    if (IsServed(pipeName))
        return ERROR_SERVICE_ALREADY_RUNNING;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(kPipeSecurity, SDDL_REVISION_1,
                                                              m_securityDescriptor.Put(), nullptr))
        return GetLastError();
    m_stopEvent.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!m_stopEvent)
        return GetLastError();
    base::UniqueFile first;
    DWORD error = CreateInstance(first, true);
    if (error != ERROR_SUCCESS) {
        m_stopEvent.Reset();
        return error;
    }
    m_acceptThread = std::thread([this](base::UniqueFile pipe) { AcceptLoop(std::move(pipe)); },
                                 std::move(first));
    return ERROR_SUCCESS;
}

void PipeServer::Stop() {
    if (!m_stopEvent)
        return;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_stopping = true;
    }
    SetEvent(m_stopEvent.Get());
    m_changed.notify_all();
    if (m_acceptThread.joinable())
        m_acceptThread.join();
    for (Worker& worker : m_workers)
        worker.thread.join();
    m_workers.clear();
    m_waiting.clear();
    m_idle = 0;
    m_connected = 0;
    m_stopEvent.Reset();
    m_securityDescriptor.Reset();
}

void PipeServer::JoinFinishedLocked() {
    for (auto worker = m_workers.begin(); worker != m_workers.end();) {
        if (worker->finished) {
            worker->thread.join();
            worker = m_workers.erase(worker);
        } else {
            ++worker;
        }
    }
}

void PipeServer::HandOff(base::UniqueFile pipe) {
    std::lock_guard<std::mutex> hold(m_lock);
    JoinFinishedLocked();
    m_waiting.push_back(std::move(pipe));
    ++m_connected;
    if (m_idle < m_waiting.size()) {
        Worker& worker = m_workers.emplace_back();
        worker.thread = std::thread([this, &worker] { SessionLoop(worker); });
    }
    m_changed.notify_all();
}

bool PipeServer::WaitForFreeSession() {
    std::unique_lock<std::mutex> hold(m_lock);
    while (!m_stopping && m_connected >= kMaxConnections) {
        auto quiet = std::find_if(m_quiet.begin(), m_quiet.end(),
                                  [](const QuietSession& session) { return !session.evicted; });
        if (quiet != m_quiet.end()) {
            quiet->evicted = true;
            SetEvent(quiet->wake);
        }
        // Sessions busy with a request end it within the request time limit.
        m_changed.wait_for(hold, std::chrono::milliseconds(kRequestTimeoutMs));
    }
    return !m_stopping;
}

void PipeServer::SessionLoop(Worker& self) {
    std::unique_lock<std::mutex> hold(m_lock);
    for (;;) {
        ++m_idle;
        bool woken = m_changed.wait_for(hold, kIdleWorker,
                                        [this] { return m_stopping || !m_waiting.empty(); });
        --m_idle;
        if (m_stopping || (!woken && m_idle >= kKeptWorkers)) {
            self.finished = !m_stopping;
            return;
        }
        if (m_waiting.empty())
            continue;
        base::UniqueFile pipe = std::move(m_waiting.front());
        m_waiting.pop_front();
        hold.unlock();
        Serve(std::move(pipe));
        hold.lock();
        --m_connected;
        m_changed.notify_all();
    }
}

void PipeServer::AcceptLoop(base::UniqueFile pipe) {
    // The next instance is made before a connected one is handed off, so that the pipe never
    // vanishes between two clients (a client would take that for a stopped service). While every
    // session is taken it exists without being served: new clients wait for it.
    base::UniqueHandleKernel connected(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    while (pipe) {
        if (!WaitForFreeSession())
            break;
        OVERLAPPED overlapped{};
        overlapped.hEvent = connected.Get();
        ResetEvent(connected.Get());
        BOOL done = ConnectNamedPipe(pipe.Get(), &overlapped);
        DWORD error = done ? ERROR_SUCCESS : GetLastError();
        if (error == ERROR_IO_PENDING) {
            HANDLE events[] = {connected.Get(), m_stopEvent.Get()};
            DWORD ignored = 0;
            if (WaitForMultipleObjects(2, events, FALSE, INFINITE) != WAIT_OBJECT_0) {
                CancelIo(pipe.Get());
                GetOverlappedResult(pipe.Get(), &overlapped, &ignored, TRUE);
                break;
            }
            error = GetOverlappedResult(pipe.Get(), &overlapped, &ignored, FALSE) ? ERROR_SUCCESS
                                                                                  : GetLastError();
        }
        base::UniqueFile next;
        CreateInstance(next, false);
        if (error == ERROR_SUCCESS || error == ERROR_PIPE_CONNECTED)
            HandOff(std::move(pipe));
        // else the client went away before it was served: its instance closes here
        pipe = std::move(next);
    }
}

bool PipeServer::AwaitRequest(PipeIo& io, uint8_t& first) {
    base::UniqueHandleKernel wake(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    std::list<QuietSession>::iterator quiet;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        quiet = m_quiet.insert(m_quiet.end(), QuietSession{wake.Get()});
    }
    size_t read = 0;
    IoResult result = io.ReadSome(&first, 1, GetTickCount64() + kIdleSessionMs, read, wake.Get());
    std::lock_guard<std::mutex> hold(m_lock);
    m_quiet.erase(quiet);
    return result == IoResult::Done;
}

void PipeServer::Serve(base::UniqueFile pipe) {
    PipeIo io(pipe.Get(), m_stopEvent.Get());
    ClientSession session(m_service, m_identity);
    // Kept from request to request, with their memory.
    wire::Writer response;
    std::vector<uint8_t> message;
    bool checked = false;
    for (;;) {
        wire::RequestHeader header{};
        uint8_t* headerBytes = reinterpret_cast<uint8_t*>(&header);
        if (!AwaitRequest(io, headerBytes[0]))
            break;
        const ULONGLONG deadline = GetTickCount64() + kRequestTimeoutMs;
        if (io.Read(headerBytes + 1, sizeof header - 1, deadline) != IoResult::Done)
            break;
        response.Clear();
        if (!checked) {
            if (!ClientIsAdministrator(pipe.Get())) {
                WriteResponse(io, header.op, ERROR_ACCESS_DENIED, response, message);
                break;
            }
            checked = true;
        }
        if (header.magic != wire::kMagic || header.version != wire::kVersion) {
            WriteResponse(io, header.op, ERROR_INVALID_DATA, response, message);
            break;
        }
        if (header.length > wire::kMaxRequestPayload) {
            WriteResponse(io, header.op, ERROR_BAD_LENGTH, response, message);
            break;
        }
        std::vector<uint8_t> payload(header.length);
        if (header.length && io.Read(payload.data(), payload.size(), deadline) != IoResult::Done)
            break;
        uint32_t status = 0;
        bool keep = session.Handle(header.op, payload, status, response);
        WriteResponse(io, header.op, status, response, message);
        if (!keep)
            break;
    }
    // Closing without disconnecting lets the client still read the last answer.
}
