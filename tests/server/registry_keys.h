// Registry keys the template tests write under HKEY_LOCAL_MACHINE of the test prefix.
#pragma once

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
    ~TestKey();
    TestKey(const TestKey&) = delete;
    TestKey& operator=(const TestKey&) = delete;

    TestKey Sub(const std::string& name) const { return TestKey(m_key, name); }
    TestKey(TestKey&& other) noexcept : m_key(other.m_key) { other.m_key = nullptr; }

    const TestKey& String(const char* name, const std::string& text) const;
    const TestKey& Dword(const char* name, uint32_t value) const;
    const TestKey& Binary(const char* name, const void* data, size_t size) const;

private:
    HKEY m_key = nullptr;
};

// An ordinary template key "Software\Ostrel\Allotrix\Templates\<name>".
TestKey OrdinaryTemplate(const std::string& name);
// A fallback template key among the filter driver's parameters.
TestKey FallbackTemplate(const std::string& name);

// Removes every template, both fallback templates and the report sets.
void RemoveAllTemplates();

// This computer's name as GetComputerNameA gives it.
std::string LocalComputerName();
