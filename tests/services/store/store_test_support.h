// Records and file surgery shared by the store's tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "client/records.h"

// A record for device "C:", directory `file` and `owner`, with a permanent quota and a message
// that make its contents recognisable.
AllotrixDbRec MakeRecord(const char* file, const char* owner, uint64_t permQuota);

bool SameBytes(const AllotrixDbRec& a, const AllotrixDbRec& b);

std::vector<char> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<char>& bytes);
uint64_t FileSize(const std::string& path);
