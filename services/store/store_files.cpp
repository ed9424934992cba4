#include "services/store/store_files.h"

#include <cstdio>

namespace {

DWORD SeekTo(HANDLE file, uint64_t offset) {
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(file, position, nullptr, FILE_BEGIN) ? 0 : GetLastError();
}

DWORD WriteAll(HANDLE file, const char* bytes, size_t size) {
    while (size > 0) {
        DWORD chunk = size > (1u << 20) ? (1u << 20) : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(file, bytes, chunk, &written, nullptr))
            return GetLastError();
        if (written == 0)
            return ERROR_WRITE_FAULT;
        bytes += written;
        size -= written;
    }
    return 0;
}

DWORD ReadAllFrom(HANDLE file, std::vector<char>& out) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size))
        return GetLastError();
    if (DWORD error = SeekTo(file, 0))
        return error;
    out.assign(static_cast<size_t>(size.QuadPart), 0);
    size_t done = 0;
    while (done < out.size()) {
        DWORD chunk = out.size() - done > (1u << 20) ? (1u << 20) : DWORD(out.size() - done);
        DWORD read = 0;
        if (!ReadFile(file, out.data() + done, chunk, &read, nullptr))
            return GetLastError();
        if (read == 0)
            break;
        done += read;
    }
    out.resize(done);
    return 0;
}

// A free name beside `path`: path + "." + tag + "-YYYYMMDD-HHMMSS" (and "-N" when taken).
std::string NameBeside(const std::string& path, const char* tag) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char stamp[32];
    snprintf(stamp, sizeof stamp, "-%04u%02u%02u-%02u%02u%02u", now.wYear, now.wMonth, now.wDay,
             now.wHour, now.wMinute, now.wSecond);
    std::string base = path + "." + tag + stamp;
    std::string name = base;
    for (int n = 2; GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES; ++n)
        name = base + "-" + std::to_string(n);
    return name;
}

std::string LeafOf(const std::string& path) {
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void FlushFolderOf(const std::string& path) {
    size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos)
        return;
    base::UniqueFile folder(CreateFileA(path.substr(0, slash).c_str(), GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                        nullptr));
    if (folder)
        FlushFileBuffers(folder.Get());
}

} // namespace

bool ClearFileName(const std::string& path, bool temporary, std::string& movedTo) {
    movedTo.clear();
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return true;
    bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (!folder && !temporary)
        return true;
    if (!folder) {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (DeleteFileA(path.c_str()))
            return true;
    }
    std::string aside = NameBeside(path, "aside");
    if (!MoveFileExA(path.c_str(), aside.c_str(), MOVEFILE_WRITE_THROUGH))
        return false;
    movedTo = LeafOf(aside);
    return true;
}

void KeepDamagedCopy(const std::string& path, const std::vector<char>& bytes, std::string& keptAs) {
    keptAs.clear();
    std::string copy = NameBeside(path, "damaged");
    base::UniqueFile file(CreateFileA(copy.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return;
    if (WriteAll(file.Get(), bytes.data(), bytes.size()) == 0 && FlushFileBuffers(file.Get()))
        keptAs = LeafOf(copy);
}

DWORD CreateFolderTree(const std::string& folder) {
    DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : ERROR_DIRECTORY;
    size_t slash = folder.find_last_of("\\/");
    if (slash != std::string::npos && slash > 0 && folder[slash - 1] != ':') {
        if (DWORD error = CreateFolderTree(folder.substr(0, slash)))
            return error;
    }
    if (!CreateDirectoryA(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return GetLastError();
    return 0;
}

DWORD ReadWholeFile(const std::string& path, std::vector<char>& out) {
    base::UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return GetLastError() == ERROR_PATH_NOT_FOUND ? ERROR_FILE_NOT_FOUND : GetLastError();
    return ReadAllFrom(file.Get(), out);
}

DWORD ReplaceFileAtomically(const std::string& path, const std::vector<char>& bytes) {
    std::string temporary = path + ".tmp";
    std::string movedTo;
    if (!ClearFileName(temporary, true, movedTo))
        return GetLastError();
    {
        base::UniqueFile file(CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr,
                                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            return GetLastError();
        DWORD error = WriteAll(file.Get(), bytes.data(), bytes.size());
        if (!error && !FlushFileBuffers(file.Get()))
            error = GetLastError();
        if (error) {
            file.Reset();
            DeleteFileA(temporary.c_str());
            return error;
        }
    }
    if (!MoveFileExA(temporary.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DWORD error = GetLastError();
        DeleteFileA(temporary.c_str());
        return error;
    }
    // Without this a power loss could leave the old snapshot in place behind a journal that
    // has already been restarted for the new one.
    FlushFolderOf(path);
    return 0;
}

DWORD JournalFile::Open(const std::string& path) {
    m_file.Reset(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!m_file)
        return GetLastError();
    LARGE_INTEGER size;
    if (!GetFileSizeEx(m_file.Get(), &size)) {
        DWORD error = GetLastError();
        m_file.Reset();
        return error;
    }
    m_size = static_cast<uint64_t>(size.QuadPart);
    return 0;
}

DWORD JournalFile::ReadAll(std::vector<char>& out) {
    return ReadAllFrom(m_file.Get(), out);
}

DWORD JournalFile::WriteAt(uint64_t offset, const void* bytes, DWORD size) {
    if (DWORD error = SeekTo(m_file.Get(), offset))
        return error;
    return WriteAll(m_file.Get(), static_cast<const char*>(bytes), size);
}

DWORD JournalFile::Append(const std::vector<char>& bytes) {
    DWORD error = WriteAt(m_size, bytes.data(), static_cast<DWORD>(bytes.size()));
    if (!error && !FlushFileBuffers(m_file.Get()))
        error = GetLastError();
    if (error) {
        TruncateTo(m_size);
        return error;
    }
    m_size += bytes.size();
    return 0;
}

DWORD JournalFile::TruncateTo(uint64_t size) {
    if (DWORD error = SeekTo(m_file.Get(), size))
        return error;
    if (!SetEndOfFile(m_file.Get()) || !FlushFileBuffers(m_file.Get()))
        return GetLastError();
    m_size = size;
    return 0;
}

DWORD JournalFile::Restart(const void* header, DWORD headerSize) {
    if (m_size > headerSize) {
        if (DWORD error = TruncateTo(headerSize))
            return error;
    }
    if (DWORD error = WriteAt(0, header, headerSize))
        return error;
    return TruncateTo(headerSize);
}
