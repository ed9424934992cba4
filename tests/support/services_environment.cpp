// Linked into a test program, installs and starts the quota and policy services of this build
// before its first test.
#include "quota_service.h"

#include <gtest/gtest.h>

namespace {

class ServicesEnvironment : public testing::Environment {
public:
    void SetUp() override { EnsureServicesRunning(); }
};

const testing::Environment* const g_services =
    testing::AddGlobalTestEnvironment(new ServicesEnvironment);

} // namespace
