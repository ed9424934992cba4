#include "base/resource_text.h"

namespace base {

std::string LoadText(UINT id, HINSTANCE instance) {
    char text[1024];
    const int length = LoadStringA(instance ? instance : GetModuleHandleA(nullptr), id, text,
                                   static_cast<int>(sizeof text));
    return std::string(text, length > 0 ? static_cast<size_t>(length) : 0);
}

std::string FormatText(const std::string& pattern, std::initializer_list<std::string> arguments) {
    std::string text;
    auto next = arguments.begin();
    for (size_t at = 0; at < pattern.size(); ++at) {
        if (pattern.compare(at, 2, "%s") == 0 && next != arguments.end()) {
            text += *next++;
            ++at;
        } else {
            text += pattern[at];
        }
    }
    return text;
}

std::string LoadFormattedText(UINT id, std::initializer_list<std::string> arguments) {
    return FormatText(LoadText(id), arguments);
}

} // namespace base
