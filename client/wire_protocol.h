// The request and response format spoken on the quota service's pipe.
//
// Every message is a fixed header followed by `length` payload bytes. Payload fields are
// little-endian integers, strings (a 32-bit byte count that includes the terminating zero, then
// the bytes) and records (their fixed-size bytes). In batches of records or directory entries each
// record or entry travels packed on its own (zero_runs.h), so that a client unpacks one at a time,
// straight into the caller's record.
// The service closes a connection whose header or payload is malformed or too large, after
// answering it with an error status.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace wire {

constexpr uint32_t kMagic = 0x50515841; // "AXQP"
constexpr uint16_t kVersion = 2;
constexpr uint32_t kMaxRequestPayload = 64 * 1024;
constexpr uint32_t kMaxResponsePayload = 8 * 1024 * 1024;
// Directory entries per batch.
constexpr uint32_t kMaxBatch = 4096;
// Records per enumeration batch. The service fills a batch up to about kRecordBatchBytes packed,
// within kMaxResponsePayload: under Wine each batch costs the three processes that carry it
// (client, wineserver, service) a round of waiting for a processor, whatever its size.
constexpr uint32_t kMaxRecordBatch = 65536;
constexpr size_t kRecordBatchBytes = 4 * 1024 * 1024;

enum class Op : uint16_t {
    Hello = 1,
    EnumNext,           // u32 wanted -> u32 count, u32 ended, count x (u32 status, packed record)
    EnumEnd,            // forget the enumeration
    GetRecord,          // device, file, owner -> AllotrixDbRec
    SaveRecord,         // u32 fromSheet, AllotrixDbRec -> AllotrixDbRec as stored
    DeleteRecord,       // device, file, owner
    ScanObject,         // device, file
    ParseDeviceFile,    // object name -> device, file
    ParseObjectName,    // mapped name -> object name
    GetDevices,         // -> u32 count, count x name
    GetDriveAttributes, // device -> u32 drive type
    GetDeviceInfo,      // device -> u32 type, u32 cluster size, u64 capacity, u64 free bytes
    FilesBegin,         // folder
    FilesNext,          // u32 wanted -> u32 count, u32 ended, count x packed file entry
    CreateDir,          // path
    GetProperties,      // -> 7 strings, u8 minor, u8 major, u16 build, driver date
    Last = GetProperties,
};

#pragma pack(push, 1)
struct RequestHeader {
    uint32_t magic;
    uint16_t version;
    uint16_t op;
    uint32_t length;
};
struct ResponseHeader {
    uint32_t magic;
    uint16_t version;
    uint16_t op;
    uint32_t status;
    uint32_t length;
};
#pragma pack(pop)

// Capacities (bytes with the terminating zero) of the strings a request may carry.
constexpr size_t kPathSize = 260;
constexpr size_t kDeviceSize = 64;
constexpr size_t kOwnerSize = 260;
constexpr size_t kObjectNameSize = 64 + 260;

class Writer {
public:
    void U8(uint8_t value) { Bytes(&value, sizeof value); }
    void U16(uint16_t value) { Bytes(&value, sizeof value); }
    void U32(uint32_t value) { Bytes(&value, sizeof value); }
    void U64(uint64_t value) { Bytes(&value, sizeof value); }
    void String(const char* text);
    void Bytes(const void* data, size_t size);
    template <typename T> void Record(const T& record) { Bytes(&record, sizeof record); }
    // The bytes packed as zero runs (zero_runs.h).
    void Packed(const void* data, size_t size);
    // Overwrites the 32-bit value written at `offset`, such as a count known only at the end.
    void PatchU32(size_t offset, uint32_t value);
    // Empties the payload but keeps its memory for the next one.
    void Clear() { m_data.clear(); }

    const std::vector<uint8_t>& Data() const { return m_data; }
    size_t Size() const { return m_data.size(); }

private:
    std::vector<uint8_t> m_data;
};

// Reads a payload; any read past its end or any malformed string makes Ok() false for good.
class Reader {
public:
    Reader(const uint8_t* data, size_t size) : m_data(data), m_left(size) {}

    bool U8(uint8_t& value) { return Bytes(&value, sizeof value); }
    bool U16(uint16_t& value) { return Bytes(&value, sizeof value); }
    bool U32(uint32_t& value) { return Bytes(&value, sizeof value); }
    bool U64(uint64_t& value) { return Bytes(&value, sizeof value); }
    // A zero-terminated string of at most `capacity` bytes (zero included), without inner zeros.
    bool String(std::string& text, size_t capacity);
    // The same into a caller's buffer of `capacity` bytes.
    bool String(char* buffer, size_t capacity);
    bool Bytes(void* data, size_t size);
    template <typename T> bool Record(T& record) { return Bytes(&record, sizeof record); }

    bool Ok() const { return m_ok; }
    // True when everything was read and nothing is left over.
    bool Finished() const { return m_ok && m_left == 0; }

private:
    const uint8_t* m_data;
    size_t m_left;
    bool m_ok = true;
};

} // namespace wire
