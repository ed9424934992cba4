#include "client/records.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <algorithm>
#include <cstring>
#include <string>

TEST(MailSecret, StoredRotatedInExactly81BytesAndCutTo80Characters) {
    ReportMailInfo info;
    info.SetMailProfile("abc");
    const char expected[kMailSecretSize] = {0x0B, 0x13, 0x1B}; // and zeros to the end
    EXPECT_EQ(0, memcmp(info.MailProfile, expected, kMailSecretSize));
    for (int value = 0; value < 256; ++value)
        EXPECT_EQ(value, UnscrambleByte(ScrambleByte(uint8_t(value)))) << value;

    char clear[kMailSecretSize + 8], stored[kMailSecretSize + 8], back[8];
    memset(clear, 'x', sizeof clear);
    memset(stored, 0x5A, sizeof stored);
    memset(back, '#', sizeof back);
    ScrambleMailSecret(stored, clear);
    EXPECT_EQ(char(ScrambleByte('x')), stored[kMailSecretSize - 1]);
    EXPECT_EQ(std::string(8, 0x5A), std::string(stored + kMailSecretSize, 8)) << "written past";
    UnscrambleMailSecret(back, stored, 4);
    EXPECT_EQ("xxxx####", std::string(back, 8));

    info.SetMailPassword(std::string(200, 'p').c_str());
    info.GetMailPassword(clear);
    EXPECT_EQ(std::string(80, 'p'), clear);
    info.GetMailProfile(clear);
    EXPECT_STREQ("abc", clear) << "the password leaked into the profile";
}

TEST(Recipients, TrailingSeparatorsAndBlanksAreStripped) {
    const struct {
        const char *text, *stripped;
        uint32_t count;
    } cases[] = {
        {"a;b; ;", "a;b", 2}, {" ; ;;  ", "", 0},  {"", "", 0},
        {"one", "one", 1},    {"a;;b", "a;;b", 3}, {"a; b\t;\t", "a; b", 2},
    };
    for (const auto& c : cases) {
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
    for (uint64_t value : {0ull, 1ull, 1023ull, 1ull << 32, ~0ull}) {
        char text[260];
        AllotrixDbRec rec, back;
        rec.SetPermQuota(value);
        rec.SetOverDraft(value);
        rec.Actions[2].SetAdjustQuota(value);
        rec.Actions[2].SetRepeat(uint32_t(std::min<uint64_t>(value, UINT32_MAX)));
        EXPECT_TRUE(back.SetPermQuotaW(rec.GetPermQuotaW(text)));
        EXPECT_TRUE(back.SetOverDraftW(rec.GetOverDraftW(text)));
        EXPECT_TRUE(back.Actions[2].SetAdjustQuotaW(rec.Actions[2].GetAdjustQuotaW(text)));
        EXPECT_TRUE(back.Actions[2].SetRepeatW(rec.Actions[2].GetRepeatW(text)));
        EXPECT_EQ(value, back.GetPermQuota());
        EXPECT_EQ(value, back.GetOverDraft());
        EXPECT_EQ(value, back.Actions[2].GetAdjustQuota());
        EXPECT_EQ(rec.Actions[2].GetRepeat(), back.Actions[2].GetRepeat());
    }
    AllotrixDbRec rec;
    rec.SetPermQuota(77);
    rec.Actions[0].SetRepeat(3);
    for (const char* bad : {"", "abc", "-1", "12x", "18446744073709551616", "1.5", (const char*)0})
        EXPECT_FALSE(rec.SetPermQuotaW(bad)) << (bad ? bad : "null");
    EXPECT_FALSE(rec.Actions[0].SetRepeatW("4294967296"));
    EXPECT_EQ(77u, rec.GetPermQuota());
    EXPECT_EQ(3u, rec.Actions[0].GetRepeat());
}

TEST(Records, ObjectNameSplitsAndRootIsShownWithItsBackslash) {
    AllotrixBaseDbRec rec;
    rec.SetObjectName("D:", "");
    EXPECT_STREQ("D:\\", rec.GetMappedName(1));
    rec.SetObjectName("D:", "\\Users");
    char file[kFileNameSize];
    EXPECT_STREQ("\\Users", rec.GetFileName(file));
    EXPECT_STREQ("D:", rec.GetDeviceName());
    rec.SetObjectName("E:", std::string(400, 'q').c_str());
    EXPECT_EQ(kFileNameSize - 1, strlen(rec.GetFileName(file)));
}
