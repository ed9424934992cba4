#include "services/axserver/client_session.h"

#include "client/zero_runs.h"
#include "services/axserver/change_audit.h"
#include "services/axserver/device_queries.h"
#include "services/axserver/server_version.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace {

using wire::Op;

// A request's payload was not what its operation expects.
constexpr uint32_t kMalformed = ERROR_INVALID_DATA;

struct ObjectKey {
    std::string device, file, owner;
};

bool ReadObject(wire::Reader& request, ObjectKey& key, bool withOwner) {
    return request.String(key.device, wire::kDeviceSize) &&
           request.String(key.file, wire::kPathSize) &&
           (!withOwner || request.String(key.owner, wire::kOwnerSize));
}

// Starts a batch: its count and end flag follow once they are known (FinishBatch).
size_t StartBatch(wire::Writer& response) {
    const size_t at = response.Size();
    response.U32(0);
    response.U32(0);
    return at;
}

void FinishBatch(wire::Writer& response, size_t at, size_t count, bool ended) {
    response.PatchU32(at, static_cast<uint32_t>(count));
    response.PatchU32(at + sizeof(uint32_t), ended ? 1 : 0);
}

} // namespace

bool ClientSession::Handle(uint16_t op, const std::vector<uint8_t>& payload, uint32_t& status,
                           wire::Writer& response) {
    if (op < static_cast<uint16_t>(Op::Hello) || op > static_cast<uint16_t>(Op::Last)) {
        status = ERROR_INVALID_FUNCTION;
        return false;
    }
    wire::Reader request(payload.data(), payload.size());
    status = Dispatch(static_cast<Op>(op), request, response);
    if (status == kMalformed || !request.Finished()) {
        status = kMalformed;
        response.Clear();
        return false;
    }
    return true;
}

uint32_t ClientSession::Dispatch(Op op, wire::Reader& request, wire::Writer& response) {
    switch (op) {
    case Op::Hello:
        response.U32(static_cast<uint32_t>(m_identity.serverKind));
        response.U32(wire::kVersion);
        return ERROR_SUCCESS;
    case Op::EnumNext:
        return NextRecords(request, response);
    case Op::EnumEnd:
        m_enumerating = false;
        return ERROR_SUCCESS;
    case Op::GetRecord: {
        ObjectKey key;
        if (!ReadObject(request, key, true) || !request.Finished())
            return kMalformed;
        AllotrixDbRec record;
        uint32_t status = m_service.Get(key.device, key.file, key.owner, record);
        if (status == ERROR_SUCCESS)
            response.Record(record);
        return status;
    }
    case Op::SaveRecord: {
        uint32_t fromSheet = 0;
        AllotrixDbRec record;
        if (!request.U32(fromSheet) || !request.Record(record) || !request.Finished() ||
            fromSheet > 1 || !record.HasTerminatedTexts())
            return kMalformed;
        uint32_t status = m_service.Save(record);
        if (status == ERROR_SUCCESS) {
            response.Record(record);
            AuditQuotaSaved(record);
        }
        return status;
    }
    case Op::DeleteRecord: {
        ObjectKey key;
        if (!ReadObject(request, key, true) || !request.Finished())
            return kMalformed;
        uint32_t status = m_service.Delete(key.device, key.file, key.owner);
        if (status == ERROR_SUCCESS)
            AuditQuotaDeleted(key.device, key.file, key.owner);
        return status;
    }
    case Op::ScanObject: {
        ObjectKey key;
        if (!ReadObject(request, key, false) || !request.Finished())
            return kMalformed;
        return m_service.Scan(key.device, key.file);
    }
    case Op::ParseDeviceFile: {
        std::string name, device, file;
        if (!request.String(name, wire::kObjectNameSize) || !request.Finished())
            return kMalformed;
        uint32_t status = SplitObjectName(name, device, file);
        if (status == ERROR_SUCCESS) {
            response.String(device.c_str());
            response.String(file.c_str());
        }
        return status;
    }
    case Op::ParseObjectName: {
        std::string mapped, name;
        if (!request.String(mapped, wire::kObjectNameSize) || !request.Finished())
            return kMalformed;
        uint32_t status = MappedToObjectName(mapped, name);
        if (status == ERROR_SUCCESS)
            response.String(name.c_str());
        return status;
    }
    case Op::GetDevices: {
        std::vector<std::string> devices = ListDevices();
        response.U32(static_cast<uint32_t>(devices.size()));
        for (const std::string& device : devices)
            response.String(device.c_str());
        return ERROR_SUCCESS;
    }
    case Op::GetDriveAttributes: {
        std::string device;
        uint32_t type = 0;
        if (!request.String(device, wire::kPathSize) || !request.Finished())
            return kMalformed;
        uint32_t status = DriveAttributes(device, type);
        if (status == ERROR_SUCCESS)
            response.U32(type);
        return status;
    }
    case Op::GetDeviceInfo: {
        std::string device;
        if (!request.String(device, wire::kPathSize) || !request.Finished())
            return kMalformed;
        DeviceInfo info;
        uint32_t status = QueryDeviceInfo(device, info);
        if (status == ERROR_SUCCESS) {
            response.U32(info.driveType);
            response.U32(info.clusterSize);
            response.U64(info.capacity);
            response.U64(info.freeBytes);
        }
        return status;
    }
    case Op::FilesBegin: {
        std::string folder;
        if (!request.String(folder, wire::kPathSize) || !request.Finished())
            return kMalformed;
        m_files = {};
        m_nextFile = 0;
        m_listing = false;
        if (InsideStore(folder))
            return ERROR_ACCESS_DENIED;
        uint32_t status = ListFolder(folder, m_files);
        m_listing = status == ERROR_SUCCESS;
        return status;
    }
    case Op::FilesNext:
        return NextFiles(request, response);
    case Op::CreateDir: {
        std::string path;
        if (!request.String(path, wire::kPathSize) || !request.Finished())
            return kMalformed;
        return InsideStore(path) ? ERROR_ACCESS_DENIED : MakeFolder(path);
    }
    case Op::GetProperties:
        return Properties(response);
    }
    return ERROR_INVALID_FUNCTION;
}

