// A mail system for the tests: a MAPI32.DLL that answers Simple MAPI calls as the test scripts
// them and records each call it receives. The test sets, in its own environment:
//   KELVANE_TEST_MAPI_LOGON    MAPILogon's status (0 when unset)
//   KELVANE_TEST_MAPI_ADDRESS  MAPIAddress's status (0 when unset)
//   KELVANE_TEST_MAPI_CHOSEN   the recipients MAPIAddress returns: "CLASS:NAME|CLASS:NAME..."
// and reads the calls, one line each, from KELVANE_TEST_MAPI_CALLS.
#include <windows.h>
#include <mapi.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr LHANDLE kSession = 77;

std::string Environment(const char* name) {
    char value[4096] = "";
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length < sizeof value ? std::string(value, length) : std::string();
}

ULONG ScriptedStatus(const char* name) {
    return static_cast<ULONG>(std::strtoul(Environment(name).c_str(), nullptr, 10));
}

void Record(const std::string& call) {
    const std::string calls = Environment("KELVANE_TEST_MAPI_CALLS") + call + "\n";
    SetEnvironmentVariableA("KELVANE_TEST_MAPI_CALLS", calls.c_str());
}

std::string Text(const char* text) {
    return text ? text : "null";
}

// The answer of MAPIAddress: the descriptors followed by their names, in one block.
struct Answer {
    std::vector<MapiRecipDesc> Recipients;
    std::string Names;
};
Answer* g_answer = nullptr;

} // namespace

extern "C" {

ULONG WINAPI MAPILogon(ULONG_PTR uiParam, LPSTR profile, LPSTR password, FLAGS flags,
                       ULONG reserved, LPLHANDLE session) {
    Record("MAPILogon window=" + std::to_string(uiParam) + " profile=" + Text(profile) +
           " password=" + Text(password) + " flags=" + std::to_string(flags) +
           " reserved=" + std::to_string(reserved));
    *session = kSession;
    return ScriptedStatus("KELVANE_TEST_MAPI_LOGON");
}

ULONG WINAPI MAPILogoff(LHANDLE session, ULONG_PTR uiParam, FLAGS flags, ULONG reserved) {
    Record("MAPILogoff session=" + std::to_string(session) + " window=" + std::to_string(uiParam) +
           " flags=" + std::to_string(flags) + " reserved=" + std::to_string(reserved));
    return SUCCESS_SUCCESS;
}

// Present for the address book's check of the mail system; never called.
ULONG WINAPI MAPISendMail(LHANDLE, ULONG_PTR, lpMapiMessage, FLAGS, ULONG) {
    return MAPI_E_NOT_SUPPORTED;
}
ULONG WINAPI MAPIResolveName(LHANDLE, ULONG_PTR, LPSTR, FLAGS, ULONG, lpMapiRecipDesc*) {
    return MAPI_E_NOT_SUPPORTED;
}

ULONG WINAPI MAPIAddress(LHANDLE session, ULONG_PTR uiParam, LPSTR caption, ULONG editFields,
                         LPSTR labels, ULONG count, lpMapiRecipDesc recipients, FLAGS flags,
                         ULONG reserved, LPULONG newCount, lpMapiRecipDesc* newRecipients) {
    std::string call = "MAPIAddress session=" + std::to_string(session) +
                       " window=" + std::to_string(uiParam) + " caption=" + Text(caption) +
                       " fields=" + std::to_string(editFields) + " labels=" + Text(labels) +
                       " flags=" + std::to_string(flags) + " reserved=" + std::to_string(reserved) +
                       " recipients=";
    for (ULONG i = 0; i < count; ++i) {
        const MapiRecipDesc& recipient = recipients[i];
        const bool plain = recipient.ulReserved == 0 && recipient.lpszAddress == nullptr &&
                           recipient.ulEIDSize == 0 && recipient.lpEntryID == nullptr;
        call += (i ? "|" : "") + std::to_string(recipient.ulRecipClass) + ":" +
                Text(recipient.lpszName) + (plain ? "" : "(with address)");
    }
    Record(call);
    const ULONG status = ScriptedStatus("KELVANE_TEST_MAPI_ADDRESS");
    if (status != SUCCESS_SUCCESS)
        return status;

    auto* answer = new Answer;
    const std::string chosen = Environment("KELVANE_TEST_MAPI_CHOSEN");
    std::vector<std::pair<ULONG, size_t>> entries;
    for (size_t start = 0; start < chosen.size();) {
        size_t end = chosen.find('|', start);
        if (end == std::string::npos)
            end = chosen.size();
        const std::string entry = chosen.substr(start, end - start);
        const size_t colon = entry.find(':');
        entries.emplace_back(std::strtoul(entry.c_str(), nullptr, 10), answer->Names.size());
        answer->Names += entry.substr(colon + 1) + '\0';
        start = end + 1;
    }
    answer->Recipients.resize(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        answer->Recipients[i].ulRecipClass = entries[i].first;
        answer->Recipients[i].lpszName = answer->Names.data() + entries[i].second;
    }
    g_answer = answer;
    *newCount = static_cast<ULONG>(entries.size());
    *newRecipients = answer->Recipients.data();
    return SUCCESS_SUCCESS;
}

ULONG WINAPI MAPIFreeBuffer(LPVOID buffer) {
    const bool answer = g_answer && buffer == g_answer->Recipients.data();
    Record(std::string("MAPIFreeBuffer ") + (answer ? "answer" : "unknown"));
    if (answer) {
        delete g_answer;
        g_answer = nullptr;
    }
    return SUCCESS_SUCCESS;
}

} // extern "C"
