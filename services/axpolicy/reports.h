// The eight built-in reports a threshold can generate on its object, and their three output
// forms.
#pragma once

#include "client/records.h"

#include <string>
#include <vector>

struct ReportTable {
    std::string title;              // the report's kind: "Large Files", ...
    std::string fileStem;           // its file name without extension: "LargeFiles"
    std::vector<std::string> notes; // lines above the table (object, time, ...)
    std::vector<std::string> columns;
    std::vector<std::vector<std::string>> rows;
};

enum class ReportFormat { Ascii, Html, Comma };

// The format the action's bits choose: HTML, comma-delimited, else Ascii.
ReportFormat FormatOfPolicy(uint32_t policyBits);
const char* ExtensionOf(ReportFormat format); // ".txt", ".htm", ".csv"

// Builds every report whose bit (PolReportAged ... PolReportUsageByOwner) is set in
// `policyBits`, over the files of the record's object (and, for an owner's quota, that owner's
// share of them in the summary).
std::vector<ReportTable> BuildReports(uint32_t policyBits, const AllotrixBaseDbRec& record,
                                      int threshold);

std::string FormatReport(const ReportTable& report, ReportFormat format);
