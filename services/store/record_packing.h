// A quota record in the few bytes it really uses: most of its 20 KB of text fields are zeros.
//
// The packed form is a sequence of runs, each introduced by a little-endian base-128 number
// holding the run's length shifted left by one, with the low bit set for a run of zero bytes
// (nothing follows) and clear for a run of literal bytes (which follow). The runs add up to
// exactly sizeof(AllotrixDbRec).
#pragma once

#include <cstddef>
#include <string>

#include "client/records.h"

std::string PackRecord(const AllotrixDbRec& record);

// False, leaving `record` unspecified, when `bytes` is not a packed record.
bool UnpackRecord(const char* bytes, size_t length, AllotrixDbRec& record);

// The most bytes a packed record can take.
constexpr size_t kLargestPackedRecord = sizeof(AllotrixDbRec) + 8;
