// The macros a threshold's message, command and mail subject may hold ("[USER]",
// "[PERCENT USED]", ...), replaced by the values of the quota that crossed the threshold.
#pragma once

#include "client/records.h"

#include <string>

struct MacroContext {
    const AllotrixDbRec& record;
    int threshold;          // 1 to 5
    std::string user;       // "DOMAIN\name": the quota's owner, or the owner of the object's folder
    std::string server;     // this computer's name
    std::string openedFile; // the newest file below the object
};

// Replaces every macro in `text` (in any case); other bracketed words stay as they are.
std::string ExpandMacros(const std::string& text, const MacroContext& context);

// The account that owns `path` ("DOMAIN\name"), empty when it cannot be read.
std::string PathOwner(const std::string& path);
// The most recently written file below `folder` (searched to a bounded number of entries).
std::string NewestFile(const std::string& folder);
