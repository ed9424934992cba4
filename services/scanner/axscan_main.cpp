// axscan: walks folder trees for the usage scanner of the quota service, which starts it (see
// services/scanner/walk_helpers.h). Answers each walk request on its standard input with a reply
// on its standard output, one at a time, and ends when its input ends: when the scanner closes
// its pipe or is itself gone.
#include <windows.h>

#include <cstdio>

#include "services/scanner/walk_protocol.h"

int main(int argc, char**) {
    if (argc > 1) {
        fputs("axscan walks folder trees for the quota service (axserver), which starts it and\n"
              "speaks to it through its standard input and output; it takes no arguments.\n",
              stderr);
        return 2;
    }
    // No dialog for a crash or a drive without a medium: the scanner reads a failure instead.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    std::deque<std::string> pending;
    uint32_t budget = 0;
    while (ReadWalkRequest(input, pending, budget)) {
        WalkTotals totals;
        WalkFolders(pending, totals, budget);
        if (!WriteWalkReply(output, totals, {pending.begin(), pending.end()}))
            return 1;
    }
    return 0;
}
