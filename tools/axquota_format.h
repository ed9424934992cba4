// Sizes and quota states as axquota reads and prints them.
#pragma once

#include "client/records.h"

#include <cstdint>
#include <string>

// "0 B", "512 B", "1.5 KB", "20.0 MB", "3.25 GB": binary units, three significant digits.
std::string FormatBytes(uint64_t bytes);
// Reads "1048576", "512K", "1.5MB", "2 GB", "10g" (binary units, case ignored); false when the
// text is not a whole number of bytes in that form or does not fit 64 bits.
bool ParseBytes(const std::string& text, uint64_t& bytes);
// Reads thresholds "90,80,70": up to five percentages of 0 to 255, the non-zero ones highest
// first (0 clears a threshold). Returns what is wrong with the text, or "" when it is good.
std::string ParseThresholds(const std::string& text, uint8_t (&values)[kThresholdCount],
                            int& count);

// Percent of the permanent quota in use; -1 when the record has no quota in bytes.
int PercentUsed(const AllotrixBaseDbRec& record);
// "scan pending", "scanning", "over quota", "threshold N" (the highest threshold reached), "ok".
std::string QuotaState(const AllotrixBaseDbRec& record);

// One field of a comma-separated line (RFC 4180): quoted, with its quotes doubled, when it holds
// a comma, a quote or a line break; as it stands otherwise.
std::string CsvField(const std::string& text);
// The header line and one line per quota of "axquota list -csv", without the line end: sizes in
// bytes and the percentage as plain numbers (empty when the quota is not a size).
std::string QuotaCsvHeader();
std::string QuotaCsvLine(const AllotrixBaseDbRec& record);