bool ClientSession::InsideStore(const std::string& name) const {
    std::string device, file;
    return SplitObjectName(name, device, file) == ERROR_SUCCESS &&
           IsSameOrInside(ObjectFolder(device, file), m_identity.storeFolder);
}

uint32_t ClientSession::NextRecords(wire::Reader& request, wire::Writer& response) {
    uint32_t wanted = 0;
    if (!request.U32(wanted) || !request.Finished() || wanted == 0)
        return kMalformed;
    if (!m_enumerating) {
        m_position = {};
        m_enumerating = true;
    }
    const size_t batch = StartBatch(response);
    size_t count = 0;
    auto pack = [&](uint32_t status, const std::vector<uint8_t>& packed) {
        response.U32(status);
        response.Bytes(packed.data(), packed.size());
        ++count;
    };
    // Taken in steps that cannot overrun the largest response, until the batch is large enough.
    constexpr size_t kLargestEntry =
        sizeof(uint32_t) + LargestPackedSize(sizeof(AllotrixBaseDbRec));
    const size_t limit = std::min(wanted, wire::kMaxRecordBatch);
    bool ended = false;
    while (!ended && count < limit && response.Size() - batch < wire::kRecordBatchBytes) {
        const size_t room = (wire::kMaxResponsePayload - 64 - response.Size()) / kLargestEntry;
        ended = m_service.ListNext(m_position, std::min(limit - count, room), pack);
    }
    FinishBatch(response, batch, count, ended);
    // The client remembers the end until it ends the context.
    m_enumerating = !ended;
    return ERROR_SUCCESS;
}

uint32_t ClientSession::NextFiles(wire::Reader& request, wire::Writer& response) {
    uint32_t wanted = 0;
    if (!request.U32(wanted) || !request.Finished() || wanted == 0)
        return kMalformed;
    if (!m_listing)
        return ERROR_NO_MORE_ITEMS;
    size_t count = std::min<size_t>({wanted, wire::kMaxBatch, m_files.size() - m_nextFile});
    bool ended = m_nextFile + count == m_files.size();
    const size_t batch = StartBatch(response);
    for (size_t end = m_nextFile + count; m_nextFile < end; ++m_nextFile)
        response.Packed(&m_files[m_nextFile], sizeof(AXServerCommunicationFileRec));
    FinishBatch(response, batch, count, ended);
    if (ended) {
        m_files = {};
        m_listing = false;
    }
    return ERROR_SUCCESS;
}

uint32_t ClientSession::Properties(wire::Writer& response) {
    response.String(kServerVersion);
    response.String(kServerBuild);
    response.String(kServerEdition);
    response.String(kServerProduct);
    response.String(kServerCompany);
    response.String(kServerProtocol);
    response.String(m_identity.storeFolder.substr(0, 259).c_str());
    response.U8(0); // no filter driver is installed: no driver version or date
    response.U8(0);
    response.U16(0);
    response.String("");
    return ERROR_SUCCESS;
}
