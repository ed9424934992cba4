// The quota service under bad requests, several clients and a crash.
#include "quota_service.h"

#include "base/handles.h"
#include "client/wire_protocol.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

namespace {

constexpr char kPipe[] = "\\\\.\\pipe\\AXServer";

// A connection that writes whatever bytes a test wants onto the service's pipe.
class RawPipe {
public:
    RawPipe() {
        // Waits while every instance is busy, as the client library does.
        for (int attempt = 0; attempt < 100; ++attempt) {
            m_pipe.Reset(CreateFileA(kPipe, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                     0, nullptr));
            if (m_pipe || GetLastError() != ERROR_PIPE_BUSY)
                break;
            WaitNamedPipeA(kPipe, 100);
        }
    }
    bool IsOpen() const { return static_cast<bool>(m_pipe); }
    bool Send(const void* data, size_t size) {
        DWORD written = 0;
        return WriteFile(m_pipe.Get(), data, static_cast<DWORD>(size), &written, nullptr) &&
               written == size;
    }
    // Reads one response header; false when the pipe is closed.
    bool Receive(wire::ResponseHeader& header, std::vector<uint8_t>& payload) {
        if (!ReadExactly(&header, sizeof header))
            return false;
        payload.resize(header.length);
        return header.length == 0 || ReadExactly(payload.data(), payload.size());
    }
    // True once the service has closed its end.
    bool IsClosedByService() {
        char byte;
        DWORD read = 0;
        return !ReadFile(m_pipe.Get(), &byte, 1, &read, nullptr);
    }

