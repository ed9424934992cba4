#include "client/pipe_connection.h"

#include "base/message_wait.h"

#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr DWORD kBusyWaitMs = 5000;
const char kPipeLeaf[] = "\\pipe\\AXServer";

std::string ComputerName() {
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    if (!GetComputerNameA(name, &size))
        return {};
    return name;
}

const char* WithoutLeadingSlashes(const char* server) {
    if (server[0] == '\\' && server[1] == '\\')
        return server + 2;
    return server;
}

// Waits for an overlapped transfer or the cancel event. A thread with windows answers the
// messages sent to it meanwhile, so that no window of the program stops answering.
DWORD WaitForTransfer(HANDLE done, HANDLE cancel, DWORD milliseconds) {
    const HANDLE handles[2] = {done, cancel};
    const DWORD count = cancel ? 2 : 1;
    if (IsGUIThread(FALSE))
        return base::WaitDeliveringSentMessages(handles, count, milliseconds);
    return WaitForMultipleObjects(count, handles, FALSE, milliseconds);
}

// Whether the token belongs to the local system or to a member of the administrators.
bool IsAdministratorToken(HANDLE token) {
    base::UniqueHandleKernel identification;
    if (!DuplicateToken(token, SecurityIdentification, identification.Put()))
        return false;
    for (WELL_KNOWN_SID_TYPE type : {WinLocalSystemSid, WinBuiltinAdministratorsSid}) {
        BYTE sid[SECURITY_MAX_SID_SIZE];
        DWORD size = sizeof sid;
        BOOL member = FALSE;
        if (CreateWellKnownSid(type, nullptr, sid, &size) &&
            CheckTokenMembership(identification.Get(), sid, &member) && member)
            return true;
    }
    return false;
}

// Whether the process serving a local pipe runs as an administrator or the local system, as the
// quota service does: a program of an ordinary user that took the pipe's name while the service
// was stopped must not see an administrator's requests.
bool ServedByAdministrator(HANDLE pipe) {
    ULONG processId = 0;
    if (!GetNamedPipeServerProcessId(pipe, &processId))
        return false;
    base::UniqueHandleKernel process(
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    base::UniqueHandleKernel token;
    return process && OpenProcessToken(process.Get(), TOKEN_QUERY | TOKEN_DUPLICATE, token.Put()) &&
           IsAdministratorToken(token.Get());
}

} // namespace

bool NamesLocalComputer(const char* server) {
    if (!server)
        return true;
    const char* name = WithoutLeadingSlashes(server);
    return name[0] == '\0' || strcmp(name, ".") == 0 || _stricmp(name, ComputerName().c_str()) == 0;
}

bool IsLocalPipe(const std::string& pipeName) {
    return pipeName.rfind("\\\\.\\", 0) == 0;
}

std::string ServicePipeName(const char* server) {
    if (NamesLocalComputer(server))
        return std::string("\\\\.") + kPipeLeaf;
    return std::string("\\\\") + WithoutLeadingSlashes(server) + kPipeLeaf;
}

uint32_t AXConnection::Open(const std::string& pipeName,
                            std::unique_ptr<AXConnection>& connection) {
    connection.reset();
    // Every instance may be busy for a moment while the service listens again after the last
    // connection: wait for a free one, for a bounded time.
    const ULONGLONG deadline = GetTickCount64() + kBusyWaitMs;
    for (;;) {
        // The service may identify the client but never act in its name.
        base::UniqueFile pipe(CreateFileA(
            pipeName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
            FILE_FLAG_OVERLAPPED | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr));
        if (pipe) {
            if (IsLocalPipe(pipeName) && !ServedByAdministrator(pipe.Get()))
                return ERROR_SERVICE_NOT_ACTIVE;
            base::UniqueHandleKernel done(CreateEventA(nullptr, TRUE, FALSE, nullptr));
            if (!done)
                return GetLastError();
            connection.reset(new AXConnection(std::move(pipe), std::move(done)));
            return ERROR_SUCCESS;
        }
        DWORD error = GetLastError();
        if (error != ERROR_PIPE_BUSY)
            return error == ERROR_PATH_NOT_FOUND ? ERROR_FILE_NOT_FOUND : error;
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return ERROR_PIPE_BUSY;
        if (!WaitNamedPipeA(pipeName.c_str(), static_cast<DWORD>(deadline - now)))
            Sleep(1);
    }
}

