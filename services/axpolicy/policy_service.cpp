#include "services/axpolicy/policy_service.h"

#include "client/record_list.h"
#include "services/axpolicy/quota_adjustment.h"

#include <vector>

namespace {

constexpr DWORD kPollMs = 2000;
constexpr DWORD kReconnectMs = 2000;
constexpr uint32_t kScanStatusBits = AttrStatus100 | AttrStatus40000000;

struct Winsock {
    bool started = false;
    Winsock() {
        WSADATA data{};
        started = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }
    ~Winsock() {
        if (started)
            WSACleanup();
    }
};

} // namespace

PolicyService::PolicyService(std::string folder) : m_folder(std::move(folder)) {}

void PolicyService::Queue(Firing firing) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_firings.push_back(std::move(firing));
    m_wake.notify_one();
}

// One pass over every listed quota; false when the enumeration failed part way.
bool PolicyService::Pass(AXCli& client, CrossingTable& table, std::vector<Pending>& pending) {
    table.BeginPass();
    uint32_t status = ListRecords(client, [&](const AllotrixBaseDbRec& record) {
        // A quota waiting for its scan shows a usage that is not yet measured.
        if (record.GetAttributes() & kScanStatusBits) {
            table.Keep(record);
            return;
        }
        std::vector<Crossing> crossings = table.Update(record);
        if (!crossings.empty())
            pending.push_back({record, std::move(crossings)});
    });
    if (status != kAxOk)
        return false;
    table.EndPass();
    return true;
}

void PolicyService::Fire(AXCli& client, CrossingTable& table, EventLog& log, bool auditing,
                         Pending& quota) {
    Firing firing{AllotrixDbRec(), 0, false};
    char file[kFileNameSize] = {};
    std::string device = quota.record.GetDeviceName();
    std::string owner = quota.record.GetFileOwner();
    quota.record.GetFileName(file);
    if (client.Get(&firing.record, device.data(), file, owner.data(), 0) != kAxOk)
        return;
    // Crossings found after an adjustment (usage now under this or lower thresholds) are handled
    // in turn; they are downward, and only upward crossings adjust, so this ends.
    std::deque<Crossing> crossings(quota.crossings.begin(), quota.crossings.end());
    while (!crossings.empty()) {
        Crossing crossing = crossings.front();
        crossings.pop_front();
        int n = crossing.threshold;
        bool fires = crossing.upward ? firing.record.Actions[n - 1].IsPolicyFlagSet(PolAbove)
                                     : firing.record.IsAttributeSet(AttrBelow(n));
        if (!fires)
            continue;
        if (crossing.upward) {
            AdjustmentOutcome adjustment = AdjustQuota(client, firing.record, n);
            if (!adjustment.text.empty() &&
                (auditing || adjustment.level != EVENTLOG_INFORMATION_TYPE))
                log.Write(adjustment.level,
                          ThresholdActions::Prefix(firing.record, n) + adjustment.text);
            // The usage against the adjusted quota, as the next pass would see it.
            if (adjustment.adjusted)
                for (const Crossing& next : table.Update(firing.record))
                    crossings.push_back(next);
        }
        firing.threshold = n;
        firing.upward = crossing.upward;
        Queue(firing);
    }
}

void PolicyService::ActionLoop(ThresholdActions& actions) {
    for (;;) {
        Firing firing;
        {
            std::unique_lock<std::mutex> hold(m_lock);
            m_wake.wait(hold, [this] { return m_stopping || !m_firings.empty(); });
            // Crossings already counted are carried out before the service stops.
            if (m_firings.empty())
                return;
            firing = std::move(m_firings.front());
            m_firings.pop_front();
        }
        actions.CarryOut(firing);
    }
}

DWORD PolicyService::Run(HANDLE stopEvent, const std::function<void()>& running) {
    Winsock winsock;
    bool auditing = AuditingSwitchOn("PolicyAuditing");
    EventLog log("AXPolicy", m_folder + "\\AXPolicy.log");
    CrossingTable table(m_folder + "\\crossings.dat");
    if (DWORD error = table.Load(); error != ERROR_SUCCESS)
        log.Write(EVENTLOG_ERROR_TYPE, "The crossing state in " + m_folder +
                                           " could not be read; every threshold counts as not "
                                           "reached: " +
                                           DescribeError(error));
    ThresholdActions actions(log, auditing, m_folder, stopEvent);
    std::thread worker([this, &actions] { ActionLoop(actions); });
    running();
    log.Write(EVENTLOG_INFORMATION_TYPE,
              std::string("AXPolicy started; auditing is ") + (auditing ? "on." : "off."));

    bool saveFailed = false;
    auto save = [&] {
        DWORD error = table.Save();
        if (error != ERROR_SUCCESS && !saveFailed)
            log.Write(EVENTLOG_ERROR_TYPE, "The crossing state could not be saved in " + m_folder +
                                               ": " + DescribeError(error));
        saveFailed = error != ERROR_SUCCESS;
    };
    AXCli client;
    bool connected = false, waitingLogged = false;
    DWORD wait = 0;
    while (WaitForSingleObject(stopEvent, wait) == WAIT_TIMEOUT) {
        if (!connected) {
            connected = client.Connect("") == kAxOk;
            if (!connected) {
                if (!waitingLogged)
                    log.Write(EVENTLOG_WARNING_TYPE,
                              "AXServer does not answer; AXPolicy waits for it.");
                waitingLogged = true;
                wait = kReconnectMs;
                continue;
            }
            if (waitingLogged)
                log.Write(EVENTLOG_INFORMATION_TYPE, "AXServer answers; AXPolicy goes to work.");
            waitingLogged = false;
        }
        wait = kPollMs;
        std::vector<Pending> pending;
        if (!Pass(client, table, pending)) {
            client.Disconnect();
            connected = false;
            wait = 0;
            continue;
        }
        // The state is on disk before the actions run: a crash never repeats a crossing.
        save();
        for (Pending& quota : pending)
            Fire(client, table, log, auditing, quota);
        save();
    }
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_stopping = true;
        m_wake.notify_one();
    }
    worker.join();
    log.Write(EVENTLOG_INFORMATION_TYPE, "AXPolicy stopped.");
    return ERROR_SUCCESS;
}
