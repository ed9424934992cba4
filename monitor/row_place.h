// The user's place in the monitor grid, kept across a rebuild of its rows (a refresh, a sort,
// other columns): the current cell, the selected rows, the selection's anchor and the top row
// stay on the same quotas, known by server, object and owner rather than by row number.
#pragma once

#include "monitor/monitor_entry.h"

#include <string>
#include <vector>

namespace monitor {

class CAXMonView;

// What names a quota whichever row shows it: its server, object and owner.
std::string QuotaIdentity(const MonitorEntry& entry);

class RowPlace {
public:
    // Remembers the place in `view`, whose rows must still show live entries.
    void Capture(const CAXMonView& view);
    // Puts the place back on the rows `view` shows now. A quota that is gone leaves the
    // selection; the current cell and the top row then go to the nearest row that remains,
    // looked for in the order the rows had before.
    void Restore(CAXMonView& view) const;

private:
    // The identity of each row before, row 1 first, one after the other: row r's runs from
    // m_starts[r - 1] to m_starts[r]. Kept in one piece, as many small texts cost dearly.
    std::string m_identities;
    std::vector<size_t> m_starts;
    // The entry each row showed: only compared, never read, as it may be gone by now. An entry
    // made since cannot have the address of one still shown then.
    std::vector<const MonitorEntry*> m_entries;
    int m_currentRow = 0; // 0: no current cell
    int m_currentCol = 0;
    int m_anchorRow = 0;
    int m_topRow = 0;
    std::vector<int> m_selectedRows;
};

} // namespace monitor
