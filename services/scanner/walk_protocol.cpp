#include "services/scanner/walk_protocol.h"

#include <cstring>

namespace {

// Changes whenever a message's layout does.
constexpr uint32_t kRequestMark = 0x31515741; // "AWQ1"
constexpr uint32_t kReplyMark = 0x31525741;   // "AWR1"
constexpr uint32_t kLargestPath = 0x10000;
constexpr uint32_t kLargestLeft = 0x10000000;

struct RequestHeader {
    uint32_t mark;
    uint32_t budget;
    uint32_t pathSize;
};

struct ReplyHeader {
    uint32_t mark;
    uint32_t leftSize; // bytes of the folders that follow, each ended by a NUL
    uint64_t bytes, files, folders, unreadable;
};

bool WriteAll(HANDLE pipe, const std::string& message) {
    DWORD written = 0;
    return WriteFile(pipe, message.data(), DWORD(message.size()), &written, nullptr) &&
           written == message.size();
}

bool ReadAll(HANDLE pipe, void* buffer, size_t size) {
    char* next = static_cast<char*>(buffer);
    while (size > 0) {
        DWORD read = 0;
        if (!ReadFile(pipe, next, DWORD(size), &read, nullptr) || read == 0)
            return false;
        next += read;
        size -= read;
    }
    return true;
}

template <typename Header> std::string Message(const Header& header, size_t payload) {
    std::string message(sizeof header, '\0');
    memcpy(message.data(), &header, sizeof header);
    message.reserve(sizeof header + payload);
    return message;
}

} // namespace

bool WriteWalkRequest(HANDLE pipe, const std::string& folder, uint32_t budget) {
    if (folder.size() > kLargestPath)
        return false;
    std::string message =
        Message(RequestHeader{kRequestMark, budget, uint32_t(folder.size())}, folder.size());
    return WriteAll(pipe, message + folder);
}

bool ReadWalkRequest(HANDLE pipe, std::string& folder, uint32_t& budget) {
    RequestHeader header;
    if (!ReadAll(pipe, &header, sizeof header) || header.mark != kRequestMark ||
        header.pathSize == 0 || header.pathSize > kLargestPath)
        return false;
    folder.resize(header.pathSize);
    budget = header.budget;
    return ReadAll(pipe, folder.data(), folder.size());
}

bool WriteWalkReply(HANDLE pipe, const WalkTotals& totals, const std::deque<std::string>& left) {
    size_t leftSize = 0;
    for (const std::string& folder : left)
        leftSize += folder.size() + 1;
    if (leftSize > kLargestLeft)
        return false;
    std::string message = Message(ReplyHeader{kReplyMark, uint32_t(leftSize), totals.bytes,
                                              totals.files, totals.folders, totals.unreadable},
                                  leftSize);
    for (const std::string& folder : left)
        message.append(folder.c_str(), folder.size() + 1);
    return WriteAll(pipe, message);
}

bool ReadWalkReply(HANDLE pipe, WalkTotals& totals, std::vector<std::string>& left) {
    ReplyHeader header;
    if (!ReadAll(pipe, &header, sizeof header) || header.mark != kReplyMark ||
        header.leftSize > kLargestLeft)
        return false;
    std::string folders(header.leftSize, '\0');
    if (!ReadAll(pipe, folders.data(), folders.size()) ||
        (!folders.empty() && folders.back() != '\0'))
        return false;
    std::vector<std::string> found;
    for (size_t start = 0; start < folders.size();) {
        size_t end = folders.find('\0', start);
        if (end == start)
            return false;
        found.emplace_back(folders, start, end - start);
        start = end + 1;
    }
    totals = {header.bytes, header.files, header.folders, header.unreadable};
    left = std::move(found);
    return true;
}
