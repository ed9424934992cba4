// The three output forms of a report: a text table in columns, an HTML page, comma-delimited
// values with a heading line.
#include "services/axpolicy/reports.h"

#include <algorithm>

namespace {

std::string HtmlEscaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string CommaField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string out = "\"";
    for (char c : text)
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

std::string Ascii(const ReportTable& report) {
    std::string out = report.title + "\r\n" + std::string(report.title.size(), '=') + "\r\n";
    for (const std::string& note : report.notes)
        out += note + "\r\n";
    out += "\r\n";
    std::vector<size_t> widths;
    for (const std::string& column : report.columns)
        widths.push_back(column.size());
    for (const auto& row : report.rows)
        for (size_t i = 0; i < row.size() && i < widths.size(); ++i)
            widths[i] = std::max(widths[i], row[i].size());
    auto line = [&](const std::vector<std::string>& cells) {
        std::string text;
        for (size_t i = 0; i < cells.size() && i < widths.size(); ++i) {
            std::string cell = cells[i];
            if (i + 1 < cells.size())
                cell.resize(widths[i] + 2, ' ');
            text += cell;
        }
        return text + "\r\n";
    };
    out += line(report.columns);
    std::vector<std::string> rule;
    for (size_t width : widths)
        rule.push_back(std::string(width, '-'));
    out += line(rule);
    for (const auto& row : report.rows)
        out += line(row);
    if (report.rows.empty())
        out += "(nothing to report)\r\n";
    return out;
}

std::string Html(const ReportTable& report) {
    std::string title = HtmlEscaped(report.title);
    std::string out = "<!DOCTYPE html>\r\n<html><head><meta charset=\"windows-1252\"><title>" +
                      title + "</title></head>\r\n<body>\r\n<h1>" + title + "</h1>\r\n";
    for (const std::string& note : report.notes)
        out += "<p>" + HtmlEscaped(note) + "</p>\r\n";
    out += "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">\r\n<tr>";
    for (const std::string& column : report.columns)
        out += "<th>" + HtmlEscaped(column) + "</th>";
    out += "</tr>\r\n";
    for (const auto& row : report.rows) {
        out += "<tr>";
        for (const std::string& cell : row)
            out += "<td>" + HtmlEscaped(cell) + "</td>";
        out += "</tr>\r\n";
    }
    return out + "</table>\r\n</body></html>\r\n";
}

std::string Comma(const ReportTable& report) {
    auto line = [](const std::vector<std::string>& cells) {
        std::string text;
        for (size_t i = 0; i < cells.size(); ++i)
            text += (i ? "," : "") + CommaField(cells[i]);
        return text + "\r\n";
    };
    std::string out = line(report.columns);
    for (const auto& row : report.rows)
        out += line(row);
    return out;
}

} // namespace

ReportFormat FormatOfPolicy(uint32_t policyBits) {
    if (policyBits & PolFormatHtml)
        return ReportFormat::Html;
    if (policyBits & PolFormatComma)
        return ReportFormat::Comma;
    return ReportFormat::Ascii;
}

const char* ExtensionOf(ReportFormat format) {
    switch (format) {
    case ReportFormat::Html:
        return ".htm";
    case ReportFormat::Comma:
        return ".csv";
    default:
        return ".txt";
    }
}

std::string FormatReport(const ReportTable& report, ReportFormat format) {
    switch (format) {
    case ReportFormat::Html:
        return Html(report);
    case ReportFormat::Comma:
        return Comma(report);
    default:
        return Ascii(report);
    }
}
