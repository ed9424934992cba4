#include "services/axserver/device_queries.h"

#include "base/handles.h"

#include <cctype>
#include <cstring>

namespace {

bool IsDriveLetter(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

std::string RootOf(const std::string& device) {
    return device.substr(0, 2) + "\\";
}

bool DeviceExists(const std::string& device) {
    UINT type = GetDriveTypeA(RootOf(device).c_str());
    return type != DRIVE_UNKNOWN && type != DRIVE_NO_ROOT_DIR;
}

// Accepts "X:" followed by nothing or by a path that starts with a backslash.
DWORD CheckDrivePath(const std::string& path) {
    if (path.size() < 2 || !IsDriveLetter(path[0]) || path[1] != ':' ||
        (path.size() > 2 && path[2] != '\\'))
        return ERROR_INVALID_NAME;
    return DeviceExists(path) ? ERROR_SUCCESS : ERROR_INVALID_DRIVE;
}

// A path component of "." or ".." would let a name point outside the folder it names; one of dots
// and spaces alone is resolved by Windows in ways that are hard to foresee.
bool HasDotComponent(const std::string& file) {
    size_t start = 0;
    while (start <= file.size()) {
        size_t end = file.find('\\', start);
        if (end == std::string::npos)
            end = file.size();
        std::string part = file.substr(start, end - start);
        if (!part.empty() && part.find_first_not_of(". ") == std::string::npos)
            return true;
        start = end + 1;
    }
    return false;
}

} // namespace

DWORD NormalizeObject(std::string& device, std::string& file) {
    if (device.size() != 2 || !IsDriveLetter(device[0]) || device[1] != ':')
        return ERROR_INVALID_NAME;
    device[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(device[0])));
    if (!DeviceExists(device))
        return ERROR_INVALID_DRIVE;
    if (file.empty())
        file = "\\";
    if (file[0] != '\\' || file.find('/') != std::string::npos || HasDotComponent(file) ||
        file.find("\\\\") != std::string::npos)
        return ERROR_INVALID_NAME;
    // The folder as Windows resolves it: "C:\\Data.", "C:\\Data " and "C:\\DATA~1" all name
    // "C:\\Data".
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(ObjectFolder(device, file).c_str(), MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH)
        return ERROR_FILENAME_EXCED_RANGE;
    char longName[MAX_PATH];
    length = GetLongPathNameA(full, longName, MAX_PATH);
    std::string resolved = length > 0 && length < MAX_PATH ? longName : full;
    if (resolved.size() < 3 || _strnicmp(resolved.c_str(), device.c_str(), 2) != 0 ||
        resolved[2] != '\\')
        return ERROR_INVALID_NAME;
    file = resolved.substr(2);
    while (file.size() > 1 && file.back() == '\\')
        file.pop_back();
    if (device.size() + file.size() >= kMappedNameSize || file.size() >= kFileNameSize)
        return ERROR_FILENAME_EXCED_RANGE;
    return ERROR_SUCCESS;
}

std::string ObjectFolder(const std::string& device, const std::string& file) {
    return file == "\\" ? device + "\\" : device + file;
}

DWORD SplitObjectName(const std::string& objectName, std::string& device, std::string& file) {
    DWORD error = CheckDrivePath(objectName);
    if (error != ERROR_SUCCESS)
        return error;
    device = objectName.substr(0, 2);
    file = objectName.size() > 2 ? objectName.substr(2) : "\\";
    return NormalizeObject(device, file);
}

DWORD MappedToObjectName(const std::string& mappedName, std::string& objectName) {
    std::string name = mappedName;
    if (name.rfind("\\??\\", 0) == 0)
        name = name.substr(4);
    if (name.rfind("\\Device\\", 0) == 0) {
        for (const std::string& root : ListDevices()) {
            char target[MAX_PATH] = {};
            std::string device = root.substr(0, 2);
            if (!QueryDosDeviceA(device.c_str(), target, sizeof target))
                continue;
            size_t length = strlen(target);
            if (_strnicmp(name.c_str(), target, length) == 0 &&
                (name.size() == length || name[length] == '\\')) {
                name = device + name.substr(length);
                break;
            }
        }
    }
    std::string device, file;
    DWORD error = SplitObjectName(name, device, file);
    if (error != ERROR_SUCCESS)
        return error;
    objectName = ObjectFolder(device, file);
    return ERROR_SUCCESS;
}

