// A quota record as the store keeps it, on disk and in memory: most of its 20 KB are the unused
// ends of text fields, so it is packed (zero_runs.h) into a few hundred bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "client/records.h"
#include "client/zero_runs.h"

using PackedRecord = std::vector<uint8_t>;

inline PackedRecord PackRecord(const AllotrixDbRec& record) {
    return PackZeroRuns(&record, sizeof record);
}

// False, leaving `record` unspecified, when `bytes` is not a packed record.
inline bool UnpackRecord(const void* bytes, size_t length, AllotrixDbRec& record) {
    return UnpackZeroRuns(static_cast<const uint8_t*>(bytes), length, &record, sizeof record);
}

constexpr size_t kLargestPackedRecord = LargestPackedSize(sizeof(AllotrixDbRec));