    // True when the service has already closed its end (does not wait).
    bool IsClosedNow() {
        return !PeekNamedPipe(m_pipe.Get(), nullptr, 0, nullptr, nullptr, nullptr);
    }

private:
    bool ReadExactly(void* data, size_t size) {
        char* bytes = static_cast<char*>(data);
        while (size > 0) {
            DWORD read = 0;
            if (!ReadFile(m_pipe.Get(), bytes, static_cast<DWORD>(size), &read, nullptr) ||
                read == 0)
                return false;
            bytes += read;
            size -= read;
        }
        return true;
    }
    base::UniqueFile m_pipe;
};

// The service still answers an ordinary client.
void ExpectServiceAnswers() {
    AXCli client;
    ASSERT_EQ(0u, client.Connect(""));
    char devices[260];
    EXPECT_EQ(0u, client.GetDevices(devices, sizeof devices));
}

struct BadRequest {
    const char* what;
    wire::RequestHeader header;
    std::vector<uint8_t> payload;
    uint32_t status;
};

// A well-formed header for `payload` of operation `op`.
wire::RequestHeader HeaderOf(wire::Op op, const std::vector<uint8_t>& payload) {
    return {wire::kMagic, wire::kVersion, static_cast<uint16_t>(op),
            static_cast<uint32_t>(payload.size())};
}

TEST(QuotaServiceRobustness, MalformedRequestsGetAnErrorAndTheirConnectionCloses) {
    std::vector<uint8_t> unterminated = {5, 0, 0, 0, 'C', ':', 'x', 'y', 'z'};
    std::vector<uint8_t> tooLong(4 + 300, 'a');
    tooLong[0] = 44;
    tooLong[1] = 1;
    tooLong[2] = tooLong[3] = 0;
    tooLong.back() = 0;
    std::vector<uint8_t> shortSave(16, 0);
    std::vector<uint8_t> zeroWanted = {0, 0, 0, 0};
    TestFolder folder("unterminated");
    AllotrixDbRec record = MakeRecord(folder, "", 1000);
    memset(record.Actions[1].ReportSet, 'x', sizeof record.Actions[1].ReportSet);
    wire::Writer save;
    save.U32(1);
    save.Record(record);
    const BadRequest requests[] = {
        {"bad magic", {0x12345678, wire::kVersion, 1, 0}, {}, ERROR_INVALID_DATA},
        {"newer version", {wire::kMagic, 99, 1, 0}, {}, ERROR_INVALID_DATA},
        {"unknown operation", {wire::kMagic, wire::kVersion, 999, 0}, {}, ERROR_INVALID_FUNCTION},
        {"oversized",
         {wire::kMagic, wire::kVersion, 1, wire::kMaxRequestPayload + 1},
         {},
         ERROR_BAD_LENGTH},
        {"unterminated string", HeaderOf(wire::Op::GetDriveAttributes, unterminated), unterminated,
         ERROR_INVALID_DATA},
        {"string over its field", HeaderOf(wire::Op::GetDriveAttributes, tooLong), tooLong,
         ERROR_INVALID_DATA},
        {"truncated record", HeaderOf(wire::Op::SaveRecord, shortSave), shortSave,
         ERROR_INVALID_DATA},
        {"record with unterminated text", HeaderOf(wire::Op::SaveRecord, save.Data()), save.Data(),
         ERROR_INVALID_DATA},
        {"empty batch", HeaderOf(wire::Op::EnumNext, zeroWanted), zeroWanted, ERROR_INVALID_DATA},
    };
    AXCli bystander;
    ASSERT_EQ(0u, bystander.Connect(""));
    for (const BadRequest& request : requests) {
        RawPipe pipe;
        ASSERT_TRUE(pipe.IsOpen()) << request.what;
        ASSERT_TRUE(pipe.Send(&request.header, sizeof request.header)) << request.what;
        if (!request.payload.empty()) {
            ASSERT_TRUE(pipe.Send(request.payload.data(), request.payload.size()));
        }
        wire::ResponseHeader response{};
        std::vector<uint8_t> payload;
        ASSERT_TRUE(pipe.Receive(response, payload)) << request.what;
        EXPECT_EQ(request.status, response.status) << request.what;
        EXPECT_TRUE(pipe.IsClosedByService()) << request.what;
        // The client that was connected all along is served on.
        char devices[260];
        EXPECT_EQ(0u, bystander.GetDevices(devices, sizeof devices)) << request.what;
    }
    AllotrixBaseDbRec listed;
    EXPECT_FALSE(FindListed(bystander, folder, "", listed)) << "the refused record was stored";
}

TEST(QuotaServiceRobustness, ClientsThatVanishMidRequestOrEnumerationLeaveNothingBehind) {
    TestFolder folder("vanish");
    AXCli setup;
    ASSERT_EQ(0u, setup.Connect(""));
    for (const char* owner : {"", "Administrators", "Users"}) {
        AllotrixDbRec record = MakeRecord(folder, owner, 1000);
        ASSERT_EQ(0u, setup.Save(&record, 0));
    }
    for (int round = 0; round < 30; ++round) {
        {
            AXCli client;
            ASSERT_EQ(0u, client.Connect(""));
            AllotrixBaseDbRec record;
            ASSERT_EQ(0u, client.EndContext());
            ASSERT_EQ(0u, client.Get(&record, 1));
        } // gone in the middle of the enumeration
        {
            RawPipe pipe; // gone after half a request
            wire::RequestHeader header{wire::kMagic, wire::kVersion,
                                       static_cast<uint16_t>(wire::Op::GetRecord), 100};
            pipe.Send(&header, sizeof header);
            pipe.Send("C:", 2);
        }
    }
    ExpectServiceAnswers();
    // The setup client's own enumeration is untouched by all of it.
    EXPECT_GE(ListAll(setup).size(), 3u);
}

TEST(QuotaServiceRobustness, IdleAndSlowClientsCannotKeepAnotherClientOut) {
    // More silent connections than the service has sessions, and some that stop in the middle
    // of a header.
    std::vector<std::unique_ptr<RawPipe>> flood;
    for (int i = 0; i < 70; ++i) {
        flood.push_back(std::make_unique<RawPipe>());
        ASSERT_TRUE(flood.back()->IsOpen()) << i;
        if (i % 10 == 0) {
            ASSERT_TRUE(flood.back()->Send("AXQP", 4));
        }
    }
    ExpectServiceAnswers();
    AXCli client;
    ASSERT_EQ(0u, client.Connect(""));
    EXPECT_EQ(0u, client.EndContext());
    ListAll(client);
    // The longest silent connection gave its session up.
    EXPECT_TRUE(flood[1]->IsClosedNow());
    EXPECT_FALSE(flood.back()->IsClosedNow());
}

TEST(QuotaServiceRobustness, ASecondServerCannotServeThePipe) {
    std::string other = std::string(kTestRoot) + "\\other-store";
    RemoveTree(other);
    EXPECT_EQ(1, RunServerProgram("-console -store " + other)) << "a second server started";
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(other.c_str())) << "its store was made";
    ExpectServiceAnswers();
}

