// The automatic quota adjustment of a threshold that usage rose past: the permanent quota grows
// by the action's amount, at most as many times as its repeat value allows (a repeat value of 0
// allows one adjustment, as 1 does), and the count of adjustments is saved in the record.
#pragma once

#include "client/axcli.h"

#include <windows.h>

#include <string>

struct AdjustmentOutcome {
    bool adjusted = false;
    WORD level = EVENTLOG_INFORMATION_TYPE; // of the text, for the log
    std::string text;                       // what happened; empty when nothing was asked for
};

// Adjusts the quota of `record` (read again through `client`, so that the newest record is
// changed) for threshold `threshold`; on success `record` holds what was saved.
AdjustmentOutcome AdjustQuota(AXCli& client, AllotrixDbRec& record, int threshold);
