#include "services/axpolicy/macro_expansion.h"

#include "services/axpolicy/file_survey.h"

#include <aclapi.h>

#include <functional>
#include <utility>

namespace {

uint64_t PercentOf(uint64_t part, uint64_t whole) {
    if (whole == 0)
        return 0;
    return static_cast<uint64_t>(static_cast<unsigned __int128>(part) * 100 / whole);
}

// The share path of an object: the administrative share of its drive ("\\SERVER\C$\Data").
std::string SharePath(const std::string& server, const std::string& object) {
    if (object.size() >= 2 && object[1] == ':')
        return "\\\\" + server + "\\" + object.substr(0, 1) + "$" + object.substr(2);
    return object;
}

std::string Value(const std::string& macro, const MacroContext& c) {
    const AllotrixDbRec& r = c.record;
    // Sizes in bytes, and with " KB" or " MB" in whole units.
    const std::pair<const char*, uint64_t> sizes[] = {{"CURRENT USAGE", r.GetUsedQuota()},
                                                      {"PERM QUOTA", r.GetPermQuota()},
                                                      {"OVERDRAFT", r.GetOverDraft()},
                                                      {"HIGHWATER", r.GetHighWaterMark()}};
    for (const auto& [name, bytes] : sizes) {
        std::string base = name;
        if (_stricmp(macro.c_str(), base.c_str()) == 0)
            return std::to_string(bytes);
        if (_stricmp(macro.c_str(), (base + " KB").c_str()) == 0)
            return std::to_string(bytes / 1024);
        if (_stricmp(macro.c_str(), (base + " MB").c_str()) == 0)
            return std::to_string(bytes / 1048576);
    }
    size_t slash = c.user.find('\\');
    std::string domain = slash == std::string::npos ? "" : c.user.substr(0, slash);
    std::string bareUser = slash == std::string::npos ? c.user : c.user.substr(slash + 1);
    uint64_t percentUsed = PercentOf(r.GetUsedQuota(), r.GetPermQuota());
    char file[kFileNameSize] = {};
    const std::pair<const char*, std::function<std::string()>> words[] = {
        {"USER", [&] { return c.user; }},
        {"OWNER", [&] { return c.user; }},
        {"FILE OWNER", [&] { return c.user; }},
        {"USER_NO_DOMAIN", [&] { return bareUser; }},
        {"USER NO DOMAIN", [&] { return bareUser; }},
        {"DOMAIN", [&] { return domain; }},
        {"OBJECT NAME", [&] { return std::string(r.GetMappedName(1)); }},
        {"OBJECT NAME SHARE", [&] { return SharePath(c.server, r.GetMappedName(1)); }},
        {"FILE SPEC", [&] { return std::string(r.GetFileName(file)); }},
        {"OPENED FILE", [&] { return c.openedFile; }},
        {"THRESH NUMBER", [&] { return std::to_string(c.threshold); }},
        {"PERCENT USED", [&] { return std::to_string(percentUsed); }},
        {"PERCENT FREE",
         [&] { return std::to_string(percentUsed >= 100 ? 0 : 100 - percentUsed); }},
        {"SERVER NAME", [&] { return c.server; }},
    };
    for (const auto& [name, value] : words)
        if (_stricmp(name, macro.c_str()) == 0)
            return value();
    return "[" + macro + "]";
}

} // namespace

std::string ExpandMacros(const std::string& text, const MacroContext& context) {
    std::string out;
    size_t at = 0;
    while (at < text.size()) {
        size_t open = text.find('[', at);
        size_t close = open == std::string::npos ? open : text.find(']', open);
        if (close == std::string::npos) {
            out += text.substr(at);
            break;
        }
        out += text.substr(at, open - at);
        out += Value(text.substr(open + 1, close - open - 1), context);
        at = close + 1;
    }
    return out;
}

std::string PathOwner(const std::string& path) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner,
                              nullptr, nullptr, nullptr, &descriptor) != ERROR_SUCCESS)
        return "";
    char name[256] = {}, domain[256] = {};
    DWORD nameSize = sizeof name, domainSize = sizeof domain;
    SID_NAME_USE use{};
    bool named =
        owner && LookupAccountSidA(nullptr, owner, name, &nameSize, domain, &domainSize, &use);
    LocalFree(descriptor);
    if (!named)
        return "";
    return domain[0] ? std::string(domain) + "\\" + name : name;
}

std::string NewestFile(const std::string& folder) {
    FolderSurvey survey = SurveyFolder(folder, 100000);
    const SurveyedFile* newest = nullptr;
    for (const SurveyedFile& file : survey.files)
        if (!newest || Ticks(file.written) > Ticks(newest->written))
            newest = &file;
    return newest ? newest->path : "";
}
