// A uniquely named folder under the temporary folder, removed with its contents at the end.
#pragma once

#include "tools/server_program.h"

#include <windows.h>

#include <cstdint>
#include <string>

class TempFolder {
public:
    explicit TempFolder(const std::string& name);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

// Removes a folder and everything below it; true when it is gone.
using server_program::RemoveTree;

// Creates a file of `size` bytes (each byte its offset modulo 251); true on success.
bool WriteTestFile(const std::string& path, uint64_t size);
