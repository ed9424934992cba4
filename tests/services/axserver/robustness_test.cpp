// The quota service under bad requests, hostile clients and a crash.
#include "quota_service.h"

#include "base/handles.h"
#include "client/wire_protocol.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

namespace {

// A connection that writes whatever bytes a test wants onto the service's pipe.
class RawPipe {
public:
    RawPipe() {
        // Waits while every instance is busy, as the client library does.
        const char* name = "\\\\.\\pipe\\AXServer";
        for (int attempt = 0; attempt < 100 && !m_pipe; ++attempt) {
            m_pipe.Reset(CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                     0, nullptr));
            if (!m_pipe && GetLastError() == ERROR_PIPE_BUSY)
                WaitNamedPipeA(name, 100);
        }
    }
    bool IsOpen() const { return static_cast<bool>(m_pipe); }
    bool Send(const void* data, size_t size) {
        DWORD written = 0;
        return WriteFile(m_pipe.Get(), data, static_cast<DWORD>(size), &written, nullptr) &&
               written == size;
    }
    // Reads what the service answers until it closes its end.
    std::vector<uint8_t> ReceiveUntilClosed() {
        std::vector<uint8_t> bytes;
        uint8_t buffer[4096];
        DWORD read = 0;
        while (ReadFile(m_pipe.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
            bytes.insert(bytes.end(), buffer, buffer + read);
        return bytes;
    }
    // True when the service has already closed its end (does not wait).
    bool IsClosedNow() {
        return !PeekNamedPipe(m_pipe.Get(), nullptr, 0, nullptr, nullptr, nullptr);
    }

private:
    base::UniqueFile m_pipe;
};

// The service still answers `client`.
void ExpectAnswers(AXCli& client) {
    char devices[260];
    EXPECT_EQ(0u, client.GetDevices(devices, sizeof devices));
}

TEST(QuotaServiceRobustness, MalformedRequestsGetAnErrorAndTheirConnectionCloses) {
    std::vector<uint8_t> unterminated = {5, 0, 0, 0, 'C', ':', 'x', 'y', 'z'};
    std::vector<uint8_t> tooLong(4 + 300, 'a');
    tooLong[0] = 44;
    tooLong[1] = 1;
    tooLong[2] = tooLong[3] = 0;
    tooLong.back() = 0;
    TestFolder folder("unterminated");
    AllotrixDbRec record = MakeRecord(folder, "", 1000);
    memset(record.Actions[1].ReportSet, 'x', sizeof record.Actions[1].ReportSet);
    wire::Writer save;
    save.U32(1);
    save.Record(record);
    auto header = [](wire::Op op) {
        return wire::RequestHeader{wire::kMagic, wire::kVersion, uint16_t(op), 0};
    };
    const struct {
        const char* what;
        wire::RequestHeader header; // the payload's length is added
        std::vector<uint8_t> payload;
        uint32_t status;
    } requests[] = {
        {"bad magic", {0x12345678, wire::kVersion, 1, 0}, {}, ERROR_INVALID_DATA},
        {"newer version", {wire::kMagic, 99, 1, 0}, {}, ERROR_INVALID_DATA},
        {"unknown operation", {wire::kMagic, wire::kVersion, 999, 0}, {}, ERROR_INVALID_FUNCTION},
        {"oversized",
         {wire::kMagic, wire::kVersion, 1, wire::kMaxRequestPayload + 1},
         {},
         ERROR_BAD_LENGTH},
        {"unterminated string", header(wire::Op::GetDriveAttributes), unterminated,
         ERROR_INVALID_DATA},
        {"string over its field", header(wire::Op::GetDriveAttributes), tooLong,
         ERROR_INVALID_DATA},
        {"truncated record", header(wire::Op::SaveRecord), std::vector<uint8_t>(16, 0),
         ERROR_INVALID_DATA},
        {"record with unterminated text", header(wire::Op::SaveRecord), save.Data(),
         ERROR_INVALID_DATA},
        {"empty batch", header(wire::Op::EnumNext), {0, 0, 0, 0}, ERROR_INVALID_DATA},
    };
    AXCli bystander;
    ASSERT_EQ(0u, bystander.Connect(""));
    for (const auto& request : requests) {
        wire::RequestHeader header = request.header;
        header.length += uint32_t(request.payload.size());
        RawPipe pipe;
        ASSERT_TRUE(pipe.IsOpen()) << request.what;
        ASSERT_TRUE(pipe.Send(&header, sizeof header)) << request.what;
        if (!request.payload.empty()) {
            ASSERT_TRUE(pipe.Send(request.payload.data(), request.payload.size()));
        }
        std::vector<uint8_t> answer = pipe.ReceiveUntilClosed();
        wire::ResponseHeader response{};
        ASSERT_LE(sizeof response, answer.size()) << request.what;
        memcpy(&response, answer.data(), sizeof response);
        EXPECT_EQ(request.status, response.status) << request.what;
        ExpectAnswers(bystander); // the client connected all along is served on
    }
    AllotrixBaseDbRec listed;
    EXPECT_FALSE(FindListed(bystander, folder, "", listed)) << "the refused record was stored";
}

TEST(QuotaServiceRobustness, ClientsThatVanishStallOrFloodTheServiceCannotKeepAnotherOut) {
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
            AllotrixBaseDbRec record;
            ASSERT_EQ(0u, client.Connect(""));
            ASSERT_EQ(0u, client.EndContext());
            ASSERT_EQ(0u, client.Get(&record, 1));
        }             // gone in the middle of the enumeration
        RawPipe pipe; // gone after half a request
        wire::RequestHeader header{wire::kMagic, wire::kVersion,
                                   static_cast<uint16_t>(wire::Op::GetRecord), 100};
        pipe.Send(&header, sizeof header);
        pipe.Send("C:", 2);
    }
    EXPECT_GE(ListAll(setup).size(), 3u);

