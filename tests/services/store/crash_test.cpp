// Durability when the writing process is killed: a child process (this program started with
// --save-loop) saves and deletes records as fast as it can and reports each acknowledged change
// on its standard output; the test kills it at a random moment, then checks that the store opens
// and holds exactly the acknowledged changes (plus, at most, the one change in flight).
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <thread>

#include "services/store/quota_store.h"
#include "store_test_support.h"
#include "temp_folder.h"
#include "ui/handles.h"

namespace {

constexpr int kKeys = 24;

// Operation n of the loop: which key it touches and whether it saves or deletes.
struct Operation {
    int key;
    bool remove;
};

Operation OperationNumber(uint64_t n) {
    uint64_t mixed = (n + 1) * 0x9E3779B97F4A7C15ull;
    mixed ^= mixed >> 29;
    return {static_cast<int>(mixed % kKeys), (mixed >> 8) % 5 == 0};
}

std::string KeyFile(int key) {
    return "\\Share\\folder" + std::to_string(key % 8);
}
std::string KeyOwner(int key) {
    return key < 8 ? "" : "HOST\\user" + std::to_string(key);
}

// The permanent quota each key holds, absent when deleted or never saved.
using Model = std::map<int, uint64_t>;

void Apply(Model& model, uint64_t n) {
    Operation op = OperationNumber(n);
    if (op.remove)
        model.erase(op.key);
    else
        model[op.key] = n;
}

Model ReadModel(QuotaStore& store) {
    Model model;
    for (int key = 0; key < kKeys; ++key) {
        AllotrixDbRec found;
        if (store.Find("C:", KeyFile(key).c_str(), KeyOwner(key).c_str(), found)) {
            model[key] = found.GetPermQuota();
            AllotrixDbRec expected =
                MakeRecord(KeyFile(key).c_str(), KeyOwner(key).c_str(), found.GetPermQuota());
            expected.SetRecordId(found.GetRecordId());
            EXPECT_TRUE(SameBytes(expected, found)) << "key " << key;
        }
    }
    return model;
}

std::string Describe(const Model& model) {
    std::ostringstream text;
    for (const auto& [key, value] : model)
        text << key << "=" << value << " ";
    return text.str();
}

// Runs the save loop of a child process; never returns normally.
int SaveLoop(const std::string& folder, uint64_t first) {
    QuotaStore store;
    if (store.Open(folder) != 0)
        return 2;
    store.SetCompactionThreshold(64 * 1024); // compactions happen while the test kills us
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    for (uint64_t n = first;; ++n) {
        Operation op = OperationNumber(n);
        DWORD result;
        if (op.remove) {
            result = store.Delete("C:", KeyFile(op.key).c_str(), KeyOwner(op.key).c_str());
            if (result == ERROR_FILE_NOT_FOUND)
                result = 0;
        } else {
            AllotrixDbRec record = MakeRecord(KeyFile(op.key).c_str(), KeyOwner(op.key).c_str(), n);
            result = store.Save(record);
        }
        if (result != 0)
            return 3;
        std::string line = std::to_string(n) + "\n";
        DWORD written;
        WriteFile(out, line.data(), DWORD(line.size()), &written, nullptr);
    }
}

// A child running the save loop, whose acknowledgements are collected by a reader thread.
class SaveLoopChild {
public:
    SaveLoopChild(const std::string& folder, uint64_t first) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        ui::UniqueFile write;
        HANDLE readEnd = nullptr, writeEnd = nullptr;
        CreatePipe(&readEnd, &writeEnd, &inherit, 0);
        m_read.Reset(readEnd);
        write.Reset(writeEnd);
        SetHandleInformation(m_read.Get(), HANDLE_FLAG_INHERIT, 0);
        char program[MAX_PATH];
        GetModuleFileNameA(nullptr, program, MAX_PATH);
        std::string command = "\"" + std::string(program) + "\" --save-loop \"" + folder + "\" " +
                              std::to_string(first);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = write.Get();
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        PROCESS_INFORMATION process{};
        if (CreateProcessA(program, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                           &startup, &process)) {
            m_process.Reset(process.hProcess);
            CloseHandle(process.hThread);
        }
        write.Reset(); // the child's end closes when it dies
        m_reader = std::thread([this] { ReadAcknowledgements(); });
    }
    ~SaveLoopChild() {
        Kill();
        m_reader.join();
    }
    SaveLoopChild(const SaveLoopChild&) = delete;
    SaveLoopChild& operator=(const SaveLoopChild&) = delete;

    bool Started() const { return bool(m_process); }
    uint64_t Acknowledged() const { return m_acknowledged; }
    bool AnyAcknowledged() const { return m_any; }
    DWORD ExitCode() const {
        DWORD code = 0;
        GetExitCodeProcess(m_process.Get(), &code);
        return code;
    }
    void Kill() {
        if (m_process) {
            TerminateProcess(m_process.Get(), 99);
            WaitForSingleObject(m_process.Get(), 10000);
        }
    }
    void WaitForReader() {
        m_reader.join();
        m_reader = std::thread([] {});
    }

private:
    void ReadAcknowledgements() {
        std::string pending;
        char buffer[4096];
        DWORD read = 0;
        while (ReadFile(m_read.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
            pending.append(buffer, read);
            size_t end;
            while ((end = pending.find('\n')) != std::string::npos) {
                m_acknowledged = std::stoull(pending.substr(0, end));
                m_any = true;
                pending.erase(0, end + 1);
            }
        }
    }

    ui::UniqueFile m_read;
    ui::UniqueHandleKernel m_process;
    std::atomic<uint64_t> m_acknowledged{0};
    std::atomic<bool> m_any{false};
    std::thread m_reader;
};

TEST(QuotaStoreCrash, EveryAcknowledgedChangeSurvivesTheWriterBeingKilled) {
    TempFolder temp("store-crash");
    std::string folder = temp / "store";
    std::mt19937 random(std::random_device{}());
    Model model;
    uint64_t next = 1;
    for (int round = 0; round < 8; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        uint64_t acknowledged;
        {
            SaveLoopChild child(folder, next);
            ASSERT_TRUE(child.Started());
            DWORD waited = 0;
            while (!child.AnyAcknowledged() && waited < 20000) {
                Sleep(5);
                waited += 5;
            }
            ASSERT_TRUE(child.AnyAcknowledged()) << "child exit code " << child.ExitCode();
            Sleep(std::uniform_int_distribution<DWORD>(0, 400)(random));
            child.Kill();
            child.WaitForReader();
            acknowledged = child.Acknowledged();
        }
        ASSERT_GE(acknowledged, next);
        for (uint64_t n = next; n <= acknowledged; ++n)
            Apply(model, n);
        Model withInFlight = model;
        Apply(withInFlight, acknowledged + 1);

        QuotaStore store;
        ASSERT_EQ(0u, store.Open(folder));
        Model stored = ReadModel(store);
        EXPECT_TRUE(stored == model || stored == withInFlight)
            << "acknowledged up to " << acknowledged << "\nexpected " << Describe(model)
            << "\nstored   " << Describe(stored);
        model = stored;
        next = acknowledged + 2;
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--save-loop")
        return SaveLoop(argv[2], std::stoull(argv[3]));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
