// The policy service's work: follows every quota's usage through the quota service, and when a
// threshold is crossed in the direction its triggers ask for, carries out its actions on a
// worker thread of their own so that following the quotas never waits for them.
#pragma once

#include "client/axcli.h"
#include "services/axpolicy/crossing_table.h"
#include "services/axpolicy/threshold_actions.h"

#include <windows.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class PolicyService {
public:
    // Keeps its state and log in `folder`.
    explicit PolicyService(std::string folder);

    // Serves until `stopEvent` is set; `running` is called once the service is ready, also
    // while the quota service does not answer yet (it is then waited for).
    DWORD Run(HANDLE stopEvent, const std::function<void()>& running);

private:
    // A quota whose usage crossed thresholds in the last pass.
    struct Pending {
        AllotrixBaseDbRec record;
        std::vector<Crossing> crossings;
    };
    static bool Pass(AXCli& client, CrossingTable& table, std::vector<Pending>& pending);
    // Adjusts the quota for each upward crossing that asks for it, then queues the actions.
    void Fire(AXCli& client, CrossingTable& table, EventLog& log, bool auditing, Pending& quota);
    void ActionLoop(ThresholdActions& actions);
    void Queue(Firing firing);

    std::string m_folder;
    std::mutex m_lock;
    std::condition_variable m_wake;
    std::deque<Firing> m_firings;
    bool m_stopping = false;
};
