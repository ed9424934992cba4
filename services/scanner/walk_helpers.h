// Helper processes that walk folder trees for the usage scanner. Under Wine, listing folders is
// serialised within a process (docs/wine.md): walks in separate processes run side by side
// where threads of one process cannot.
//
// A helper runs the helper program (axscan.exe) with its standard input and output on pipes of
// ours and answers walk requests (walk_protocol.h). It ends when its input pipe closes, which
// also happens when our process ends in any way; each helper is moreover in a job object that
// ends it when the job's last handle closes. No helper outlives the pool's process.
#pragma once

#include <windows.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "services/scanner/folder_listing.h"
#include "base/handles.h"

class WalkHelper {
public:
    WalkHelper(base::UniqueHandleKernel process, DWORD id, base::UniqueHandleKernel input,
               base::UniqueHandleKernel output);
    ~WalkHelper(); // ends the process if it still runs
    WalkHelper(const WalkHelper&) = delete;
    WalkHelper& operator=(const WalkHelper&) = delete;

    // Asks the helper to walk `folders` for up to `budget` entries, then reads its answer: the
    // totals and the folders left unlisted. Once either fails the helper is of no further use.
    bool Send(const std::vector<std::string>& folders, uint32_t budget);
    bool Receive(WalkTotals& totals, std::vector<std::string>& left);
    bool Failed() const { return m_failed; }
    DWORD ProcessId() const { return m_id; }

    // Closes the helper's input, which asks it to end; the destructor then waits for it.
    void AskToEnd() { m_input.Reset(); }

private:
    base::UniqueHandleKernel m_process;
    DWORD m_id;
    base::UniqueHandleKernel m_input;  // the helper's standard input, written here
    base::UniqueHandleKernel m_output; // the helper's standard output, read here
    bool m_failed = false;
};

class WalkHelpers {
public:
    // Up to `count` helpers running `program`; none starts before the first Borrow.
    WalkHelpers(std::string program, unsigned count);
    ~WalkHelpers(); // ends every helper (none may be lent out by then)
    WalkHelpers(const WalkHelpers&) = delete;
    WalkHelpers& operator=(const WalkHelpers&) = delete;

    // Helpers lent to one walk, given back to the pool when the lease ends. A helper that failed
    // is ended then instead, and a new one may be started by a later Borrow.
    class Lease {
    public:
        Lease(WalkHelpers* pool, std::vector<std::unique_ptr<WalkHelper>> helpers)
            : m_pool(pool), m_helpers(std::move(helpers)) {}
        ~Lease();
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;

        const std::vector<std::unique_ptr<WalkHelper>>& Helpers() const { return m_helpers; }

    private:
        WalkHelpers* m_pool;
        std::vector<std::unique_ptr<WalkHelper>> m_helpers;
    };

    // Lends the idle helpers, starting those not yet running. None when all are lent, or when
    // the helper program could not be started (it is not tried again).
    Lease Borrow();

private:
    std::unique_ptr<WalkHelper> Start();
    void GiveBack(std::vector<std::unique_ptr<WalkHelper>>& helpers);

    const std::string m_program;
    const unsigned m_count;
    std::mutex m_lock;
    std::vector<std::unique_ptr<WalkHelper>> m_idle;
    unsigned m_running = 0; // idle and lent
    bool m_unavailable = false;
    base::UniqueHandleKernel m_job; // ends the helpers when it closes
};
