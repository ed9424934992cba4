// The messages between the usage scanner and its helper processes (axscan) over a pair of pipes.
// A request names folders and a budget of entries; the reply carries the totals of what the
// helper listed below those folders and the folders it left unlisted when the budget ran out, for
// the scanner to give out again. Every read is checked: a reply that is cut short or malformed
// (a helper that died, or a helper program of another build) reads as a failure.
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "services/scanner/folder_listing.h"

bool WriteWalkRequest(HANDLE pipe, const std::vector<std::string>& folders, uint32_t budget);
bool ReadWalkRequest(HANDLE pipe, std::deque<std::string>& folders, uint32_t& budget);

bool WriteWalkReply(HANDLE pipe, const WalkTotals& totals, const std::vector<std::string>& left);
bool ReadWalkReply(HANDLE pipe, WalkTotals& totals, std::vector<std::string>& left);
