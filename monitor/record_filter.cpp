#include "monitor/record_filter.h"

#include "client/axcli.h"

#include <cstring>

namespace monitor {

bool IsListedRecord(const AllotrixBaseDbRec& record, int serverKind) {
    if (serverKind == kServerKindMonitorOnly &&
        (!record.IsAttributeSet(AttrAbsolute) || strlen(record.GetMappedName(1)) != 3))
        return false;
    return !record.IsAttributeSet(AttrUnlisted40000) && !record.IsAttributeSet(AttrUnlisted80000);
}

} // namespace monitor
