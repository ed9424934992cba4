#include "services/scanner/folder_listing.h"

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

size_t ListFolder(const std::string& folder, WalkTotals& totals,
                  std::vector<std::string>& subfolders, std::vector<OwnedFile>* owned) {
    std::string prefix = folder.back() == '\\' ? folder : folder + "\\";
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileExA(ApiPath(prefix + "*").c_str(), FindExInfoBasic, &data,
                                     FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) {
        ++totals.unreadable;
        return 0;
    }
    size_t entries = 0;
    do {
        const char* name = data.cFileName;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        ++entries;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ++totals.folders;
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                subfolders.push_back(prefix + name);
            continue;
        }
        uint64_t size = (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
        totals.bytes += size;
        ++totals.files;
        if (owned)
            owned->push_back({name, size, data.ftCreationTime, data.ftLastWriteTime});
    } while (FindNextFileA(search, &data));
    FindClose(search);
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
