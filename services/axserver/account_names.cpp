#include "services/axserver/account_names.h"

#include <windows.h>

#include <cstring>

namespace {

std::string NamePart(const std::string& account) {
    size_t slash = account.rfind('\\');
    return slash == std::string::npos ? account : account.substr(slash + 1);
}

bool HasDomain(const std::string& account) {
    size_t slash = account.rfind('\\');
    return slash != std::string::npos && slash > 0;
}

} // namespace

bool SameAccount(const std::string& a, const std::string& b) {
    if (_stricmp(a.c_str(), b.c_str()) == 0)
        return true;
    if (HasDomain(a) && HasDomain(b))
        return false;
    return _stricmp(NamePart(a).c_str(), NamePart(b).c_str()) == 0;
}

bool AccountResolver::Resolve(const std::string& name, std::string& account) {
    auto known = m_known.find(name);
    if (known == m_known.end()) {
        BYTE sid[SECURITY_MAX_SID_SIZE];
        DWORD sidSize = sizeof sid;
        char domain[256] = {}, user[256] = {};
        DWORD domainSize = sizeof domain, userSize = sizeof user;
        SID_NAME_USE use;
        std::string resolved;
        if (LookupAccountNameA(nullptr, name.c_str(), sid, &sidSize, domain, &domainSize, &use)) {
            domainSize = sizeof domain;
            if (LookupAccountSidA(nullptr, sid, user, &userSize, domain, &domainSize, &use))
                resolved = domain[0] ? std::string(domain) + "\\" + user : std::string(user);
            else
                resolved = name;
        }
        known = m_known.emplace(name, resolved).first;
    }
    account = known->second;
    return !account.empty();
}
