#include "client/record_list.h"

uint32_t ListRecords(AXCli& client, const std::function<void(const AllotrixBaseDbRec&)>& visit) {
    uint32_t status = client.EndContext();
    while (status == kAxOk || status == kAxSkipRecord) {
        AllotrixBaseDbRec record;
        status = client.Get(&record, 1);
        if (status == kAxOk)
            visit(record);
    }
    client.EndContext();
    return status == kAxNoMoreRecords ? kAxOk : status;
}
