#include "client/pipe_connection.h"

#include <cstring>
#include <memory>

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

bool WriteAll(HANDLE pipe, const void* data, size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        DWORD written = 0;
        if (!WriteFile(pipe, bytes, static_cast<DWORD>(size), &written, nullptr))
            return false;
        bytes += written;
        size -= written;
    }
    return true;
}

bool ReadAll(HANDLE pipe, void* data, size_t size) {
    char* bytes = static_cast<char*>(data);
    while (size > 0) {
        DWORD read = 0;
        if (!ReadFile(pipe, bytes, static_cast<DWORD>(size), &read, nullptr) || read == 0) {
            if (GetLastError() == ERROR_SUCCESS)
                SetLastError(ERROR_BROKEN_PIPE);
            return false;
        }
        bytes += read;
        size -= read;
    }
    return true;
}

} // namespace

bool NamesLocalComputer(const char* server) {
    if (!server)
        return true;
    const char* name = WithoutLeadingSlashes(server);
    return name[0] == '\0' || strcmp(name, ".") == 0 || _stricmp(name, ComputerName().c_str()) == 0;
}

std::string ServicePipeName(const char* server) {
    if (NamesLocalComputer(server))
        return std::string("\\\\.") + kPipeLeaf;
    return std::string("\\\\") + WithoutLeadingSlashes(server) + kPipeLeaf;
}

AXConnection::~AXConnection() {
    CloseHandle(m_pipe);
}

uint32_t AXConnection::Open(const std::string& pipeName,
                            std::unique_ptr<AXConnection>& connection) {
    connection.reset();
    // Every instance may be busy for a moment while the service listens again after the last
    // connection: wait for a free one, for a bounded time.
    const ULONGLONG deadline = GetTickCount64() + kBusyWaitMs;
    for (;;) {
        HANDLE pipe = CreateFileA(pipeName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        if (pipe != INVALID_HANDLE_VALUE) {
            connection.reset(new AXConnection(pipe));
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

uint32_t AXConnection::Fail(DWORD error) {
    m_broken = true;
    return error == ERROR_SUCCESS ? ERROR_BROKEN_PIPE : error;
}

uint32_t AXConnection::Transact(wire::Op op, const wire::Writer& request,
                                std::vector<uint8_t>& response) {
    std::lock_guard<std::mutex> hold(m_lock);
    response.clear();
    if (m_broken)
        return ERROR_PIPE_NOT_CONNECTED;
    wire::RequestHeader header{wire::kMagic, wire::kVersion, static_cast<uint16_t>(op),
                               static_cast<uint32_t>(request.Size())};
    const uint8_t* headerBytes = reinterpret_cast<const uint8_t*>(&header);
    std::vector<uint8_t> message(headerBytes, headerBytes + sizeof header);
    message.insert(message.end(), request.Data().begin(), request.Data().end());
    if (!WriteAll(m_pipe, message.data(), message.size()))
        return Fail(GetLastError());

    wire::ResponseHeader reply{};
    if (!ReadAll(m_pipe, &reply, sizeof reply))
        return Fail(GetLastError());
    if (reply.magic != wire::kMagic || reply.version != wire::kVersion ||
        reply.op != static_cast<uint16_t>(op) || reply.length > wire::kMaxResponsePayload)
        return Fail(ERROR_INVALID_DATA);
    response.resize(reply.length);
    if (reply.length && !ReadAll(m_pipe, response.data(), reply.length))
        return Fail(GetLastError());
    return reply.status;
}
