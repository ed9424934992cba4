#include "base/error_text.h"

#include <gtest/gtest.h>

#include <string>

// The system's text comes first; a fixed network text only where the system has none, cut to
// the buffer; an unknown code gives an empty text.
TEST(ErrorText, SystemTextFirstThenTheFixedNetworkTextCutToTheBuffer) {
    char system[1024] = {};
    ASSERT_GT(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, 5,
                             MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), system, sizeof system,
                             nullptr),
              0u);
    const struct {
        DWORD code, size;
        std::string text;
    } cases[] = {
        {5, 1024, system}, // not the fixed "The user does not have access to ..."
        {2351, 1024, "The computer name is invalid."},
        {2453, 1024, "Could not find the domain controller for the domain."},
        {2351, 8, "The com"},
        {0x2FFFFF, 260, ""},
    };
    for (const auto& c : cases) {
        char buffer[1024] = "left over";
        EXPECT_EQ(c.text.size(), GetErrorText(c.code, buffer, c.size)) << c.code;
        EXPECT_EQ(c.text, buffer) << c.code;
    }
}

TEST(ErrorText, UnwritableBufferIsLeftAloneAndGivesTheLastError) {
    void* page = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READONLY);
    ASSERT_NE(nullptr, page);
    EXPECT_EQ(static_cast<DWORD>(ERROR_NOACCESS), GetErrorText(2, static_cast<char*>(page), 260));
    EXPECT_EQ(0, static_cast<char*>(page)[0]);
    VirtualFree(page, 0, MEM_RELEASE);
    char small[16];
    EXPECT_EQ(static_cast<DWORD>(ERROR_NOACCESS), GetErrorText(2, nullptr, 260));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NOACCESS), GetErrorText(2, small, 0));
}
