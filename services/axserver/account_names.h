// Owner accounts of quota records, named as the usage scanner names file owners.
#pragma once

#include <map>
#include <string>

// True when two account names ("DOMAIN\name", or a name without domain) name the same account:
// equal without regard to case, or with equal names when either lacks a domain.
bool SameAccount(const std::string& a, const std::string& b);

// Resolves account names through the security accounts, remembering each answer.
class AccountResolver {
public:
    // The account's "DOMAIN\name" (or "name" for accounts without a domain); false when the name
    // maps to no account.
    bool Resolve(const std::string& name, std::string& account);

private:
    std::map<std::string, std::string> m_known; // "" for names that do not map
};
