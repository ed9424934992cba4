#include "monitor/resource_text.h"

namespace monitor {

std::string LoadResourceText(UINT id) {
    char text[1024];
    const int length = LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text);
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

} // namespace monitor
