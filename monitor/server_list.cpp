#include "monitor/server_list.h"

namespace monitor {

std::vector<std::string> SplitServerList(std::string list) {
    if (list.empty() || list.back() != ';')
        list += ';';
    std::vector<std::string> names;
    size_t start = 0;
    for (size_t end = list.find(';'); end != std::string::npos;
         start = end + 1, end = list.find(';', start))
        names.push_back(list.substr(start, end - start));
    return names;
}

} // namespace monitor
