#include "services/axpolicy/quota_adjustment.h"

#include "services/common/event_log.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>

AdjustmentOutcome AdjustQuota(AXCli& client, AllotrixDbRec& record, int threshold) {
    AdjustmentOutcome outcome;
    if (record.Actions[threshold - 1].GetAdjustQuota() == 0)
        return outcome;
    AllotrixDbRec current;
    char file[kFileNameSize] = {};
    std::string device = record.GetDeviceName();
    std::string owner = record.GetFileOwner();
    record.GetFileName(file);
    uint32_t status = client.Get(&current, device.data(), file, owner.data(), 0);
    if (status != kAxOk) {
        outcome.level = EVENTLOG_ERROR_TYPE;
        outcome.text = "the quota could not be adjusted: " + DescribeError(status);
        return outcome;
    }
    AllotrixActionRec& action = current.Actions[threshold - 1];
    uint32_t limit = std::max<uint32_t>(action.GetRepeat(), 1);
    if (action.GetCurrentRepeat() >= limit) {
        outcome.level = EVENTLOG_WARNING_TYPE;
        outcome.text = "the quota was not adjusted: the repeat limit of " + std::to_string(limit) +
                       " adjustments is reached.";
        return outcome;
    }
    uint64_t before = current.GetPermQuota();
    current.SetPermQuota(before + action.GetAdjustQuota());
    action.SetCurrentRepeat(action.GetCurrentRepeat() + 1);
    current.TurnAttributeOff(AttrResetHighWater);
    status = client.Save(&current, 0);
    if (status != kAxOk) {
        outcome.level = EVENTLOG_ERROR_TYPE;
        outcome.text = "the adjusted quota could not be saved: " + DescribeError(status);
        return outcome;
    }
    char text[160];
    snprintf(text, sizeof text,
             "the permanent quota was adjusted from %" PRIu64 " to %" PRIu64
             " bytes (adjustment %u of %u).",
             before, current.GetPermQuota(), action.GetCurrentRepeat(), limit);
    outcome.adjusted = true;
    outcome.text = text;
    record = current;
    return outcome;
}