std::vector<std::string> ListDevices() {
    std::vector<std::string> roots;
    char buffer[512] = {};
    DWORD length = GetLogicalDriveStringsA(sizeof buffer - 1, buffer);
    if (length == 0 || length >= sizeof buffer)
        return roots;
    for (const char* root = buffer; *root; root += strlen(root) + 1)
        roots.emplace_back(root);
    return roots;
}

DWORD DriveAttributes(const std::string& device, uint32_t& driveType) {
    DWORD error = CheckDrivePath(device);
    if (error != ERROR_SUCCESS)
        return error;
    UINT type = GetDriveTypeA(RootOf(device).c_str());
    if (type != DRIVE_FIXED && type != DRIVE_RAMDISK)
        return ERROR_INVALID_PARAMETER;
    driveType = type;
    return ERROR_SUCCESS;
}

DWORD QueryDeviceInfo(const std::string& device, DeviceInfo& info) {
    DWORD error = CheckDrivePath(device);
    if (error != ERROR_SUCCESS)
        return error;
    std::string root = RootOf(device);
    info.driveType = GetDriveTypeA(root.c_str());
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
    if (!GetDiskFreeSpaceA(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters,
                           &clusters))
        return GetLastError();
    info.clusterSize = sectorsPerCluster * bytesPerSector;
    ULARGE_INTEGER available{}, total{}, free{};
    if (!GetDiskFreeSpaceExA(root.c_str(), &available, &total, &free))
        return GetLastError();
    info.capacity = total.QuadPart;
    info.freeBytes = free.QuadPart;
    return ERROR_SUCCESS;
}

bool IsSameOrInside(const std::string& path, const std::string& folder) {
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(folder.c_str(), MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH)
        return false;
    std::string outer = full;
    while (outer.size() > 3 && outer.back() == '\\')
        outer.pop_back();
    return _strnicmp(path.c_str(), outer.c_str(), outer.size()) == 0 &&
           (path.size() == outer.size() || path[outer.size()] == '\\' || outer.back() == '\\');
}

DWORD ListFolder(const std::string& name, std::vector<AXServerCommunicationFileRec>& entries) {
    std::string device, file;
    DWORD error = SplitObjectName(name, device, file);
    if (error != ERROR_SUCCESS)
        return error;
    std::string pattern = ObjectFolder(device, file);
    if (pattern.back() != '\\')
        pattern += '\\';
    pattern += '*';
    WIN32_FIND_DATAA data;
    base::UniqueFind find(FindFirstFileExA(pattern.c_str(), FindExInfoBasic, &data,
                                           FindExSearchNameMatch, nullptr,
                                           FIND_FIRST_EX_LARGE_FETCH));
    if (!find)
        return GetLastError();
    entries.clear();
    do {
        if (strcmp(data.cFileName, ".") == 0 || strcmp(data.cFileName, "..") == 0)
            continue;
        AXServerCommunicationFileRec entry;
        entry.Reserved1 = data.nFileSizeLow;
        entry.Reserved2 = data.nFileSizeHigh;
        memcpy(entry.Name, data.cFileName, strnlen(data.cFileName, kFileNameSize - 1));
        entry.IsFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 0;
        entry.Reserved3 = data.dwFileAttributes;
        entries.push_back(entry);
    } while (FindNextFileA(find.Get(), &data));
    error = GetLastError();
    return error == ERROR_NO_MORE_FILES ? ERROR_SUCCESS : error;
}

DWORD MakeFolder(const std::string& path) {
    std::string device, file;
    DWORD error = SplitObjectName(path, device, file);
    if (error != ERROR_SUCCESS)
        return error;
    if (file == "\\")
        return ERROR_ALREADY_EXISTS;
    return CreateDirectoryA(ObjectFolder(device, file).c_str(), nullptr) ? ERROR_SUCCESS
                                                                         : GetLastError();
}
