// A progress bar cell: the share of its width the value fills and its caption. (The bars as the
// monitor colours them are checked with its cell rules.)
#include "grid/grid_ids.h"
#include "grid/grid_progress.h"

#include <gtest/gtest.h>

TEST(GridProgress, FillsTheValuesShareAndCaptionsItAsTheMaskSays) {
    struct Case {
        const char *value, *upper, *caption;
        int filled; // of 199 pixels
        const char* shown;
    };
    for (Case c :
         {Case{"5", nullptr, nullptr, 9, "5 %"}, Case{"90", "100", "%ld", 179, "90"},
          Case{"150", "150", nullptr, 199, "150 %"}, Case{"300", nullptr, nullptr, 199, "300 %"},
          Case{"-3", nullptr, nullptr, 0, "-3 %"}, Case{"7", "0", nullptr, 0, "7 %"}}) {
        CGridStyle style = CGridStyle().SetValue(c.value);
        if (c.upper)
            style.SetUserAttribute(GRID_IDS_UA_PROGRESS_UPPER, c.upper);
        if (c.caption)
            style.SetUserAttribute(GRID_IDS_UA_PROGRESS_CAPTION, c.caption);
        const CGridProgressValues values = CGridProgressCtrl::ReadValues(style);
        EXPECT_EQ(c.filled, values.FilledWidth(199)) << c.value;
        EXPECT_EQ(c.shown, values.caption) << c.value;
    }
}
