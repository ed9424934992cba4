// Every file below a folder with its size and times, for the reports and the "[OPENED FILE]"
// macro.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct SurveyedFile {
    std::string path;
    uint64_t size = 0;
    FILETIME created{};
    FILETIME written{};
    FILETIME accessed{};
};

struct FolderSurvey {
    std::vector<SurveyedFile> files;
    size_t folders = 0;     // subfolders listed
    bool truncated = false; // the entry limit was reached: not every file is listed
};

// Lists the files below `folder` at any depth, up to `limit` entries (links to folders are not
// followed).
FolderSurvey SurveyFolder(const std::string& folder, size_t limit = 500000);

// 100-nanosecond ticks of a file time.
inline uint64_t Ticks(const FILETIME& time) {
    return (uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}
