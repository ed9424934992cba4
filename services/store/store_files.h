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

// Writes `bytes` to path + ".tmp", flushes it, moves it over `path` in one step and flushes the
// folder, so that the move itself is on disk before the caller goes on.
DWORD ReplaceFileAtomically(const std::string& path, const std::vector<char>& bytes);

// Frees `path` for a file of the store. A folder there, or a file that cannot be replaced (only
// when `temporary`, since the store's own files are read, not replaced), is moved aside; the
// name it was given is put in `movedTo`. False when the name could not be freed.
bool ClearFileName(const std::string& path, bool temporary, std::string& movedTo);

// Writes `bytes` (a damaged file's) beside `path` as path + ".damaged-YYYYMMDD-HHMMSS", flushed;
// `keptAs` gets the copy's file name, or is empty when it could not be written.
void KeepDamagedCopy(const std::string& path, const std::vector<char>& bytes, std::string& keptAs);

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
