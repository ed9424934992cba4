#include "services/scanner/folder_listing.h"

#include "base/handles.h"

void WalkTotals::Add(const WalkTotals& other) {
    bytes += other.bytes;
    files += other.files;
    folders += other.folders;
    unreadable += other.unreadable;
}

std::string ApiPath(const std::string& path) {
    if (path.size() < MAX_PATH - 2 || path.rfind("\\\\", 0) == 0)
        return path;
    return "\\\\?\\" + path;
}

namespace {

// Counts one entry of a folder listing; true when it is a file.
bool CountEntry(const std::string& prefix, const char* name, DWORD attributes, uint64_t size,
                WalkTotals& totals, std::vector<std::string>& subfolders) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        ++totals.folders;
        if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            subfolders.push_back(prefix + name);
        return false;
    }
    totals.bytes += size;
    ++totals.files;
    return true;
}

bool IsDotEntry(const char* name) {
    return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

FILETIME FileTimeOf(const LARGE_INTEGER& time) {
    return {time.LowPart, static_cast<DWORD>(time.HighPart)};
}

// Lists a folder through its handle, a buffer of entries per call, each with its change time, and
// calls `visit` with each entry's name (in the ANSI code page, as the A functions give it) and
// information. False when the folder cannot be listed.
template <typename Visit> bool ListEntries(const std::string& folder, Visit visit) {
    base::UniqueFile handle(CreateFileA(ApiPath(folder).c_str(), FILE_LIST_DIRECTORY,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                        nullptr));
    if (!handle)
        return false;
    // One buffer per thread, not one per folder listed; entries are 8-byte aligned.
    thread_local std::vector<uint64_t> buffer(64 * 1024 / sizeof(uint64_t));
    const DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(uint64_t));
    std::string name;
    for (FILE_INFO_BY_HANDLE_CLASS kind = FileIdBothDirectoryRestartInfo;
         GetFileInformationByHandleEx(handle.Get(), kind, buffer.data(), bytes);
         kind = FileIdBothDirectoryInfo) {
        auto* entry = reinterpret_cast<const BYTE*>(buffer.data());
        for (;;) {
            const auto& info = *reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(entry);
            const int length = static_cast<int>(info.FileNameLength / sizeof(WCHAR));
            name.resize(static_cast<size_t>(length) * 2 + 1);
            const int written =
                WideCharToMultiByte(CP_ACP, 0, info.FileName, length, name.data(),
                                    static_cast<int>(name.size()), nullptr, nullptr);
            name.resize(static_cast<size_t>(written));
            visit(name.c_str(), info);
            if (info.NextEntryOffset == 0)
                break;
            entry += info.NextEntryOffset;
        }
    }
    return GetLastError() == ERROR_NO_MORE_FILES;
}

} // namespace

size_t ListFolder(const std::string& folder, WalkTotals& totals,
                  std::vector<std::string>& subfolders, std::vector<OwnedFile>* owned) {
    std::string prefix = folder.back() == '\\' ? folder : folder + "\\";
    size_t entries = 0;
    const bool listed =
        ListEntries(prefix, [&](const char* name, const FILE_ID_BOTH_DIR_INFO& info) {
            if (IsDotEntry(name))
                return;
            ++entries;
            const uint64_t size = static_cast<uint64_t>(info.EndOfFile.QuadPart);
            if (CountEntry(prefix, name, info.FileAttributes, size, totals, subfolders) && owned)
                owned->push_back(
                    {name, size, FileTimeOf(info.LastWriteTime), FileTimeOf(info.ChangeTime)});
        });
    if (!listed)
        ++totals.unreadable;
    return entries;
}

void WalkFolders(std::deque<std::string>& pending, WalkTotals& totals, size_t budget) {
    std::vector<std::string> found;
    size_t listed = 0;
    while (!pending.empty() && (budget == 0 || listed < budget)) {
        std::string folder = std::move(pending.back());
        pending.pop_back();
        found.clear();
        listed += ListFolder(folder, totals, found);
        for (std::string& subfolder : found)
            pending.push_back(std::move(subfolder));
    }
}
