// Devices, folders and names as the quota service reports them from the file system.
#include "quota_service.h"

#include <gtest/gtest.h>

namespace {

class ServiceDevices : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(0u, client.Connect("")); }
    AXCli client;
};

TEST(ServiceConnection, LocalComputerByAnyOfItsNames) {
    const std::string name = ComputerName();
    std::string lower = name;
    for (char& c : lower)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    for (std::string server : {std::string(), name, lower, "\\\\" + name, "\\\\" + lower}) {
        AXCli client;
        EXPECT_EQ(0u, client.Connect(server.c_str())) << server;
    }
    AXCli remote;
    EXPECT_NE(0u, remote.Connect("\\\\NO-SUCH-COMPUTER-HERE"));
}

// The devices and their types as the folder chooser lists them are worked through its tests; here
// the requests it never makes.
TEST_F(ServiceDevices, RequestsForDevicesRefuseSmallBuffersAndUnknownDrives) {
    char tiny[3];
    EXPECT_EQ(static_cast<uint32_t>(ERROR_INSUFFICIENT_BUFFER),
              client.GetDevices(tiny, sizeof tiny));
    unsigned long type = 0;
    EXPECT_EQ(static_cast<uint32_t>(ERROR_INVALID_DRIVE), client.GetDriveAttributes("Q:\\", &type));
    EXPECT_EQ(static_cast<uint32_t>(ERROR_INVALID_NAME),
              client.GetDriveAttributes("nonsense", &type));
}

TEST_F(ServiceDevices, ObjectNamesSplitAndMap) {
    char device[64] = {}, file[260] = {};
    ASSERT_EQ(0u, client.ParseDeviceFile(device, file, "c:\\Data\\Sales\\", nullptr));
    EXPECT_STREQ("C:", device);
    EXPECT_STREQ("\\Data\\Sales", file);
    ASSERT_EQ(0u, client.ParseDeviceFile(device, file, "C:", nullptr));
    EXPECT_STREQ("\\", file);
    EXPECT_EQ(static_cast<uint32_t>(ERROR_INVALID_DRIVE),
              client.ParseDeviceFile(device, file, "Q:\\x", nullptr));
    EXPECT_EQ(static_cast<uint32_t>(ERROR_INVALID_NAME),
              client.ParseDeviceFile(device, file, "\\\\server\\share", nullptr));

    char object[260] = {};
    char target[MAX_PATH] = {};
    ASSERT_NE(0u, QueryDosDeviceA("C:", target, sizeof target));
    std::string mapped = std::string(target) + "\\Data";
    ASSERT_EQ(0u, client.ParseObjectName(mapped.c_str(), sizeof object, object, nullptr, nullptr));
    EXPECT_STREQ("C:\\Data", object);
    ASSERT_EQ(0u,
              client.ParseObjectName("\\??\\C:\\Data", sizeof object, object, nullptr, nullptr));
    EXPECT_STREQ("C:\\Data", object);
    char small[4];
    EXPECT_EQ(static_cast<uint32_t>(ERROR_INSUFFICIENT_BUFFER),
              client.ParseObjectName("C:\\Data", sizeof small, small, nullptr, nullptr));
}

} // namespace
