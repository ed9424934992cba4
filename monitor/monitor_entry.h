// One quota record as the monitor lists it, with the name of the server it came from.
#pragma once

#include "client/records.h"

#include <memory>
#include <string>
#include <vector>

namespace monitor {

struct MonitorEntry {
    std::string serverName;
    AllotrixBaseDbRec record;
};

// Entries in the order the server returned them. Each entry lives on the heap, so a pointer to
// it (held by a grid row) stays valid until the list drops the entry.
using MonitorList = std::vector<std::unique_ptr<MonitorEntry>>;

} // namespace monitor
