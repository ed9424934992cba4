// Where each quota's usage stood against its thresholds when last seen, kept in a file so that
// every crossing fires once, across restarts of either service.
#pragma once

#include "client/records.h"

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Bit n-1 set: the usage is at or above threshold n (a threshold of 0 is never reached).
uint8_t ThresholdsReached(const AllotrixBaseDbRec& record);

struct Crossing {
    int threshold; // 1 to 5
    bool upward;   // rose to or past it; otherwise fell under it
};

class CrossingTable {
public:
    explicit CrossingTable(std::string file) : m_file(std::move(file)) {}

    // Reads the file; a missing file is an empty table.
    DWORD Load();
    // Writes the table when it changed, to a new file that then replaces the old one.
    DWORD Save();

    // A pass over every quota starts: quotas not seen again before EndPass are forgotten.
    void BeginPass();
    void EndPass();
    // The crossings of the record's usage since it was last seen; a quota seen for the first time
    // counts as having stood under every threshold.
    std::vector<Crossing> Update(const AllotrixBaseDbRec& record);
    // Keeps the record's entry through this pass without looking at its usage (being scanned).
    void Keep(const AllotrixBaseDbRec& record);

private:
    struct Entry {
        uint8_t reached = 0;
        bool seen = false;
    };
    std::string m_file;
    std::map<std::string, Entry> m_entries; // object and owner, in small letters
    bool m_changed = false;
};
