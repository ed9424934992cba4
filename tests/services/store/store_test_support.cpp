#include "store_test_support.h"

#include <windows.h>

#include <cstring>

#include "base/handles.h"

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
    std::vector<char> bytes(static_cast<size_t>(FileSize(path)));
    base::UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                      nullptr));
    DWORD read = 0;
    if (!file || !ReadFile(file.Get(), bytes.data(), DWORD(bytes.size()), &read, nullptr))
        return {};
    bytes.resize(read);
    return bytes;
}

void WriteBytes(const std::string& path, const std::vector<char>& bytes) {
    base::UniqueFile file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    if (file)
        WriteFile(file.Get(), bytes.data(), DWORD(bytes.size()), &written, nullptr);
}

uint64_t FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}