TEST(QuotaServiceRobustness, FolderRequestsStayOutOfTheStoreNameNoParentAndExist) {
    AXCli client;
    ASSERT_EQ(0u, client.Connect(""));
    std::string store = kTestStore;
    struct Case {
        std::string folder;
        uint32_t status;
    };
    const Case listings[] = {
        {store, ERROR_ACCESS_DENIED},
        {store + "\\", ERROR_ACCESS_DENIED},
        {std::string(kTestRoot) + "\\..\\kelvane-test\\store", ERROR_INVALID_NAME},
        {std::string(kTestRoot) + "\\..", ERROR_INVALID_NAME},
    };
    for (const Case& listing : listings) {
        AXServerCommunicationFileRec entry;
        int first = 1;
        EXPECT_EQ(listing.status, client.GetFiles(listing.folder.c_str(), &entry, &first))
            << listing.folder;
    }
    std::string inside = store + "\\made-by-a-client";
    EXPECT_EQ(uint32_t{ERROR_ACCESS_DENIED}, client.CreateDir(inside.data()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(inside.c_str()));
    AXServerCommunicationFileRec entry;
    int first = 1;
    EXPECT_EQ(0u, client.GetFiles(kTestRoot, &entry, &first)) << "other folders are listed";
    first = 1;
    EXPECT_NE(0u, client.GetFiles((store + "-absent").c_str(), &entry, &first));
    std::string noDrive = "Q:\\new";
    EXPECT_EQ(uint32_t{ERROR_INVALID_DRIVE}, client.CreateDir(noDrive.data()));
}

TEST(QuotaServiceRobustness, TwoClientsEnumerateWhileAThirdSaves) {
    TestFolder folder("concurrent");
    AXCli setup;
    ASSERT_EQ(0u, setup.Connect(""));
    AllotrixDbRec object = MakeRecord(folder, "", 1000);
    ASSERT_EQ(0u, setup.Save(&object, 0));
    size_t before = ListAll(setup).size();

    std::atomic<bool> stop{false};
    std::atomic<int> saves{0};
    std::thread writer([&] {
        AXCli client;
        if (client.Connect("") != 0)
            return;
        while (!stop) {
            AllotrixDbRec record = MakeRecord(folder, "", 1000 + saves);
            if (client.Save(&record, 0) == 0)
                ++saves;
        }
    });
    AXCli first, second;
    ASSERT_EQ(0u, first.Connect(""));
    ASSERT_EQ(0u, second.Connect(""));
    // At least five rounds, and on until the writer has saved while the others enumerate.
    for (int round = 0; round < 5 || (saves == 0 && round < 1000); ++round) {
        ASSERT_EQ(0u, first.EndContext());
        ASSERT_EQ(0u, second.EndContext());
        size_t countFirst = 0, countSecond = 0;
        uint32_t statusFirst = 0, statusSecond = 0;
        AllotrixBaseDbRec record;
        while (statusFirst != kAxNoMoreRecords || statusSecond != kAxNoMoreRecords) {
            if (statusFirst != kAxNoMoreRecords && (statusFirst = first.Get(&record, 1)) == 0)
                ++countFirst;
            if (statusSecond != kAxNoMoreRecords && (statusSecond = second.Get(&record, 1)) == 0)
                ++countSecond;
            ASSERT_TRUE(statusFirst == 0 || statusFirst == kAxNoMoreRecords ||
                        statusFirst == kAxSkipRecord);
            ASSERT_TRUE(statusSecond == 0 || statusSecond == kAxNoMoreRecords ||
                        statusSecond == kAxSkipRecord);
        }
        EXPECT_EQ(before, countFirst);
        EXPECT_EQ(before, countSecond);
    }
    stop = true;
    writer.join();
    EXPECT_GT(saves.load(), 0);
}

TEST(QuotaServiceRobustness, AcknowledgedSavesSurviveTheServiceBeingKilled) {
    TestFolder folder("durable");
    std::vector<std::string> owners = {"Administrators", "Users",       "Guests",
                                       "Everyone",       "Power Users", "Backup Operators"};
    std::atomic<int> acknowledged{0};
    std::atomic<bool> stop{false};
    StopServices();
    ForegroundServer crashing;
    ASSERT_TRUE(crashing.IsServing());
    std::thread writer([&] {
        AXCli client;
        if (client.Connect("") != 0)
            return;
        for (int i = 0; !stop; ++i) {
            AllotrixDbRec record = MakeRecord(folder, owners[i % owners.size()], 1'000'000 + i);
            record.SetThreshPercent1(static_cast<uint8_t>(i % 200));
            if (client.Save(&record, 1) != 0)
                break;
            acknowledged = i + 1;
        }
    });
    DWORD start = GetTickCount();
    while (acknowledged < 20 && GetTickCount() - start < 20000)
        Sleep(5);
    crashing.Kill(); // in the middle of the saves
    stop = true;
    writer.join();
    int saved = acknowledged;
    ASSERT_GE(saved, 20);
    // The store left by the crash opens, in the service too.
    EnsureServicesRunning();

    AXCli client;
    ASSERT_EQ(0u, client.Connect(""));
    // Every owner's record holds at least the last value acknowledged for it.
    std::string device = folder.Device(), file = folder.File();
    for (int i = saved - static_cast<int>(owners.size()); i < saved; ++i) {
        std::string& owner = owners[i % owners.size()];
        AllotrixDbRec read;
        ASSERT_EQ(0u, client.Get(&read, device.data(), file.data(), owner.data(), 0)) << owner;
        EXPECT_GE(read.GetPermQuota(), 1'000'000u + i) << owner;
    }
}

} // namespace
