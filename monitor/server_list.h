// The ";"-separated list of monitored server names.
#pragma once

#include <string>
#include <vector>

namespace monitor {

// The names before each ";" of `list`, in order; a missing last ";" is supplied.
std::vector<std::string> SplitServerList(std::string list);

} // namespace monitor
