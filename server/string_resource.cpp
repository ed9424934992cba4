#include "server/string_resource.h"

std::string LoadResourceString(UINT id) {
    char text[1024];
    int length = LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text);
    return std::string(text, length > 0 ? length : 0);
}
