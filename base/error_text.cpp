#include "base/error_text.h"

#include <cstring>

namespace {

struct FixedText {
    DWORD code;
    const char* text;
};

constexpr FixedText kNetworkTexts[] = {
    {5, "The user does not have access to the requested information."},
    {123, "The name could not be found."},
    {124, "The Level parameter specifies an invalid value."},
    {2351, "The computer name is invalid."},
    {2453, "Could not find the domain controller for the domain."},
};

bool IsWritable(void* buffer, DWORD size) {
    if (!buffer || size == 0)
        return false;
    auto* at = static_cast<char*>(buffer);
    char* const end = at + size;
    constexpr DWORD kWritable =
        PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    while (at < end) {
        MEMORY_BASIC_INFORMATION info;
        if (!VirtualQuery(at, &info, sizeof info) || info.State != MEM_COMMIT ||
            !(info.Protect & kWritable) || (info.Protect & PAGE_GUARD))
            return false;
        at = static_cast<char*>(info.BaseAddress) + info.RegionSize;
    }
    return true;
}

} // namespace

DWORD GetErrorText(DWORD code, char* buffer, DWORD size) {
    if (!IsWritable(buffer, size)) {
        SetLastError(ERROR_NOACCESS);
        return GetLastError();
    }
    DWORD length =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                       MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), buffer, size, nullptr);
    if (length > 0)
        return length;
    buffer[0] = '\0';
    for (const FixedText& fixed : kNetworkTexts) {
        if (fixed.code == code) {
            lstrcpynA(buffer, fixed.text, static_cast<int>(size));
            return static_cast<DWORD>(strlen(buffer));
        }
    }
    return 0;
}

std::string ErrorText(DWORD code, DWORD bufferSize) {
    std::string text(bufferSize, '\0');
    text.resize(GetErrorText(code, text.data(), bufferSize));
    return text;
}

std::string ErrorLine(DWORD code) {
    std::string text = ErrorText(code);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text.empty() ? "error " + std::to_string(code) : text;
}
