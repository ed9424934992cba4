// Listing folders as the usage scanner counts them, in its own process and in its helper
// processes (axscan) alike.
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "services/scanner/owner_cache.h"

struct WalkTotals {
    uint64_t bytes = 0;      // sum of the files' logical sizes
    uint64_t files = 0;      // files listed
    uint64_t folders = 0;    // subfolders listed (junctions and links to folders included)
    uint64_t unreadable = 0; // folders that could not be listed

    void Add(const WalkTotals& other);
};

// Paths beyond MAX_PATH need the "\\?\" form with the A functions.
std::string ApiPath(const std::string& path);

// Lists one folder into `totals` and appends the subfolders to walk to `subfolders` (junctions and
// links to folders are counted but not walked: they belong to another tree and may loop). With
// `owned`, every file is appended to it too. Returns the number of entries listed.
size_t ListFolder(const std::string& folder, WalkTotals& totals,
                  std::vector<std::string>& subfolders, std::vector<OwnedFile>* owned = nullptr);

// Lists the folders of `pending` and everything below them, depth first, until about `budget`
// entries have been listed (0: no limit). What is left in `pending` has not been listed yet.
void WalkFolders(std::deque<std::string>& pending, WalkTotals& totals, size_t budget);
