// Carries out the actions of a threshold that fired, as its action record says: event-log
// message, notice to the user, command, reports and mail (the quota adjustment is made before, by
// the policy service itself). A failing action is logged with its reason and the others still
// run.
#pragma once

#include "client/records.h"
#include "services/common/event_log.h"

#include <windows.h>

#include <string>
#include <vector>

struct Firing {
    AllotrixDbRec record; // as read when the crossing was seen
    int threshold;        // 1 to 5
    bool upward;
};

class ThresholdActions {
public:
    // `log` receives failures always and, with `auditing`, every action taken. Commands are
    // waited for at most `commandTimeoutMs`, and not after `stopEvent` is set.
    ThresholdActions(EventLog& log, bool auditing, std::string policyFolder, HANDLE stopEvent,
                     DWORD commandTimeoutMs = 60000);

    void CarryOut(const Firing& firing);

    // "Threshold 2 (80%) of C:\Data for DOMAIN\ann: ", the start of every log entry about it.
    static std::string Prefix(const AllotrixDbRec& record, int threshold);

private:
    struct Run;
    void SendMessageActions(Run& run);
    void RunCommandAction(Run& run);
    void WriteReports(Run& run);
    void SendMail(Run& run);
    void Audit(const Run& run, const std::string& what);
    void Fail(const Run& run, const std::string& what);

    EventLog& m_log;
    bool m_auditing;
    std::string m_folder;
    HANDLE m_stopEvent;
    DWORD m_commandTimeoutMs;
};
