// Which quota records the monitor lists.
#pragma once

#include "client/records.h"

namespace monitor {

// False for records the monitor never lists: those flagged 0x40000 or 0x80000, and on a server of
// kind 3 all but the device-root records flagged AttrAbsolute (a mapped name of 3 characters).
bool IsListedRecord(const AllotrixBaseDbRec& record, int serverKind);

} // namespace monitor
