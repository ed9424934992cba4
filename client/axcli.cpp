#include "client/axcli.h"

#include "client/pipe_connection.h"
#include "client/wire_protocol.h"
#include "client/zero_runs.h"

#include <windows.h>

#include <atomic>
#include <cstring>
#include <string>
#include <utility>

// Entries of one batch response, each unpacked straight into the caller's memory as it is handed
// out: `prefixSize` bytes as they travel (a record's status), then `entrySize` bytes packed. The
// buffer is kept from batch to batch.
class FetchedBatch {
public:
    FetchedBatch(size_t prefixSize, size_t entrySize, uint32_t maxCount)
        : m_prefixSize(prefixSize), m_entrySize(entrySize), m_maxCount(maxCount) {}

    // Where the next batch response is to be received.
    std::vector<uint8_t>& Buffer() {
        Clear();
        return m_payload;
    }
    // Starts on the batch response received: count, end flag and exactly `count` entries. The
    // whole batch is checked here, so that a malformed one changes none of the caller's records;
    // it is then dropped.
    bool Start() {
        wire::Reader reader(m_payload.data(), m_payload.size());
        uint32_t count = 0, endFlag = 0;
        if (!reader.U32(count) || !reader.U32(endFlag) || count > m_maxCount)
            return false;
        const size_t first = 2 * sizeof(uint32_t);
        size_t at = first;
        for (uint32_t i = 0; i < count; ++i) {
            size_t used = 0;
            if (m_payload.size() - at < m_prefixSize ||
                !MeasureZeroRunsPiece(m_payload.data() + at + m_prefixSize,
                                      m_payload.size() - at - m_prefixSize, m_entrySize, used))
                return false;
            at += m_prefixSize + used;
        }
        if (at != m_payload.size())
            return false;
        m_at = first;
        m_count = count;
        m_ended = endFlag != 0;
        return true;
    }
    bool Empty() const { return m_next == m_count; }
    bool Ended() const { return m_ended; }
    // Hands out the next entry (its prefix into `prefix` when there is one); call only when not
    // Empty.
    void Take(void* prefix, void* out) {
        if (prefix)
            memcpy(prefix, m_payload.data() + m_at, m_prefixSize);
        m_at += m_prefixSize;
        size_t used = 0;
        UnpackZeroRunsPiece(m_payload.data() + m_at, m_payload.size() - m_at, out, m_entrySize,
                            used);
        m_at += used;
        ++m_next;
    }
    void Clear() {
        m_count = m_next = 0;
        m_ended = false;
    }

private:
    size_t m_prefixSize;
    size_t m_entrySize;
    uint32_t m_maxCount;
    std::vector<uint8_t> m_payload;
    size_t m_at = 0;
    size_t m_count = 0;
    size_t m_next = 0;
    bool m_ended = false;
};

// What the client remembers between calls: where it is connected and the records or directory
// entries fetched ahead of the caller.
class AXClientState {
public:
    std::string pipeName; // empty until a Connect succeeded
    FetchedBatch records{sizeof(uint32_t), sizeof(AllotrixBaseDbRec), wire::kMaxRecordBatch};
    bool enumerationBroken = false;
    bool enumerationStarted = false;
    FetchedBatch files{0, sizeof(AXServerCommunicationFileRec), wire::kMaxBatch};
    bool filesListing = false;

    void ResetEnumeration() {
        records.Clear();
        enumerationBroken = false;
        enumerationStarted = false;
    }
};

namespace {

using wire::Op;

bool IsTransportError(uint32_t status) {
    return status == ERROR_BROKEN_PIPE || status == ERROR_PIPE_NOT_CONNECTED ||
           status == ERROR_NO_DATA || status == ERROR_INVALID_DATA || status == ERROR_TIMEOUT ||
           status == ERROR_OPERATION_ABORTED;
}

// Copies `text` into a caller's buffer of `capacity` bytes; false when it does not fit.
bool CopyOut(char* buffer, size_t capacity, const std::string& text) {
    if (!buffer || text.size() + 1 > capacity)
        return false;
    memcpy(buffer, text.c_str(), text.size() + 1);
    return true;
}

bool Fits(const char* text, size_t capacity) {
    return text && strnlen(text, capacity) < capacity;
}

// Writes device, file and owner (when given) after checking that each fits its field.
bool WriteObjectKey(wire::Writer& request, const char* device, const char* file, const char* owner,
                    bool withOwner) {
    if (!Fits(device, wire::kDeviceSize) || !Fits(file, wire::kPathSize) ||
        (owner && !Fits(owner, wire::kOwnerSize)))
        return false;
    request.String(device);
    request.String(file);
    if (withOwner)
        request.String(owner ? owner : "");
    return true;
}

// Reads a response that is exactly one full record into `record`.
uint32_t ReadRecord(const std::vector<uint8_t>& payload, AllotrixDbRec* record) {
    wire::Reader reader(payload.data(), payload.size());
    AllotrixDbRec read;
    if (!reader.Record(read) || !reader.Finished())
        return ERROR_INVALID_DATA;
    *record = read;
    return ERROR_SUCCESS;
}

uint32_t ReadString(const std::vector<uint8_t>& payload, char* buffer, size_t capacity) {
    wire::Reader reader(payload.data(), payload.size());
    std::string text;
    if (!reader.String(text, wire::kMaxRequestPayload) || !reader.Finished())
        return ERROR_INVALID_DATA;
    return CopyOut(buffer, capacity, text) ? ERROR_SUCCESS : ERROR_INSUFFICIENT_BUFFER;
}

std::atomic<DWORD> g_callTimeoutMs{kAxDefaultCallTimeoutMs};

} // namespace

