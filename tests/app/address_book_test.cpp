// The address book against the scripted mail system built beside this program (and, where a
// test loads another one first, against a mail system missing an entry point or Wine's own).
#include "app/address_book.h"
#include "client/records.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

void Script(const char* logonStatus, const char* addressStatus, const char* chosen) {
    SetEnvironmentVariableA("KELVANE_TEST_MAPI_LOGON", logonStatus);
    SetEnvironmentVariableA("KELVANE_TEST_MAPI_ADDRESS", addressStatus);
    SetEnvironmentVariableA("KELVANE_TEST_MAPI_CHOSEN", chosen);
    SetEnvironmentVariableA("KELVANE_TEST_MAPI_CALLS", nullptr);
}

std::string Calls() {
    char calls[4096] = "";
    GetEnvironmentVariableA("KELVANE_TEST_MAPI_CALLS", calls, sizeof calls);
    return calls;
}

ReportMailInfo Mail(const char* to, const char* cc, const char* profile = "",
                    const char* password = "") {
    ReportMailInfo mail;
    std::strcpy(mail.MailTo, to);
    std::strcpy(mail.MailCc, cc);
    mail.SetMailProfile(profile);
    mail.SetMailPassword(password);
    return mail;
}

} // namespace

TEST(AddressBook, AsksTheMailSystemAndTakesItsAnswer) {
    constexpr char kAddress[] = "MAPIAddress session=0 window=0 caption=null fields=2 "
                                "labels=null flags=0 reserved=0 recipients=";
    constexpr char kLogon[] = "MAPILogon window=0 profile=Sales password=secret flags=3 "
                              "reserved=0\n";
    constexpr char kLogoff[] = "MAPILogoff session=77 window=0 flags=0 reserved=0\n";
    struct Case {
        const char *to, *cc, *profile, *logon, *address, *chosen;
        const char *text, *toAfter, *ccAfter;
        std::string calls;
    };
    const std::string name(200, 'n'), tooLong = "1:" + name + "|1:" + name;
    const Case cases[] = {
        // Chosen in the order x, y (To), z (Cc): a separator after every name but the last.
        {"", "", "", "0", "0", "1:x|1:y|2:z", "", "x;y;", "z",
         std::string(kAddress) + "\nMAPIFreeBuffer answer\n"},
        {"x;;y; ", "a; ", "", "0", "0", "2:a|3:bcc|1:x", "", "x", "a;",
         std::string(kAddress) + "1:x|1:y|2:a\nMAPIFreeBuffer answer\n"},
        // With a profile the operation runs in a session of its own, closed afterwards.
        {"x", "", "Sales", "0", "0", "1:y", "", "y", "",
         kLogon + std::string(kAddress).replace(20, 1, "77") + "1:x\n" + kLogoff +
             "MAPIFreeBuffer answer\n"},
        // Cancel: nothing changes and nothing is said.
        {"x;", "z", "", "0", "1", "1:y", "", "x;", "z", std::string(kAddress) + "1:x|2:z\n"},
        {"x", "", "Sales", "3", "0", "1:y", "There was no default sign-in.", "x", "", kLogon},
        {"x", "", "Sales", "0", "15", "1:y",
         "The type of a recipient was not MAPI_TO, MAPI_CC, or MAPI_BCC. ", "x", "",
         kLogon + std::string(kAddress).replace(20, 1, "77") + "1:x\n" + kLogoff},
        {"x", "", "", "0", "22", "", "Unable to get address list or send mail", "x", "",
         std::string(kAddress) + "1:x\n"},
        {"x", "", "", "0", "0", tooLong.c_str(),
         "The chosen recipients do not fit into the 256 characters of the \"Mail To:\" or "
         "\"Mail Cc:\" field. Choose fewer recipients.",
         "x", "", std::string(kAddress) + "1:x\nMAPIFreeBuffer answer\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.to) + " / " + c.profile + " / " + c.address);
        Script(c.logon, c.address, c.chosen);
        ReportMailInfo mail = Mail(c.to, c.cc, c.profile, "secret");
        EXPECT_EQ(c.text, app::ShowAddressBook(mail));
        EXPECT_STREQ(c.toAfter, mail.MailTo);
        EXPECT_STREQ(c.ccAfter, mail.MailCc);
        EXPECT_EQ(c.calls, Calls());
        EXPECT_EQ(nullptr, GetModuleHandleA("MAPI32.DLL")) << "the library stays loaded";
    }
}

TEST(AddressBook, OtherMailSystemsLoadedFirst) {
    char folder[MAX_PATH] = "", system[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, folder, sizeof folder);
    *std::strrchr(folder, '\\') = '\0';
    GetSystemDirectoryA(system, sizeof system);
    struct Case {
        std::string library, text;
    };
    const Case cases[] = {
        {std::string(folder) + "\\partial\\MAPI32.DLL", "Loading MAPI DLL"},
        {std::string(system) + "\\mapi32.dll",
         "The operation was unsupported by the underlying mail system."},
    };
    for (const Case& c : cases) {
        HMODULE library = LoadLibraryA(c.library.c_str());
        ASSERT_NE(nullptr, library) << c.library;
        Script("0", "0", "1:y");
        ReportMailInfo mail = Mail("x", "");
        EXPECT_EQ(c.text, app::ShowAddressBook(mail));
        EXPECT_STREQ("x", mail.MailTo);
        EXPECT_EQ("", Calls());
        FreeLibrary(library);
    }
}
