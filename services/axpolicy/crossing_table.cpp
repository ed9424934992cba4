#include "services/axpolicy/crossing_table.h"

#include "base/handles.h"

#include <cstdio>
#include <cstdlib>

namespace {

std::string KeyOf(const AllotrixBaseDbRec& record) {
    std::string key = std::string(record.GetMappedName(1)) + "|" + record.GetFileOwner();
    CharLowerBuffA(key.data(), static_cast<DWORD>(key.size()));
    return key;
}

} // namespace

uint8_t ThresholdsReached(const AllotrixBaseDbRec& record) {
    unsigned __int128 used = record.GetUsedQuota();
    unsigned __int128 quota = record.GetPermQuota();
    uint8_t reached = 0;
    for (int n = 1; n <= static_cast<int>(kThresholdCount); ++n) {
        uint8_t percent = record.GetThreshPercent(n);
        if (percent != 0 && quota != 0 && used * 100 >= quota * percent)
            reached |= static_cast<uint8_t>(1u << (n - 1));
    }
    return reached;
}

DWORD CrossingTable::Load() {
    m_entries.clear();
    base::UniqueFile file(CreateFileA(m_file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
    if (!file) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : error;
    }
    std::string text;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
        text.append(buffer, read);
    // One line per quota: the reached bits in hexadecimal, a blank, the key.
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        size_t blank = line.find(' ');
        if (blank != std::string::npos && blank > 0)
            m_entries[line.substr(blank + 1)].reached =
                static_cast<uint8_t>(strtoul(line.substr(0, blank).c_str(), nullptr, 16));
        start = end + 1;
    }
    return ERROR_SUCCESS;
}

DWORD CrossingTable::Save() {
    if (!m_changed)
        return ERROR_SUCCESS;
    std::string text;
    for (const auto& [key, entry] : m_entries) {
        char bits[8];
        snprintf(bits, sizeof bits, "%02x ", entry.reached);
        text += bits + key + "\n";
    }
    std::string temporary = m_file + ".new";
    {
        base::UniqueFile file(CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr,
                                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            return GetLastError();
        DWORD written = 0;
        if (!WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written,
                       nullptr) ||
            !FlushFileBuffers(file.Get()))
            return GetLastError();
    }
    if (!MoveFileExA(temporary.c_str(), m_file.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return GetLastError();
    m_changed = false;
    return ERROR_SUCCESS;
}

void CrossingTable::BeginPass() {
    for (auto& [key, entry] : m_entries)
        entry.seen = false;
}

void CrossingTable::EndPass() {
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (it->second.seen) {
            ++it;
        } else {
            it = m_entries.erase(it);
            m_changed = true;
        }
    }
}

std::vector<Crossing> CrossingTable::Update(const AllotrixBaseDbRec& record) {
    Entry& entry = m_entries[KeyOf(record)];
    entry.seen = true;
    uint8_t reached = ThresholdsReached(record);
    std::vector<Crossing> crossings;
    for (int n = 1; n <= static_cast<int>(kThresholdCount); ++n) {
        uint8_t bit = static_cast<uint8_t>(1u << (n - 1));
        if ((reached & bit) != (entry.reached & bit))
            crossings.push_back({n, (reached & bit) != 0});
    }
    if (reached != entry.reached) {
        entry.reached = reached;
        m_changed = true;
    }
    return crossings;
}

void CrossingTable::Keep(const AllotrixBaseDbRec& record) {
    auto it = m_entries.find(KeyOf(record));
    if (it != m_entries.end())
        it->second.seen = true;
}
