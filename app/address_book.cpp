#include "app/address_book.h"

#include "client/records.h"

#include <mapi.h>

#include <cstring>
#include <vector>

namespace app {

namespace {

HMODULE g_library = nullptr;
LPMAPILOGON g_logon = nullptr;
LPMAPILOGOFF g_logoff = nullptr;
LPMAPISENDMAIL g_sendMail = nullptr;
LPMAPIRESOLVENAME g_resolveName = nullptr;
LPMAPIADDRESS g_address = nullptr;
LPMAPIFREEBUFFER g_freeBuffer = nullptr;

constexpr char kLoadFailed[] = "Loading MAPI DLL";
constexpr char kTooLong[] = "The chosen recipients do not fit into the 256 characters of the "
                            "\"Mail To:\" or \"Mail Cc:\" field. Choose fewer recipients.";

template <typename Pointer> bool Find(Pointer& pointer, const char* name) {
    pointer = reinterpret_cast<Pointer>(reinterpret_cast<void*>(GetProcAddress(g_library, name)));
    return pointer != nullptr;
}

// Unloads the library when the operation ends, whichever way it ends.
struct LoadedMapi {
    LoadedMapi() = default;
    LoadedMapi(const LoadedMapi&) = delete;
    LoadedMapi& operator=(const LoadedMapi&) = delete;
    ~LoadedMapi() { UnloadMapi(); }
};

// The non-empty names between the ";" separators of a list.
void AppendNames(const char* list, ULONG recipientClass, std::vector<std::string>& names,
                 std::vector<ULONG>& classes) {
    const std::string text(list);
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(';', start);
        if (end == std::string::npos)
            end = text.size();
        if (end > start) {
            names.push_back(text.substr(start, end - start));
            classes.push_back(recipientClass);
        }
        start = end + 1;
    }
}

// To and Cc from the address book's answer; false when either would not fit its field.
bool TakeRecipients(ReportMailInfo& mail, const MapiRecipDesc* recipients, ULONG count) {
    std::string to, cc;
    uint32_t toCount = 0, ccCount = 0;
    for (ULONG i = 0; i < count; ++i) {
        const ULONG recipientClass = recipients[i].ulRecipClass;
        std::string* list = recipientClass == MAPI_TO   ? &to
                            : recipientClass == MAPI_CC ? &cc
                                                        : nullptr;
        if (!list)
            continue;
        ++(recipientClass == MAPI_TO ? toCount : ccCount);
        if (recipients[i].lpszName)
            *list += recipients[i].lpszName;
        if (i + 1 < count)
            *list += ';';
    }
    if (to.size() >= sizeof mail.MailTo || cc.size() >= sizeof mail.MailCc)
        return false;
    std::memcpy(mail.MailTo, to.c_str(), to.size() + 1);
    std::memcpy(mail.MailCc, cc.c_str(), cc.size() + 1);
    mail.ToCount = toCount;
    mail.CcCount = ccCount;
    return true;
}

} // namespace

int LoadMapi() {
    g_library = LoadLibraryA("MAPI32.DLL");
    if (!g_library)
        return MapiLibraryMissing;
    if (!Find(g_logon, "MAPILogon") || !Find(g_logoff, "MAPILogoff") ||
        !Find(g_sendMail, "MAPISendMail") || !Find(g_resolveName, "MAPIResolveName") ||
        !Find(g_address, "MAPIAddress") || !Find(g_freeBuffer, "MAPIFreeBuffer")) {
        UnloadMapi();
        return MapiEntryPointMissing;
    }
    return MapiLoaded;
}

void UnloadMapi() {
    g_logon = nullptr;
    g_logoff = nullptr;
    g_sendMail = nullptr;
    g_resolveName = nullptr;
    g_address = nullptr;
    g_freeBuffer = nullptr;
    if (g_library)
        FreeLibrary(g_library);
    g_library = nullptr;
}

std::string MapiStatusText(ULONG status) {
    switch (status) {
    case SUCCESS_SUCCESS:
    case MAPI_USER_ABORT:
        return {};
    case 2:
        return "Unspecified error(s) occurred while addressing the mail.";
    case 3:
        return "There was no default sign-in.";
    case 4:
        return "The disk is full.";
    case 5:
        return "There was insufficient memory to proceed. ";
    case 8:
        return "The user had too many sessions open at once.";
    case 9:
        return "There were too many file attachments. No mail was sent.";
    case 10:
        return "There were too many message recipients specified. No mail was sent.";
    case 11:
        return "The specified attachment was not found. No mail was sent.";
    case 14:
        return "The recipient did not appear in the address list. No mail was sent.";
    case 15:
        return "The type of a recipient was not MAPI_TO, MAPI_CC, or MAPI_BCC. ";
    case 17:
        return "An invalid message ID was used for the lpszMessageID parameter. No list of "
               "entries was returned.";
    case 18:
        return "The text in the message was too large to be sent. No mail was sent.";
    case 19:
        return "An invalid session handle was used for the lhSession parameter.";
    case 21:
        return "A recipient matched more than one of the recipient descriptor structures, and "
               "MAPI_DIALOG was not set.";
    case 24:
        return "The value of nEditFields is outside the range of 0 to 4. No list of entries was "
               "returned.";
    case 25:
        return "One or more of the recipients in the address list is not valid. No list of "
               "entries was returned.";
    case 26:
        return "The operation was unsupported by the underlying mail system.";
    default:
        return "Unable to get address list or send mail";
    }
}

std::string ShowAddressBook(ReportMailInfo& mail) {
    if (LoadMapi() != MapiLoaded)
        return kLoadFailed;
    LoadedMapi loaded;

    char profile[kMailSecretSize] = "";
    char password[kMailSecretSize] = "";
    mail.GetMailProfile(profile);
    mail.GetMailPassword(password);
    profile[kMailSecretSize - 1] = password[kMailSecretSize - 1] = '\0';
    LHANDLE session = 0;
    if (profile[0]) {
        const ULONG status =
            g_logon(0, profile, password, MAPI_LOGON_UI | MAPI_NEW_SESSION, 0, &session);
        if (status != SUCCESS_SUCCESS)
            return MapiStatusText(status);
    }

    ReportMailInfo tidied = mail;
    tidied.CountRecipients();
    std::vector<std::string> names;
    std::vector<ULONG> classes;
    AppendNames(tidied.MailTo, MAPI_TO, names, classes);
    AppendNames(tidied.MailCc, MAPI_CC, names, classes);
    std::vector<MapiRecipDesc> recipients(names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        recipients[i].ulRecipClass = classes[i];
        recipients[i].lpszName = names[i].data();
    }

    ULONG chosenCount = 0;
    lpMapiRecipDesc chosen = nullptr;
    const ULONG status =
        g_address(session, 0, nullptr, 2, nullptr, static_cast<ULONG>(recipients.size()),
                  recipients.empty() ? nullptr : recipients.data(), 0, 0, &chosenCount, &chosen);
    if (profile[0])
        g_logoff(session, 0, 0, 0);
    if (status != SUCCESS_SUCCESS)
        return MapiStatusText(status);

    const bool fits = TakeRecipients(tidied, chosen, chosenCount);
    if (chosen)
        g_freeBuffer(chosen);
    if (!fits)
        return kTooLong;
    mail = tidied;
    return {};
}

} // namespace app
