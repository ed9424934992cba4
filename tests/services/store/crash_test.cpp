// Durability when the writing process is killed: a child process (this program started with
// --save-loop) saves and deletes records as fast as it can and publishes the number of each
// acknowledged change in memory it shares with the test; the test kills it at a random moment,
// then checks that the store opens and holds exactly the acknowledged changes (plus, at most, the
// one change in flight).
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "services/store/quota_store.h"
#include "store_test_support.h"
#include "temp_folder.h"
#include "tools/child_process.h"
#include "base/handles.h"

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

// The number of the last change the child acknowledged, in memory the test shares with it.
struct Shared {
    volatile LONG64 acknowledged;
};

Shared* MapShared(HANDLE mapping) {
    return static_cast<Shared*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Shared)));
}

// Runs the save loop of a child process; never returns normally.
int SaveLoop(const std::string& folder, uint64_t first, const char* sharedName) {
    base::UniqueHandleKernel mapping(OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, sharedName));
    Shared* shared = mapping ? MapShared(mapping.Get()) : nullptr;
    QuotaStore store;
    if (!shared || store.Open(folder) != 0)
        return 2;
    store.SetCompactionThreshold(64 * 1024); // compactions happen while the test kills us
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
        InterlockedExchange64(&shared->acknowledged, LONG64(n));
    }
}

// Starts a child on the save loop from change `first`, kills it once it has acknowledged a
// change and a random moment more has passed; returns the last change it acknowledged (0: none).
uint64_t RunAndKillSaveLoop(const std::string& folder, uint64_t first, std::mt19937& random) {
    std::string name = "Local\\kelvane-crash-" + std::to_string(GetCurrentProcessId());
    base::UniqueHandleKernel mapping(CreateFileMappingA(
        INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(Shared), name.c_str()));
    Shared* shared = MapShared(mapping.Get());
    if (!shared)
        return 0;
    shared->acknowledged = 0;
    char program[MAX_PATH];
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::string command = "\"" + std::string(program) + "\" --save-loop \"" + folder + "\" " +
                          std::to_string(first) + " " + name;
    uint64_t acknowledged = 0;
    child_process::ChildProcess child;
    if (child.Start(command) == 0) {
        for (DWORD waited = 0; shared->acknowledged == 0 && waited < 20000; waited += 5) {
            if (child.WaitForEnd(5))
                break; // the child gave up
        }
        if (shared->acknowledged != 0)
            Sleep(std::uniform_int_distribution<DWORD>(0, 400)(random));
        child.Kill();
        acknowledged = uint64_t(shared->acknowledged);
    }
    UnmapViewOfFile(shared);
    return acknowledged;
}

TEST(QuotaStoreCrash, EveryAcknowledgedChangeSurvivesTheWriterBeingKilled) {
    TempFolder temp("store-crash");
    std::string folder = temp / "store";
    std::mt19937 random(std::random_device{}());
    Model model;
    uint64_t next = 1;
    for (int round = 0; round < 8; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        uint64_t acknowledged = RunAndKillSaveLoop(folder, next, random);
        ASSERT_GE(acknowledged, next) << "the child acknowledged nothing";
        for (uint64_t n = next; n <= acknowledged; ++n)
            Apply(model, n);
        Model withInFlight = model;
        Apply(withInFlight, acknowledged + 1);

        QuotaStore store;
        ASSERT_EQ(0u, store.Open(folder));
        Model stored = ReadModel(store);
        EXPECT_TRUE(stored == model || stored == withInFlight)
            << "acknowledged up to " << acknowledged << "\nexpected "
            << testing::PrintToString(model) << "\nstored   " << testing::PrintToString(stored);
        model = stored;
        next = acknowledged + 2;
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--save-loop")
        return SaveLoop(argv[2], std::stoull(argv[3]), argv[4]);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
