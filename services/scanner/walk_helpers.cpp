#include "services/scanner/walk_helpers.h"

#include "services/scanner/walk_protocol.h"

namespace {

// How long a helper may take to end once asked, and once terminated.
constexpr DWORD kEndWaitMs = 2000;

// The inheritance list of a process to be created: exactly the handles given.
class InheritedHandles {
public:
    explicit InheritedHandles(std::vector<HANDLE> handles) : m_handles(std::move(handles)) {
        SIZE_T size = 0;
        InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
        m_buffer.resize(size);
        auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(m_buffer.data());
        if (!InitializeProcThreadAttributeList(list, 1, 0, &size))
            return;
        m_list = list;
        if (!UpdateProcThreadAttribute(m_list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST,
                                       m_handles.data(), m_handles.size() * sizeof(HANDLE), nullptr,
                                       nullptr))
            m_valid = false;
    }
    ~InheritedHandles() {
        if (m_list)
            DeleteProcThreadAttributeList(m_list);
    }
    InheritedHandles(const InheritedHandles&) = delete;
    InheritedHandles& operator=(const InheritedHandles&) = delete;

    LPPROC_THREAD_ATTRIBUTE_LIST List() const { return m_valid ? m_list : nullptr; }

private:
    std::vector<HANDLE> m_handles;
    std::vector<char> m_buffer;
    LPPROC_THREAD_ATTRIBUTE_LIST m_list = nullptr;
    bool m_valid = true;
};

base::UniqueHandleKernel KillOnCloseJob() {
    base::UniqueHandleKernel job(CreateJobObjectA(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags =
        JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_DIE_ON_UNHANDLED_EXCEPTION;
    if (job && !SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation, &limits,
                                        sizeof limits))
        job.Reset();
    return job;
}

} // namespace

WalkHelper::WalkHelper(base::UniqueHandleKernel process, DWORD id, base::UniqueHandleKernel input,
                       base::UniqueHandleKernel output)
    : m_process(std::move(process)), m_id(id), m_input(std::move(input)),
      m_output(std::move(output)) {}

WalkHelper::~WalkHelper() {
    m_input.Reset();
    m_output.Reset();
    if (m_failed || WaitForSingleObject(m_process.Get(), kEndWaitMs) != WAIT_OBJECT_0) {
        TerminateProcess(m_process.Get(), 1);
        WaitForSingleObject(m_process.Get(), kEndWaitMs);
    }
}

bool WalkHelper::Send(const std::vector<std::string>& folders, uint32_t budget) {
    m_failed = m_failed || !WriteWalkRequest(m_input.Get(), folders, budget);
    return !m_failed;
}

bool WalkHelper::Receive(WalkTotals& totals, std::vector<std::string>& left) {
    m_failed = m_failed || !ReadWalkReply(m_output.Get(), totals, left);
    return !m_failed;
}

WalkHelpers::WalkHelpers(std::string program, unsigned count)
    : m_program(std::move(program)), m_count(count), m_job(KillOnCloseJob()) {}

WalkHelpers::~WalkHelpers() {
    for (auto& helper : m_idle)
        helper->AskToEnd();
    m_idle.clear();
}

WalkHelpers::Lease::~Lease() {
    m_pool->GiveBack(m_helpers);
}

WalkHelpers::Lease WalkHelpers::Borrow() {
    std::vector<std::unique_ptr<WalkHelper>> lent;
    unsigned toStart = 0;
    {
        std::lock_guard lock(m_lock);
        lent.swap(m_idle);
        if (!m_unavailable)
            toStart = m_count - m_running;
        m_running += toStart;
    }
    for (unsigned started = 0; started < toStart; ++started) {
        std::unique_ptr<WalkHelper> helper = Start();
        if (!helper) {
            std::lock_guard lock(m_lock);
            m_running -= toStart - started;
            m_unavailable = true;
            break;
        }
        lent.push_back(std::move(helper));
    }
    return Lease(this, std::move(lent));
}

void WalkHelpers::GiveBack(std::vector<std::unique_ptr<WalkHelper>>& helpers) {
    std::vector<std::unique_ptr<WalkHelper>> failed;
    {
        std::lock_guard lock(m_lock);
        for (auto& helper : helpers) {
            if (helper->Failed()) {
                failed.push_back(std::move(helper));
                --m_running;
            } else {
                m_idle.push_back(std::move(helper));
            }
        }
    }
    helpers.clear();
}

std::unique_ptr<WalkHelper> WalkHelpers::Start() {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    base::UniqueHandleKernel childInput, input, output, childOutput;
    if (!CreatePipe(childInput.Put(), input.Put(), &inheritable, 0) ||
        !CreatePipe(output.Put(), childOutput.Put(), &inheritable, 0))
        return nullptr;
    SetHandleInformation(input.Get(), HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(output.Get(), HANDLE_FLAG_INHERIT, 0);
    // Only the child's ends go to the helper: a helper holding another's pipe would keep that
    // one from seeing its input end.
    InheritedHandles inherited({childInput.Get(), childOutput.Get()});
    if (!inherited.List())
        return nullptr;
    STARTUPINFOEXA startup{};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdInput = childInput.Get();
    startup.StartupInfo.hStdOutput = childOutput.Get();
    startup.lpAttributeList = inherited.List();
    std::string command = "\"" + m_program + "\"";
    PROCESS_INFORMATION created{};
    if (!CreateProcessA(m_program.c_str(), command.data(), nullptr, nullptr, TRUE,
                        DETACHED_PROCESS | CREATE_SUSPENDED | EXTENDED_STARTUPINFO_PRESENT, nullptr,
                        nullptr, &startup.StartupInfo, &created))
        return nullptr;
    base::UniqueHandleKernel process(created.hProcess), thread(created.hThread);
    // Fails where this process is in a job that allows no other (Windows 7); the input pipe
    // still ends the helper with us.
    if (m_job)
        AssignProcessToJobObject(m_job.Get(), process.Get());
    ResumeThread(thread.Get());
    return std::make_unique<WalkHelper>(std::move(process), created.dwProcessId, std::move(input),
                                        std::move(output));
}