void AXCli::SetCallTimeout(unsigned long milliseconds) {
    g_callTimeoutMs = milliseconds;
}

uint32_t AXCli::Transact(Op op, const wire::Writer& request, std::vector<uint8_t>& response) {
    return m_connection->Transact(op, request, response, g_callTimeoutMs, m_cancel);
}

AXCli::AXCli() : m_state(std::make_unique<AXClientState>()) {}
AXCli::~AXCli() = default;

uint32_t AXCli::Connect(const char* server) {
    Disconnect();
    std::string pipeName = ServicePipeName(server);
    uint32_t status = AXConnection::Open(pipeName, m_connection);
    if (status != ERROR_SUCCESS)
        return status;
    wire::Writer request;
    std::vector<uint8_t> response;
    status = Transact(Op::Hello, request, response);
    if (status != ERROR_SUCCESS) {
        m_connection.reset();
        return status;
    }
    wire::Reader reader(response.data(), response.size());
    uint32_t kind = 0;
    if (!reader.U32(kind)) {
        m_connection.reset();
        return ERROR_INVALID_DATA;
    }
    ServerKind = static_cast<int>(kind);
    m_state->pipeName = pipeName;
    return ERROR_SUCCESS;
}

void AXCli::Disconnect() {
    m_connection.reset();
    *m_state = AXClientState();
}

uint32_t AXCli::Reconnect() {
    if (m_state->pipeName.empty())
        return ERROR_NOT_CONNECTED;
    m_connection.reset();
    uint32_t status = AXConnection::Open(m_state->pipeName, m_connection);
    if (status != ERROR_SUCCESS)
        return status;
    wire::Writer hello;
    std::vector<uint8_t> response;
    status = Transact(Op::Hello, hello, response);
    if (status != ERROR_SUCCESS)
        m_connection.reset();
    return status;
}

uint32_t AXCli::Call(Op op, const wire::Writer& request, std::vector<uint8_t>& response) {
    if (!m_connection || m_connection->IsBroken()) {
        uint32_t status = Reconnect();
        if (status != ERROR_SUCCESS)
            return status;
    }
    return Transact(op, request, response);
}

uint32_t AXCli::EndContext() {
    m_state->ResetEnumeration();
    if (!m_connection || m_connection->IsBroken())
        return m_state->pipeName.empty() ? ERROR_NOT_CONNECTED : ERROR_SUCCESS;
    wire::Writer request;
    std::vector<uint8_t> response;
    uint32_t status = Transact(Op::EnumEnd, request, response);
    // A connection that broke has forgotten its enumeration anyway.
    return IsTransportError(status) ? ERROR_SUCCESS : status;
}

uint32_t AXCli::Get(AllotrixBaseDbRec* record, int) {
    if (!record)
        return ERROR_INVALID_PARAMETER;
    AXClientState& state = *m_state;
    if (state.enumerationBroken)
        return ERROR_BROKEN_PIPE;
    if (state.records.Empty() && !state.records.Ended()) {
        wire::Writer request;
        request.U32(wire::kMaxRecordBatch);
        // A new connection would start the enumeration over: never mix two of them.
        bool connected = m_connection && !m_connection->IsBroken();
        if (state.enumerationStarted && !connected) {
            state.enumerationBroken = true;
            return ERROR_BROKEN_PIPE;
        }
        uint32_t status = Call(Op::EnumNext, request, state.records.Buffer());
        state.enumerationStarted = true;
        if (status != ERROR_SUCCESS) {
            if (IsTransportError(status))
                state.enumerationBroken = true;
            return status;
        }
        if (!state.records.Start())
            return ERROR_INVALID_DATA;
    }
    if (state.records.Empty())
        return ERROR_NO_MORE_ITEMS;
    uint32_t status = 0;
    state.records.Take(&status, record);
    return status;
}

