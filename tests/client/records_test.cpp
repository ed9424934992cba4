#include "client/records.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

TEST(MailSecret, StoredRotatedInExactly81BytesAndCutTo80Characters) {
    ReportMailInfo info;
    info.SetMailProfile("abc");
    const char expected[kMailSecretSize] = {0x0B, 0x13, 0x1B}; // and zeros to the end
    EXPECT_EQ(0, memcmp(info.MailProfile, expected, kMailSecretSize));
    for (int value = 0; value < 256; ++value) {
        uint8_t byte = static_cast<uint8_t>(value);
        EXPECT_EQ(byte, UnscrambleByte(ScrambleByte(byte))) << value;
    }

    char clear[kMailSecretSize + 8];
    memset(clear, 'x', sizeof clear);
    char stored[kMailSecretSize + 8];
    memset(stored, 0x5A, sizeof stored);
    ScrambleMailSecret(stored, clear);
    EXPECT_EQ(static_cast<char>(ScrambleByte('x')), stored[kMailSecretSize - 1]);
    for (size_t i = kMailSecretSize; i < sizeof stored; ++i)
        EXPECT_EQ(0x5A, stored[i]) << "byte " << i << " written past the field";
    char back[8];
    memset(back, '#', sizeof back);
    UnscrambleMailSecret(back, stored, 4);
    EXPECT_EQ(std::string("xxxx####"), std::string(back, 8));

    info.SetMailPassword(std::string(200, 'p').c_str());
    info.GetMailPassword(clear);
    EXPECT_EQ(std::string(80, 'p'), clear);
    info.GetMailProfile(clear);
    EXPECT_STREQ("abc", clear) << "the password leaked into the profile";
}

TEST(Recipients, TrailingSeparatorsAndBlanksAreStripped) {
    struct Case {
        const char* text;
        const char* stripped;
        uint32_t count;
    } cases[] = {
        {"a;b; ;", "a;b", 2}, {" ; ;;  ", "", 0},  {"", "", 0},
        {"one", "one", 1},    {"a;;b", "a;;b", 3}, {"a; b\t;\t", "a; b", 2},
    };
    for (const Case& c : cases) {
        char text[kMailTextSize];
        strcpy(text, c.text);
        EXPECT_EQ(c.count, CountRecipients(text)) << c.text;
        EXPECT_STREQ(c.stripped, text) << c.text;
    }
    ReportMailInfo info;
    strcpy(info.MailTo, "x;y;z;");
    strcpy(info.MailCc, ";");
    info.CountRecipients();
    EXPECT_EQ(3u, info.ToCount);
    EXPECT_EQ(0u, info.CcCount);
    EXPECT_STREQ("x;y;z", info.MailTo);
}

TEST(TextForms, ValuesReadBackExactlyAtTheEdgesAndBadTextChangesNothing) {
    const uint64_t values[] = {0, 1, 50, 1023, 1ull << 32, std::numeric_limits<uint64_t>::max()};
    for (uint64_t value : values) {
        char text[260];
        AllotrixDbRec rec;
        rec.SetPermQuota(value);
        rec.SetOverDraft(value);
        rec.Actions[2].SetAdjustQuota(value);
        AllotrixDbRec back;
        EXPECT_TRUE(back.SetPermQuotaW(rec.GetPermQuotaW(text)));
        EXPECT_TRUE(back.SetOverDraftW(rec.GetOverDraftW(text)));
        EXPECT_TRUE(back.Actions[2].SetAdjustQuotaW(rec.Actions[2].GetAdjustQuotaW(text)));
        EXPECT_EQ(value, back.GetPermQuota());
        EXPECT_EQ(value, back.GetOverDraft());
        EXPECT_EQ(value, back.Actions[2].GetAdjustQuota());
    }
    const uint32_t counts[] = {0, 100, std::numeric_limits<uint32_t>::max()};
    for (uint32_t count : counts) {
        char text[260];
        AllotrixActionRec action;
        action.SetRepeat(count);
        AllotrixActionRec back;
        EXPECT_TRUE(back.SetRepeatW(action.GetRepeatW(text)));
        EXPECT_EQ(count, back.GetRepeat());
    }

    // Bad text changes nothing.
    AllotrixDbRec rec;
    rec.SetPermQuota(77);
    const char* const bad_texts[] = {"",    "abc",  "-1", "12x", "18446744073709551616",
                                     "1.5", nullptr};
    for (const char* bad : bad_texts)
        EXPECT_FALSE(rec.SetPermQuotaW(bad)) << (bad ? bad : "null");
    EXPECT_EQ(77u, rec.GetPermQuota());
    AllotrixActionRec action;
    action.SetRepeat(3);
    EXPECT_FALSE(action.SetRepeatW("4294967296"));
    EXPECT_EQ(3u, action.GetRepeat());
}

TEST(Records, ObjectNameSplitsAndRootIsShownWithItsBackslash) {
    AllotrixBaseDbRec rec;
    rec.SetObjectName("D:", "");
    EXPECT_STREQ("D:\\", rec.GetMappedName(1));
    rec.SetObjectName("D:", "\\Users");
    char file[kFileNameSize];
    EXPECT_STREQ("\\Users", rec.GetFileName(file));
    EXPECT_STREQ("D:", rec.GetDeviceName());
    std::string longPath(400, 'q');
    rec.SetObjectName("E:", longPath.c_str());
    EXPECT_EQ(kFileNameSize - 1, strlen(rec.GetFileName(file)));
}
