// A quota's record as the service lists it, with the form in which enumerations send it (packed
// as zero runs) made when it is first listed after a change and kept until the next change: a
// refresh of 100,000 quotas of which few changed packs few.
#pragma once

#include "client/records.h"
#include "client/zero_runs.h"

#include <cstdint>
#include <vector>

class ListedRecord {
public:
    const AllotrixBaseDbRec& Get() const { return m_record; }

    // The record to change; it is packed again when next listed.
    AllotrixBaseDbRec& Change() {
        m_packed.clear();
        return m_record;
    }

    // Not thread-safe: the service calls it under its lock.
    const std::vector<uint8_t>& Packed() const {
        if (m_packed.empty()) { // a packed record is never empty
            // Packed aside first: kept in a vector of exactly its size, not of its growth's.
            thread_local std::vector<uint8_t> packing;
            packing.clear();
            AppendZeroRuns(packing, &m_record, sizeof m_record);
            m_packed.assign(packing.begin(), packing.end());
        }
        return m_packed;
    }

private:
    AllotrixBaseDbRec m_record;
    mutable std::vector<uint8_t> m_packed;
};