uint32_t AXCli::Get(AllotrixDbRec* record, char* device, char* file, char* owner, int) {
    wire::Writer request;
    if (!record || !WriteObjectKey(request, device, file, owner, true))
        return ERROR_INVALID_PARAMETER;
    std::vector<uint8_t> response;
    uint32_t status = Call(Op::GetRecord, request, response);
    return status == ERROR_SUCCESS ? ReadRecord(response, record) : status;
}

uint32_t AXCli::Save(AllotrixDbRec* record, int fromSheet) {
    if (!record)
        return ERROR_INVALID_PARAMETER;
    wire::Writer request;
    request.U32(fromSheet ? 1 : 0);
    request.Record(*record);
    std::vector<uint8_t> response;
    uint32_t status = Call(Op::SaveRecord, request, response);
    return status == ERROR_SUCCESS ? ReadRecord(response, record) : status;
}

uint32_t AXCli::Delete(char* device, char* file, char* owner) {
    wire::Writer request;
    if (!WriteObjectKey(request, device, file, owner, true))
        return ERROR_INVALID_PARAMETER;
    std::vector<uint8_t> response;
    return Call(Op::DeleteRecord, request, response);
}

uint32_t AXCli::Scan(char* device, char* file) {
    wire::Writer request;
    if (!WriteObjectKey(request, device, file, nullptr, false))
        return ERROR_INVALID_PARAMETER;
    std::vector<uint8_t> response;
    return Call(Op::ScanObject, request, response);
}

uint32_t AXCli::ParseDeviceFile(char* device, char* file, const char* objectName, unsigned long*) {
    if (!device || !file || !Fits(objectName, wire::kObjectNameSize))
        return ERROR_INVALID_PARAMETER;
    wire::Writer request;
    request.String(objectName);
    std::vector<uint8_t> response;
    uint32_t status = Call(Op::ParseDeviceFile, request, response);
    if (status != ERROR_SUCCESS)
        return status;
    wire::Reader reader(response.data(), response.size());
    std::string deviceText, fileText;
    if (!reader.String(deviceText, wire::kDeviceSize) ||
        !reader.String(fileText, wire::kPathSize) || !reader.Finished())
        return ERROR_INVALID_DATA;
    CopyOut(device, wire::kDeviceSize, deviceText);
    CopyOut(file, wire::kPathSize, fileText);
    return ERROR_SUCCESS;
}

uint32_t AXCli::ParseObjectName(const char* mappedName, int size, char* objectName, uint64_t*,
                                int*) {
    if (!objectName || size <= 0 || !Fits(mappedName, wire::kObjectNameSize))
        return ERROR_INVALID_PARAMETER;
    wire::Writer request;
    request.String(mappedName);
    std::vector<uint8_t> response;
    uint32_t status = Call(Op::ParseObjectName, request, response);
    if (status != ERROR_SUCCESS)
        return status;
    return ReadString(response, objectName, static_cast<size_t>(size));
}

uint32_t AXCli::GetDevices(char* buffer, int size) {
    if (!buffer || size < 1)
        return ERROR_INVALID_PARAMETER;
    wire::Writer request;
    std::vector<uint8_t> response;
    uint32_t status = Call(Op::GetDevices, request, response);
    if (status != ERROR_SUCCESS)
        return status;
    wire::Reader reader(response.data(), response.size());
    uint32_t count = 0;
    if (!reader.U32(count))
        return ERROR_INVALID_DATA;
    std::string packed;
    for (uint32_t i = 0; i < count; ++i) {
        std::string name;
        if (!reader.String(name, wire::kPathSize))
            return ERROR_INVALID_DATA;
        packed += name;
        packed += '\0';
    }
    if (packed.size() + 1 > static_cast<size_t>(size))
        return ERROR_INSUFFICIENT_BUFFER;
    memcpy(buffer, packed.data(), packed.size());
    buffer[packed.size()] = '\0';
    return ERROR_SUCCESS;
}

uint32_t AXCli::GetDriveAttributes(const char* device, unsigned long* driveType) {
    if (!driveType || !Fits(device, wire::kPathSize))
        return ERROR_INVALID_PARAMETER;
    wire::Writer request;
    request.String(device);
    std::vector<uint8_t> response;
    uint32_t status = Call(Op::GetDriveAttributes, request, response);
    if (status != ERROR_SUCCESS)
        return status;
    wire::Reader reader(response.data(), response.size());
    uint32_t type = 0;
    if (!reader.U32(type) || !reader.Finished())
        return ERROR_INVALID_DATA;
    *driveType = type;
    return ERROR_SUCCESS;
}

