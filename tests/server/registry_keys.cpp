#include "registry_keys.h"

#include <gtest/gtest.h>

TestKey::TestKey(HKEY parent, const std::string& path) {
    LONG status = RegCreateKeyExA(parent, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  m_key.Put(), nullptr);
    EXPECT_EQ(ERROR_SUCCESS, status) << path;
}

const TestKey& TestKey::Set(const char* name, DWORD type, const void* data, size_t size) const {
    EXPECT_EQ(ERROR_SUCCESS,
              RegSetValueExA(m_key.Get(), name, 0, type, static_cast<const BYTE*>(data),
                             static_cast<DWORD>(size)))
        << name;
    return *this;
}

TestKey OrdinaryTemplate(const std::string& name) {
    return TestKey(HKEY_LOCAL_MACHINE, std::string(kTemplatesKey) + "\\" + name);
}

TestKey FallbackTemplate(const std::string& name) {
    return TestKey(HKEY_LOCAL_MACHINE, std::string(kFallbackParentKey) + "\\" + name);
}

void RemoveAllTemplates() {
    HKEY templates = nullptr; // the key itself stays, as the installation made it
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kTemplatesKey, 0, KEY_ALL_ACCESS, &templates) == 0) {
        RegDeleteTreeA(templates, nullptr);
        RegCloseKey(templates);
    }
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kReportSetsKey);
    for (const char* name : {"<User Fallback>", "<Directory Fallback>"})
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, (std::string(kFallbackParentKey) + "\\" + name).c_str());
}

std::string LocalComputerName() {
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    GetComputerNameA(name, &size);
    return name;
}
