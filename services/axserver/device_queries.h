// What the quota service tells about the server's devices and folders, from the file system.
#pragma once

#include "client/records.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// Splits "C:\Data" into "C:" and "\Data" ("C:" and "C:\" give "\"). The device must exist.
// ERROR_INVALID_NAME for a name that is not a drive path, ERROR_INVALID_DRIVE for a missing drive.
DWORD SplitObjectName(const std::string& objectName, std::string& device, std::string& file);
// Checks a device ("C:") and a directory path on it ("\Data") and gives their normal form: the
// device in capitals, the path without a trailing backslash ("\" for the root).
DWORD NormalizeObject(std::string& device, std::string& file);
// The folder of an object: "C:" and "\Data" give "C:\Data", "C:" and "\" give "C:\".
std::string ObjectFolder(const std::string& device, const std::string& file);
// Turns a mapped name (a drive path, "\??\C:\..." or "\Device\HarddiskVolume1\...") into the
// object name the user sees ("C:\...").
DWORD MappedToObjectName(const std::string& mappedName, std::string& objectName);

// Drive roots ("C:\") of every device.
std::vector<std::string> ListDevices();
// The drive type of a fixed or RAM device; ERROR_INVALID_PARAMETER for others (ask DeviceInfo).
DWORD DriveAttributes(const std::string& device, uint32_t& driveType);
struct DeviceInfo {
    uint32_t driveType = 0;
    uint32_t clusterSize = 0;
    uint64_t capacity = 0;
    uint64_t freeBytes = 0;
};
DWORD QueryDeviceInfo(const std::string& device, DeviceInfo& info);
// The entries of a folder on an existing device, "." and ".." left out. The name is checked as an
// object name is (SplitObjectName).
DWORD ListFolder(const std::string& name, std::vector<AXServerCommunicationFileRec>& entries);
DWORD MakeFolder(const std::string& path);
// Whether a normal object folder ("C:\\Data") is `folder` or lies below it.
bool IsSameOrInside(const std::string& path, const std::string& folder);