uint32_t AXCli::GetDeviceInfo(const char* device, unsigned long* driveType, int* clusterSize,
                              int64_t* capacity, int64_t* freeBytes) {
    if (!Fits(device, wire::kPathSize))
        return ERROR_INVALID_PARAMETER;
    wire::Writer request;
    request.String(device);
    std::vector<uint8_t> response;
    uint32_t status = Call(Op::GetDeviceInfo, request, response);
    if (IsTransportError(status) && status != ERROR_TIMEOUT && status != ERROR_OPERATION_ABORTED)
        return ERROR_PIPE_NOT_CONNECTED; // the next call connects again
    if (status != ERROR_SUCCESS)
        return status;
    wire::Reader reader(response.data(), response.size());
    uint32_t type = 0, cluster = 0;
    uint64_t total = 0, available = 0;
    if (!reader.U32(type) || !reader.U32(cluster) || !reader.U64(total) || !reader.U64(available) ||
        !reader.Finished())
        return ERROR_INVALID_DATA;
    if (driveType)
        *driveType = type;
    if (clusterSize)
        *clusterSize = static_cast<int>(cluster);
    if (capacity)
        *capacity = static_cast<int64_t>(total);
    if (freeBytes)
        *freeBytes = static_cast<int64_t>(available);
    return ERROR_SUCCESS;
}

uint32_t AXCli::GetFiles(const char* folder, AXServerCommunicationFileRec* entry, int* first) {
    if (!entry || !first || !Fits(folder, wire::kPathSize))
        return ERROR_INVALID_PARAMETER;
    AXClientState& state = *m_state;
    std::vector<uint8_t> response;
    if (*first) {
        state.files.Clear();
        state.filesListing = false;
        wire::Writer request;
        request.String(folder);
        uint32_t status = Call(Op::FilesBegin, request, response);
        if (status != ERROR_SUCCESS)
            return status;
        *first = 0;
        state.filesListing = true;
    }
    if (!state.filesListing)
        return ERROR_INVALID_PARAMETER;
    if (state.files.Empty() && !state.files.Ended()) {
        wire::Writer request;
        request.U32(wire::kMaxBatch);
        uint32_t status = Call(Op::FilesNext, request, state.files.Buffer());
        if (status != ERROR_SUCCESS) {
            state.filesListing = false;
            return status;
        }
        if (!state.files.Start()) {
            state.filesListing = false;
            return ERROR_INVALID_DATA;
        }
    }
    if (state.files.Empty()) {
        state.filesListing = false;
        return ERROR_NO_MORE_ITEMS;
    }
    state.files.Take(nullptr, entry);
    entry->Name[kFileNameSize - 1] = '\0';
    return ERROR_SUCCESS;
}

uint32_t AXCli::CreateDir(char* path) {
    if (!Fits(path, wire::kPathSize))
        return ERROR_INVALID_PARAMETER;
    wire::Writer request;
    request.String(path);
    std::vector<uint8_t> response;
    return Call(Op::CreateDir, request, response);
}

uint32_t AXCli::GetProperties(char* appVersion, char* appBuild, char* appText, char* text4,
                              char* text5, char* text6, char* text7, uint8_t* driverMinor,
                              uint8_t* driverMajor, uint16_t* driverBuild, char* driverDate,
                              void*) {
    wire::Writer request;
    std::vector<uint8_t> response;
    uint32_t status = Call(Op::GetProperties, request, response);
    if (status != ERROR_SUCCESS)
        return status;
    struct Text {
        char* buffer;
        size_t capacity;
    };
    const Text texts[] = {{appVersion, 8}, {appBuild, 8}, {appText, 20}, {text4, 80},
                          {text5, 80},     {text6, 32},   {text7, 260}};
    wire::Reader reader(response.data(), response.size());
    for (const Text& text : texts) {
        std::string value;
        if (!reader.String(value, text.capacity))
            return ERROR_INVALID_DATA;
        if (text.buffer)
            CopyOut(text.buffer, text.capacity, value);
    }
    uint8_t minor = 0, major = 0;
    uint16_t build = 0;
    std::string date;
    if (!reader.U8(minor) || !reader.U8(major) || !reader.U16(build) || !reader.String(date, 32))
        return ERROR_INVALID_DATA;
    if (driverMinor)
        *driverMinor = minor;
    if (driverMajor)
        *driverMajor = major;
    if (driverBuild)
        *driverBuild = build;
    if (driverDate)
        CopyOut(driverDate, 32, date);
    return ERROR_SUCCESS;
}
