#include "services/scanner/walk_protocol.h"

#include <cstring>

namespace {

// Changes whenever a message's layout does.
constexpr uint32_t kRequestMark = 0x32515741; // "AWQ2"
constexpr uint32_t kReplyMark = 0x31525741;   // "AWR1"
constexpr uint32_t kLargestFolders = 0x10000000;

// Folder lists travel as the folders' names, each ended by a NUL.
struct RequestHeader {
    uint32_t mark;
    uint32_t budget;
    uint32_t foldersSize;
};

struct ReplyHeader {
    uint32_t mark;
    uint32_t leftSize; // bytes of the folders that follow
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

size_t FoldersSize(const std::vector<std::string>& folders) {
    size_t size = 0;
    for (const std::string& folder : folders)
        size += folder.size() + 1;
    return size;
}

void AppendFolders(std::string& message, const std::vector<std::string>& folders) {
    for (const std::string& folder : folders)
        message.append(folder.c_str(), folder.size() + 1);
}

// Reads `size` bytes of folders; false when they are cut short or not a list of names.
template <typename Folders> bool ReadFolders(HANDLE pipe, size_t size, Folders& folders) {
    std::string bytes(size, '\0');
    if (!ReadAll(pipe, bytes.data(), bytes.size()) || (!bytes.empty() && bytes.back() != '\0'))
        return false;
    Folders found;
    for (size_t start = 0; start < bytes.size();) {
        size_t end = bytes.find('\0', start);
        if (end == start)
            return false;
        found.emplace_back(bytes, start, end - start);
        start = end + 1;
    }
    folders = std::move(found);
    return true;
}

} // namespace

bool WriteWalkRequest(HANDLE pipe, const std::vector<std::string>& folders, uint32_t budget) {
    size_t size = FoldersSize(folders);
    if (size > kLargestFolders)
        return false;
    std::string message = Message(RequestHeader{kRequestMark, budget, uint32_t(size)}, size);
    AppendFolders(message, folders);
    return WriteAll(pipe, message);
}

bool ReadWalkRequest(HANDLE pipe, std::deque<std::string>& folders, uint32_t& budget) {
    RequestHeader header;
    if (!ReadAll(pipe, &header, sizeof header) || header.mark != kRequestMark ||
        header.foldersSize == 0 || header.foldersSize > kLargestFolders)
        return false;
    budget = header.budget;
    return ReadFolders(pipe, header.foldersSize, folders);
}

bool WriteWalkReply(HANDLE pipe, const WalkTotals& totals, const std::vector<std::string>& left) {
    size_t size = FoldersSize(left);
    if (size > kLargestFolders)
        return false;
    std::string message = Message(ReplyHeader{kReplyMark, uint32_t(size), totals.bytes,
                                              totals.files, totals.folders, totals.unreadable},
                                  size);
    AppendFolders(message, left);
    return WriteAll(pipe, message);
}

bool ReadWalkReply(HANDLE pipe, WalkTotals& totals, std::vector<std::string>& left) {
    ReplyHeader header;
    if (!ReadAll(pipe, &header, sizeof header) || header.mark != kReplyMark ||
        header.leftSize > kLargestFolders || !ReadFolders(pipe, header.leftSize, left))
        return false;
    totals = {header.bytes, header.files, header.folders, header.unreadable};
    return true;
}
