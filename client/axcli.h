// AXCli: the client of the quota service AXServer.
// Every call returns a Windows status code: 0 for success, otherwise the error.
#pragma once

#include "client/records.h"

#include <cstdint>
#include <memory>
#include <vector>

// Statuses the callers rely on besides the ordinary Windows error codes.
constexpr uint32_t kAxOk = 0;
constexpr uint32_t kAxNotRunning = 2;      // service not running (or no such record)
constexpr uint32_t kAxNoMoreRecords = 259; // ERROR_NO_MORE_ITEMS: enumeration ended
constexpr uint32_t kAxSkipRecord = 1332;   // ERROR_NONE_MAPPED: skip this record, go on
constexpr uint32_t kAxAskDeviceInfo = 87;  // ERROR_INVALID_PARAMETER from GetDriveAttributes
constexpr uint32_t kAxRetryDeviceInfo1 = 233;
constexpr uint32_t kAxRetryDeviceInfo2 = 234;

// Server kinds read from ServerKind after Connect.
constexpr int kServerKindFull = 0;
constexpr int kServerKindNoSettings = 1;
constexpr int kServerKindMonitorOnly = 3;

// How long one call waits for the service's answer before it fails with ERROR_TIMEOUT and drops
// the connection.
constexpr unsigned long kAxDefaultCallTimeoutMs = 30000;

class AXConnection;
class AXClientState;
namespace wire {
enum class Op : uint16_t;
class Writer;
} // namespace wire

class AXCli {
public:
    AXCli();
    ~AXCli();
    AXCli(const AXCli&) = delete;
    AXCli& operator=(const AXCli&) = delete;

    // Kind of the connected server (kServerKind...), valid after a successful Connect.
    int ServerKind = kServerKindFull;

    // Connects to the quota service of `server`: the local computer when empty or when it names
    // this computer (with or without a leading "\\"). 2 when the service is not running.
    uint32_t Connect(const char* server);
    void Disconnect();

    // The time bound of every call of every client of this process (kAxDefaultCallTimeoutMs
    // until changed).
    static void SetCallTimeout(unsigned long milliseconds);
    // A manual-reset event that, while set, makes the calls of this client fail at once with
    // ERROR_OPERATION_ABORTED, also one waiting for its answer (its connection is dropped).
    // Null (the default) for none; the event must outlive its use here.
    void SetCancelEvent(void* event) { m_cancel = event; }

    // Whole-server enumeration: EndContext, Get(record, 1) until 259 or an error, EndContext.
    // 1332 asks the caller to skip the record and go on.
    uint32_t EndContext();
    uint32_t Get(AllotrixBaseDbRec* record, int enumerate);
    // Reads one complete record with its actions; 2 when there is no quota there.
    uint32_t Get(AllotrixDbRec* record, char* device, char* file, char* owner, int reserved);
    // Creates or replaces the quota of the record's object and owner. `fromSheet` is 1 from the
    // quota property sheet, 0 from a template.
    uint32_t Save(AllotrixDbRec* record, int fromSheet);
    uint32_t Delete(char* device, char* file, char* owner);
    // Queues a full rescan of the object's usage.
    uint32_t Scan(char* device, char* file);

    // Splits an object name ("C:\Data") into device ("C:", 64-byte buffer) and file ("\Data",
    // 260-byte buffer).
    uint32_t ParseDeviceFile(char* device, char* file, const char* objectName,
                             unsigned long* reserved);
    // Turns a mapped name into an object name (buffer of `size` bytes).
    uint32_t ParseObjectName(const char* mappedName, int size, char* objectName,
                             uint64_t* reserved1, int* reserved2);

    // The server's devices as zero-terminated roots ("C:\"), an empty name last.
    uint32_t GetDevices(char* buffer, int size);
    // The drive type (2 removable, 3 fixed, 4 remote, 5 CD-ROM, 6 RAM) of a device;
    // 87 when the caller must ask GetDeviceInfo instead.
    uint32_t GetDriveAttributes(const char* device, unsigned long* driveType);
    // Drive type, cluster size, capacity and free bytes of a device; 233 or 234: call once more.
    uint32_t GetDeviceInfo(const char* device, unsigned long* driveType, int* clusterSize,
                           int64_t* capacity, int64_t* freeBytes);
    // Steps through the entries of `folder`, one per call: `*first` is 1 on the first call (the
    // library clears it); 259 after the last entry.
    uint32_t GetFiles(const char* folder, AXServerCommunicationFileRec* entry, int* first);
    uint32_t CreateDir(char* path);

    // Version information of the server software and its filter driver (capacities as named).
    uint32_t GetProperties(char* appVersion /*8*/, char* appBuild /*8*/, char* appText /*20*/,
                           char* text4 /*80*/, char* text5 /*80*/, char* text6 /*32*/,
                           char* text7 /*260*/, uint8_t* driverMinor, uint8_t* driverMajor,
                           uint16_t* driverBuild, char* driverDate /*32*/, void* reserved);

private:
    uint32_t Call(wire::Op op, const wire::Writer& request, std::vector<uint8_t>& response);
    uint32_t Reconnect();
    uint32_t Transact(wire::Op op, const wire::Writer& request, std::vector<uint8_t>& response);

    std::unique_ptr<AXConnection> m_connection;
    std::unique_ptr<AXClientState> m_state;
    void* m_cancel = nullptr;
};