bool AXConnection::IsBroken() {
    // The service closes connections that stay silent for long: such a connection is known to be
    // gone before a request is lost on it.
    if (!m_broken && !PeekNamedPipe(m_pipe.Get(), nullptr, 0, nullptr, nullptr, nullptr))
        m_broken = true;
    return m_broken;
}

uint32_t AXConnection::Fail(DWORD error) {
    m_broken = true;
    // The service sees the connection end at once and drops what it still had for it.
    m_pipe.Reset();
    return error == ERROR_SUCCESS ? ERROR_BROKEN_PIPE : error;
}

DWORD AXConnection::Transfer(bool write, void* data, size_t size, ULONGLONG deadline,
                             HANDLE cancel) {
    char* bytes = static_cast<char*>(data);
    while (size > 0) {
        OVERLAPPED overlapped{};
        overlapped.hEvent = m_ioDone.Get();
        const DWORD chunk = static_cast<DWORD>(size);
        const BOOL started = write ? WriteFile(m_pipe.Get(), bytes, chunk, nullptr, &overlapped)
                                   : ReadFile(m_pipe.Get(), bytes, chunk, nullptr, &overlapped);
        if (!started && GetLastError() != ERROR_IO_PENDING)
            return GetLastError();
        const ULONGLONG now = GetTickCount64();
        const DWORD waited = WaitForTransfer(
            m_ioDone.Get(), cancel, now >= deadline ? 0 : static_cast<DWORD>(deadline - now));
        const DWORD waitError = GetLastError();
        DWORD moved = 0;
        if (waited != WAIT_OBJECT_0) {
            // The transfer must be over before its OVERLAPPED goes out of scope.
            CancelIoEx(m_pipe.Get(), &overlapped);
            GetOverlappedResult(m_pipe.Get(), &overlapped, &moved, TRUE);
            if (waited == WAIT_TIMEOUT)
                return ERROR_TIMEOUT;
            return waited == WAIT_OBJECT_0 + 1 ? ERROR_OPERATION_ABORTED : waitError;
        }
        if (!GetOverlappedResult(m_pipe.Get(), &overlapped, &moved, FALSE))
            return GetLastError();
        if (moved == 0)
            return ERROR_BROKEN_PIPE;
        bytes += moved;
        size -= moved;
    }
    return ERROR_SUCCESS;
}

uint32_t AXConnection::Transact(wire::Op op, const wire::Writer& request,
                                std::vector<uint8_t>& response, DWORD timeoutMs, HANDLE cancel) {
    std::lock_guard<std::mutex> hold(m_lock);
    response.clear();
    if (m_broken)
        return ERROR_PIPE_NOT_CONNECTED;
    if (cancel && WaitForSingleObject(cancel, 0) == WAIT_OBJECT_0)
        return ERROR_OPERATION_ABORTED;
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    wire::RequestHeader header{wire::kMagic, wire::kVersion, static_cast<uint16_t>(op),
                               static_cast<uint32_t>(request.Size())};
    const uint8_t* headerBytes = reinterpret_cast<const uint8_t*>(&header);
    std::vector<uint8_t> message(headerBytes, headerBytes + sizeof header);
    message.insert(message.end(), request.Data().begin(), request.Data().end());
    if (DWORD error = Transfer(true, message.data(), message.size(), deadline, cancel))
        return Fail(error);

    wire::ResponseHeader reply{};
    if (DWORD error = Transfer(false, &reply, sizeof reply, deadline, cancel))
        return Fail(error);
    if (reply.magic != wire::kMagic || reply.version != wire::kVersion ||
        reply.op != static_cast<uint16_t>(op) || reply.length > wire::kMaxResponsePayload)
        return Fail(ERROR_INVALID_DATA);
    response.resize(reply.length);
    if (reply.length) {
        if (DWORD error = Transfer(false, response.data(), reply.length, deadline, cancel))
            return Fail(error);
    }
    return reply.status;
}