    // More silent connections than the service has sessions, and some that stop in the middle of
    // a header: the longest silent one gives its session up.
    std::vector<std::unique_ptr<RawPipe>> flood;
    for (int i = 0; i < 70; ++i) {
        flood.push_back(std::make_unique<RawPipe>());
        ASSERT_TRUE(flood.back()->IsOpen()) << i;
        if (i % 10 == 0) {
            ASSERT_TRUE(flood.back()->Send("AXQP", 4));
        }
    }
    AXCli client;
    ASSERT_EQ(0u, client.Connect(""));
    ExpectAnswers(client);
    ListAll(client);
    EXPECT_TRUE(flood[1]->IsClosedNow());
    EXPECT_FALSE(flood.back()->IsClosedNow());
}

TEST(QuotaServiceRobustness, ASecondServerCannotServeThePipe) {
    std::string other = std::string(kTestRoot) + "\\other-store";
    RemoveTree(other);
    EXPECT_EQ(1, RunServerProgram("-console -store " + other)) << "a second server started";
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(other.c_str())) << "its store was made";
    AXCli client;
    ASSERT_EQ(0u, client.Connect(""));
    ExpectAnswers(client);
}

TEST(QuotaServiceRobustness, FolderRequestsStayOutOfTheStoreNameNoParentAndExist) {
    AXCli client;
    ASSERT_EQ(0u, client.Connect(""));
    const std::string store = kTestStore, root = kTestRoot;
    const std::pair<std::string, uint32_t> listings[] = {
        {store, ERROR_ACCESS_DENIED},
        {store + "\\", ERROR_ACCESS_DENIED},
        {root + "\\..\\kelvane-test\\store", ERROR_INVALID_NAME},
        {root + "\\..", ERROR_INVALID_NAME},
        {store + "-absent", ERROR_PATH_NOT_FOUND},
        {root, 0},
    };
    for (const auto& [folder, status] : listings) {
        AXServerCommunicationFileRec entry;
        int first = 1;
        EXPECT_EQ(status, client.GetFiles(folder.c_str(), &entry, &first)) << folder;
    }
    std::string inside = store + "\\made-by-a-client", noDrive = "Q:\\new";
    EXPECT_EQ(uint32_t{ERROR_ACCESS_DENIED}, client.CreateDir(inside.data()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(inside.c_str()));
    EXPECT_EQ(uint32_t{ERROR_INVALID_DRIVE}, client.CreateDir(noDrive.data()));
}

TEST(QuotaServiceRobustness, AcknowledgedSavesSurviveTheServiceBeingKilled) {
    TestFolder folder("durable");
    std::string owners[] = {"Administrators", "Users", "Guests", "Everyone", "Power Users"};
    std::atomic<int> acknowledged{0};
    std::atomic<bool> stop{false};
    StopServices();
    ForegroundServer crashing;
    ASSERT_TRUE(crashing.IsServing());
    std::thread writer([&] {
        AXCli client;
        const bool connected = client.Connect("") == 0;
        for (int i = 0; connected && !stop; ++i) {
            AllotrixDbRec record = MakeRecord(folder, owners[i % 5], 1'000'000 + i);
            record.SetThreshPercent1(static_cast<uint8_t>(i % 200));
            if (client.Save(&record, 1) != 0)
                break;
            acknowledged = i + 1;
        }
    });
    for (DWORD start = GetTickCount(); acknowledged < 20 && GetTickCount() - start < 20000;)
        Sleep(5);
    crashing.Kill(); // in the middle of the saves
    stop = true;
    writer.join();
    const int saved = acknowledged;
    ASSERT_GE(saved, 20);
    EnsureServicesRunning(); // the store left by the crash opens

    // Every owner's record holds at least the last value acknowledged for it.
    AXCli client;
    ASSERT_EQ(0u, client.Connect(""));
    std::string device = folder.Device(), file = folder.File();
    for (int i = saved - 5; i < saved; ++i) {
        AllotrixDbRec read;
        std::string& owner = owners[i % 5];
        ASSERT_EQ(0u, client.Get(&read, device.data(), file.data(), owner.data(), 0)) << owner;
        EXPECT_GE(read.GetPermQuota(), 1'000'000u + i) << owner;
    }
}

} // namespace
