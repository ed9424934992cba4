// The figures of the scale benchmark at each size, printed as one table with the growth of each
// figure per tenfold size, so that a figure growing faster than the number of quotas shows.
#pragma once

#include <string>
#include <vector>

struct ScaleFigure {
    std::string name;
    std::string bound;          // the bound at 100,000 quotas, as text ("< 400"), or empty
    std::vector<double> values; // one per size; negative when not measured
};

void PrintScaleTable(const std::vector<int>& sizes, const std::vector<ScaleFigure>& figures);
