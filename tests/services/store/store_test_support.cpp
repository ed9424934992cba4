#include "store_test_support.h"

#include <cstring>
#include <filesystem>
#include <fstream>

AllotrixDbRec MakeRecord(const char* file, const char* owner, uint64_t permQuota) {
    AllotrixDbRec record;
    record.SetObjectName("C:", file);
    record.SetFileOwner(owner);
    record.SetPermQuota(permQuota);
    record.SetThreshPercent1(90);
    if (owner[0] == '\0')
        record.TurnAttributeOn(AttrAbsolute);
    std::string message = "quota " + std::to_string(permQuota) + " on " + file;
    record.Actions[2].SetMessage(message.c_str());
    record.Actions[4].ReportMail.SetMailProfile("profile");
    return record;
}

bool SameBytes(const AllotrixDbRec& a, const AllotrixDbRec& b) {
    return memcmp(static_cast<const void*>(&a), static_cast<const void*>(&b), sizeof a) == 0;
}

std::vector<char> ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(file), {});
}

void WriteBytes(const std::string& path, const std::vector<char>& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), bytes.size());
}

uint64_t FileSize(const std::string& path) {
    std::error_code error;
    const uintmax_t size = std::filesystem::file_size(path, error);
    return error ? 0 : size;
}
