// The computer, devices and object names as the quota service reports them from the file system.
#include "quota_service.h"

#include <gtest/gtest.h>

namespace {

TEST(ServiceNames, TheComputerByAnyOfItsNamesDevicesAndObjectNames) {
    std::string name = ComputerName(), lower = name;
    CharLowerBuffA(lower.data(), DWORD(lower.size()));
    for (std::string server : {std::string(), name, lower, "\\\\" + name, "\\\\" + lower}) {
        AXCli named;
        EXPECT_EQ(0u, named.Connect(server.c_str())) << server;
    }
    AXCli remote, client;
    EXPECT_NE(0u, remote.Connect("\\\\NO-SUCH-COMPUTER-HERE"));
    ASSERT_EQ(0u, client.Connect(""));

    // The devices and their types as the folder chooser lists them are worked through its tests;
    // here the requests it never makes.
    char tiny[3];
    EXPECT_EQ(uint32_t(ERROR_INSUFFICIENT_BUFFER), client.GetDevices(tiny, sizeof tiny));
    unsigned long type = 0;
    EXPECT_EQ(uint32_t(ERROR_INVALID_DRIVE), client.GetDriveAttributes("Q:\\", &type));
    EXPECT_EQ(uint32_t(ERROR_INVALID_NAME), client.GetDriveAttributes("nonsense", &type));

    char device[64] = {}, file[260] = {};
    ASSERT_EQ(0u, client.ParseDeviceFile(device, file, "c:\\Data\\Sales\\", nullptr));
    EXPECT_EQ("C: \\Data\\Sales", std::string(device) + " " + file);
    ASSERT_EQ(0u, client.ParseDeviceFile(device, file, "C:", nullptr));
    EXPECT_STREQ("\\", file);
    EXPECT_EQ(uint32_t(ERROR_INVALID_DRIVE),
              client.ParseDeviceFile(device, file, "Q:\\x", nullptr));
    EXPECT_EQ(uint32_t(ERROR_INVALID_NAME),
              client.ParseDeviceFile(device, file, "\\\\server\\share", nullptr));

    char object[260] = {}, target[MAX_PATH] = {}, small[4];
    ASSERT_NE(0u, QueryDosDeviceA("C:", target, sizeof target));
    for (std::string mapped : {std::string(target) + "\\Data", std::string("\\??\\C:\\Data")}) {
        ASSERT_EQ(0u,
                  client.ParseObjectName(mapped.c_str(), sizeof object, object, nullptr, nullptr));
        EXPECT_STREQ("C:\\Data", object) << mapped;
    }
    EXPECT_EQ(uint32_t(ERROR_INSUFFICIENT_BUFFER),
              client.ParseObjectName("C:\\Data", sizeof small, small, nullptr, nullptr));
}

} // namespace
