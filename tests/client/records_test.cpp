#include "client/records.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

TEST(MailSecret, StoresAbcAsRotatedBytesAndZeros) {
    ReportMailInfo info;
    info.SetMailProfile("abc");
    const uint8_t expected[3] = {0x0B, 0x13, 0x1B};
    EXPECT_EQ(0, memcmp(info.MailProfile, expected, 3));
    for (size_t i = 3; i < kMailSecretSize; ++i)
        EXPECT_EQ(0, info.MailProfile[i]) << "byte " << i;
    char clear[kMailSecretSize];
    info.GetMailProfile(clear);
    EXPECT_STREQ("abc", clear);
}

TEST(MailSecret, EveryByteValueRoundTrips) {
    for (int value = 0; value < 256; ++value) {
        uint8_t byte = static_cast<uint8_t>(value);
        EXPECT_EQ(byte, UnscrambleByte(ScrambleByte(byte))) << value;
    }
    char clear[kMailSecretSize];
    for (size_t i = 0; i < kMailSecretSize; ++i)
        clear[i] = static_cast<char>(i * 3 + 1);
    char stored[kMailSecretSize];
    char back[kMailSecretSize];
    ScrambleMailSecret(stored, clear);
    UnscrambleMailSecret(back, stored, kMailSecretSize);
    EXPECT_EQ(0, memcmp(clear, back, kMailSecretSize));
}

TEST(MailSecret, WritesExactly81BytesAndReadsOnlyWhatIsAsked) {
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
}

TEST(MailSecret, LongProfileIsCutTo80Characters) {
    ReportMailInfo info;
    std::string longName(200, 'p');
    info.SetMailPassword(longName.c_str());
    char clear[kMailSecretSize];
    info.GetMailPassword(clear);
    EXPECT_EQ(std::string(80, 'p'), clear);
    EXPECT_EQ(0, info.MailProfile[0]) << "password leaked into the profile";
}

TEST(Recipients, TrailingSeparatorsAndBlanksAreStripped) {
    struct Case {
        const char* text;
        const char* stripped;
        uint32_t count;
    } cases[] = {
        {"a;b; ;", "a;b", 2}, {" ; ;;  ", "", 0},    {"", "", 0},
        {"one", "one", 1},    {"a;;b", "a;;b", 3},   {"a; b\t;\t", "a; b", 2},
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

TEST(TextForms, ValuesReadBackExactlyAtTheEdges) {
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
}

TEST(TextForms, BadTextChangesNothing) {
    AllotrixDbRec rec;
    rec.SetPermQuota(77);
    const char* const bad_texts[] = {"", "abc", "-1", "12x", "18446744073709551616", "1.5", nullptr};
    for (const char* bad : bad_texts)
        EXPECT_FALSE(rec.SetPermQuotaW(bad)) << (bad ? bad : "null");
    EXPECT_EQ(77u, rec.GetPermQuota());
    AllotrixActionRec action;
    action.SetRepeat(3);
    EXPECT_FALSE(action.SetRepeatW("4294967296"));
    EXPECT_EQ(3u, action.GetRepeat());
}

TEST(Records, ConstructionZeroesEverything) {
    AllotrixDbRec rec;
    const auto* bytes = reinterpret_cast<const unsigned char*>(&rec);
    for (size_t i = 0; i < sizeof rec; ++i)
        ASSERT_EQ(0, bytes[i]) << "byte " << i;
}

TEST(Records, FullRecordCopiesByteForByteAndBeginsWithItsBase) {
    AllotrixDbRec rec;
    rec.SetObjectName("C:", "\\Data\\Sales");
    rec.SetFileOwner("OFFICE\\ann");
    rec.SetPermQuota(5'000'000);
    rec.SetThreshPercent5(255);
    rec.TurnAttributeOn(AttrBelow(3));
    rec.SetRecordId(42);
    rec.Actions[4].SetMessage("%USER% is over");
    rec.Actions[4].ReportMail.SetMailProfile("ops");
    rec.Actions[4].DaysOfMonth = 0x4001;

    AllotrixDbRec copy;
    memcpy(&copy, &rec, sizeof rec);
    EXPECT_EQ(0, memcmp(&copy, &rec, sizeof rec));
    EXPECT_STREQ("C:\\Data\\Sales", copy.GetMappedName(1));
    EXPECT_STREQ("%USER% is over", copy.Actions[4].GetMessageA());
    EXPECT_EQ(255, copy.GetThreshPercent5());
    EXPECT_TRUE(copy.IsAttributeSet(AttrBelow3));
    EXPECT_EQ(42u, copy.GetRecordId());

    AllotrixBaseDbRec row;
    memcpy(&row, static_cast<AllotrixBaseDbRec*>(&rec), sizeof row);
    EXPECT_EQ(static_cast<void*>(static_cast<AllotrixBaseDbRec*>(&rec)), static_cast<void*>(&rec));
    EXPECT_STREQ("OFFICE\\ann", row.GetFileOwner());
    EXPECT_EQ(5'000'000u, row.GetPermQuota());
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

TEST(Records, AttributeAndPolicyBitsAreIndependent) {
    AllotrixBaseDbRec rec;
    rec.TurnAttributeOn(AttrNoEnforce);
    rec.TurnAttributeOn(AttrBelow5);
    rec.TurnAttributeOff(AttrNoEnforce);
    EXPECT_FALSE(rec.IsAttributeSet(AttrNoEnforce));
    EXPECT_TRUE(rec.IsAttributeSet(AttrBelow5));
    EXPECT_EQ(0x4000000u, rec.GetAttributes());
    for (int n = 1; n <= 5; ++n)
        EXPECT_EQ(0x400000u << (n - 1), static_cast<uint32_t>(AttrBelow(n)));

    AllotrixActionRec action;
    action.TurnPolicyFlagOn(PolAbove);
    action.TurnPolicyFlagOn(PolSnmpTrap);
    action.TurnPolicyFlagOff(PolAbove);
    EXPECT_EQ(0x40000u, action.GetPolicyFlags());
}
