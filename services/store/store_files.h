// File operations of the quota store: whole-file reads, atomic replacement and the journal.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/handles.h"

// Creates a folder and any missing parents; 0 when it exists afterwards.
DWORD CreateFolderTree(const std::string& folder);

// Reads a whole file; ERROR_FILE_NOT_FOUND when it does not exist.
DWORD ReadWholeFile(const std::string& path, std::vector<char>& out);

// Writes `bytes` to path + ".tmp", flushes it and moves it over `path` in one step.
DWORD ReplaceFileAtomically(const std::string& path, const std::vector<char>& bytes);

// The journal, open for appending and shared with readers only, so that one process at a time
// writes a store.
class JournalFile {
public:
    DWORD Open(const std::string& path);
    DWORD ReadAll(std::vector<char>& out);
    // Writes `bytes` at the end and flushes them to disk; on failure the journal is cut back to
    // its previous end.
    DWORD Append(const std::vector<char>& bytes);
    // Cuts the journal to `size` bytes and flushes.
    DWORD TruncateTo(uint64_t size);
    // Empties the journal and gives it a new header: it is first cut to the old header, so a
    // crash in between leaves a journal without entries.
    DWORD Restart(const void* header, DWORD headerSize);
    uint64_t Size() const { return m_size; }

private:
    DWORD WriteAt(uint64_t offset, const void* bytes, DWORD size);
    base::UniqueFile m_file;
    uint64_t m_size = 0;
};
