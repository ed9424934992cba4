#include "temp_folder.h"

#include "base/handles.h"

#include <algorithm>
#include <atomic>
#include <vector>

TempFolder::TempFolder(const std::string& name) {
    static std::atomic<int> counter{0};
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    m_path = std::string(temp) + "kelvane-" + name + "-" + std::to_string(GetCurrentProcessId()) +
             "-" + std::to_string(counter++);
    RemoveTree(m_path);
    CreateDirectoryA(m_path.c_str(), nullptr);
}

TempFolder::~TempFolder() {
    RemoveTree(m_path);
}

bool WriteTestFile(const std::string& path, uint64_t size) {
    base::UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    std::vector<char> block(64 * 1024);
    bool ok = true;
    uint64_t done = 0;
    while (ok && done < size) {
        DWORD chunk = static_cast<DWORD>(std::min<uint64_t>(block.size(), size - done));
        for (DWORD i = 0; i < chunk; ++i)
            block[i] = static_cast<char>((done + i) % 251);
        DWORD written = 0;
        ok = WriteFile(file.Get(), block.data(), chunk, &written, nullptr) && written == chunk;
        done += chunk;
    }
    return ok;
}
