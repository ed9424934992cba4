#include "bench/scale_figures.h"

#include <cmath>
#include <cstdio>

void PrintScaleTable(const std::vector<int>& sizes, const std::vector<ScaleFigure>& figures) {
    printf("\n%-44s", "figure");
    for (int size : sizes)
        printf(" %10d", size);
    printf("   growth per 10x       bound at 100,000\n");
    for (const ScaleFigure& figure : figures) {
        printf("%-44s", figure.name.c_str());
        for (double value : figure.values) {
            if (value < 0)
                printf(" %10s", "-");
            else
                printf(" %10.1f", value);
        }
        std::string growth;
        for (size_t i = 1; i < figure.values.size(); ++i) {
            double before = figure.values[i - 1], after = figure.values[i];
            double tenfolds = std::log10(double(sizes[i]) / sizes[i - 1]);
            char text[32] = "   -";
            if (before > 0 && after >= 0 && tenfolds > 0)
                snprintf(text, sizeof text, " x%.1f", std::pow(after / before, 1 / tenfolds));
            growth += text;
        }
        printf("   %-20s %s\n", growth.c_str(), figure.bound.c_str());
    }
}
