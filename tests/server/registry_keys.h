// Registry keys the template tests write under HKEY_LOCAL_MACHINE of the test prefix.
#pragma once

#include "base/handles.h"

#include <windows.h>

#include <cstdint>
#include <string>

constexpr const char* kTemplatesKey = "Software\\Ostrel\\Allotrix\\Templates";
constexpr const char* kFallbackParentKey =
    "SYSTEM\\CurrentControlSet\\Services\\AxFilter\\Parameters";
constexpr const char* kReportSetsKey = "Software\\Ostrel\\Ravelin\\4.0\\RVReportSet";

// A writable key, created when missing; closed when the object goes.
class TestKey {
public:
    TestKey(HKEY parent, const std::string& path);
    TestKey Sub(const std::string& name) const { return TestKey(m_key.Get(), name); }

    const TestKey& String(const char* name, const std::string& text) const {
        return Set(name, REG_SZ, text.c_str(), text.size() + 1);
    }
    const TestKey& Dword(const char* name, uint32_t value) const {
        return Set(name, REG_DWORD, &value, sizeof value);
    }
    const TestKey& Binary(const char* name, const void* data, size_t size) const {
        return Set(name, REG_BINARY, data, size);
    }

private:
    const TestKey& Set(const char* name, DWORD type, const void* data, size_t size) const;

    base::UniqueKey m_key;
};

// An ordinary template key "Software\Ostrel\Allotrix\Templates\<name>".
TestKey OrdinaryTemplate(const std::string& name);
// A fallback template key among the filter driver's parameters.
TestKey FallbackTemplate(const std::string& name);

// Removes every template, both fallback templates and the report sets.
void RemoveAllTemplates();

// This computer's name as GetComputerNameA gives it.
std::string LocalComputerName();
