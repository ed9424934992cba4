// The sub-pages of the threshold pages, in the order of their configuration list.
#include "quota/threshold_subpage.h"

namespace quota {

ThresholdSubPages MakeThresholdSubPages(int /*serverKind*/) {
    ThresholdSubPages pages;
    pages.push_back(MakeActivationSubPage());
    pages.push_back(MakeMessageSubPage());
    pages.push_back(MakeCommandSubPage());
    return pages;
}

} // namespace quota
