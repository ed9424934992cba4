#include "base/error_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {
std::string TextOf(DWORD code, DWORD size = 1024) {
    char buffer[1024];
    DWORD length = GetErrorText(code, buffer, size);
    EXPECT_EQ(length, strlen(buffer));
    return buffer;
}
} // namespace

TEST(ErrorText, SystemTextComesFirst) {
    char system[1024];
    DWORD length =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, 2,
                       MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), system, sizeof system, nullptr);
    ASSERT_GT(length, 0u);
    EXPECT_EQ(system, TextOf(2));
    EXPECT_NE(std::string::npos, TextOf(2).find("not found"));
}

TEST(ErrorText, FixedNetworkTextOnlyWhereTheSystemHasNone) {
    EXPECT_EQ("The computer name is invalid.", TextOf(2351));
    EXPECT_EQ("Could not find the domain controller for the domain.", TextOf(2453));
    // The system has its own words for 5 ("Access denied."): they win over the fixed text.
    EXPECT_NE("The user does not have access to the requested information.", TextOf(5));
    EXPECT_FALSE(TextOf(5).empty());
}

TEST(ErrorText, UnknownCodeGivesEmptyText) {
    char buffer[260] = "left over";
    EXPECT_EQ(0u, GetErrorText(0x2FFFFF, buffer, sizeof buffer));
    EXPECT_STREQ("", buffer);
}

TEST(ErrorText, FixedTextIsCutToASmallBuffer) {
    char buffer[8];
    DWORD length = GetErrorText(2351, buffer, sizeof buffer);
    EXPECT_EQ(7u, length);
    EXPECT_STREQ("The com", buffer);
}

TEST(ErrorText, UnwritableBufferIsLeftAloneAndGivesTheLastError) {
    void* page = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READONLY);
    ASSERT_NE(nullptr, page);
    DWORD result = GetErrorText(2, static_cast<char*>(page), 260);
    EXPECT_EQ(static_cast<DWORD>(ERROR_NOACCESS), result);
    EXPECT_EQ(0, static_cast<char*>(page)[0]);
    EXPECT_EQ(static_cast<DWORD>(ERROR_NOACCESS), GetErrorText(2, nullptr, 260));
    VirtualFree(page, 0, MEM_RELEASE);

    char small[16];
    EXPECT_EQ(static_cast<DWORD>(ERROR_NOACCESS), GetErrorText(2, small, 0));
}
