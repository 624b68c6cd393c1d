#include <algorithm>
#include <sstream>

#include "decrypt/text_encoding.h"
#include "decrypt/triage_summary.h"

namespace {

std::string escaped(const std::string& text)
{
    std::string out;
    for (const char c : printable(text)) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out += c;
        }
    }
    return out;
}

// "10:13" of a minute "2026-12-09 10:13", "09:00" of an hour "2026-12-09 09".
std::string timeOfDay(const std::string& period)
{
    const std::string time = period.size() > 11 ? period.substr(11) : period;
    return time.size() == 2 ? time + ":00" : time;
}

// The error lines over time as bars, drawn inline: the page loads nothing from anywhere.
std::string errorChart(const std::vector<std::pair<std::string, std::size_t>>& periods)
{
    if (periods.empty()) {
        return "<p class=\"none\">no error line with a time</p>\n";
    }
    std::size_t most = 1;
    for (const auto& period : periods) {
        most = std::max(most, period.second);
    }
    const int barWidth = 34;
    const int gap = 6;
    const int height = 120;
    const int width = static_cast<int>(periods.size()) * (barWidth + gap) + gap;
    std::ostringstream svg;
    svg << "<figure><svg xmlns=\"http://www.w3.org/2000/svg\" role=\"img\" aria-label=\"Error lines over time\" width=\""
        << width << "\" height=\"" << height + 20 << "\" viewBox=\"0 0 " << width << " " << height + 20 << "\">\n";
    int x = gap;
    for (const auto& [period, count] : periods) {
        const int bar = static_cast<int>(static_cast<double>(count) * (height - 14) / static_cast<double>(most));
        svg << "<rect class=\"bar\" x=\"" << x << "\" y=\"" << height - bar << "\" width=\"" << barWidth << "\" height=\""
            << bar << "\"><title>" << escaped(period) << ": " << count << "</title></rect>"
            << "<text x=\"" << x + barWidth / 2 << "\" y=\"" << height - bar - 3 << "\">" << count << "</text>"
            << "<text x=\"" << x + barWidth / 2 << "\" y=\"" << height + 14 << "\">" << escaped(timeOfDay(period))
            << "</text>\n";
        x += barWidth + gap;
    }
    svg << "<line x1=\"0\" y1=\"" << height << "\" x2=\"" << width << "\" y2=\"" << height << "\"/>\n</svg>\n"
        << "<figcaption>Error lines per " << (periods.front().first.size() > 13 ? "minute" : "hour") << ", from "
        << escaped(periods.front().first) << " to " << escaped(periods.back().first) << "</figcaption></figure>\n";
    return svg.str();
}

const char* const kStyle =
    "body{font:14px/1.4 system-ui,sans-serif;margin:2em;color:#1b1b1b}"
    "h1{font-size:1.4em}h2{font-size:1.1em;border-bottom:1px solid #ccc;padding-bottom:.2em;margin-top:1.6em}"
    "table{border-collapse:collapse}th{text-align:left;padding:.15em 1.2em .15em 0;vertical-align:top;font-weight:600}"
    "td{padding:.15em 0}.none{color:#888}pre{background:#f5f5f5;padding:.6em;overflow-x:auto}"
    "rect.bar{fill:#c0392b}svg text{font-size:10px;text-anchor:middle;fill:#333}svg line{stroke:#999}";

} // namespace

std::string summaryHtml(const TriageSummary& summary)
{
    std::ostringstream body;
    for (const SummarySection& section : summarySections(summary)) {
        body << "<section><h2>" << escaped(section.title) << "</h2>\n";
        bool inTable = false;
        for (const SummaryBlock& block : section.blocks) {
            if ((block.kind == SummaryBlock::Kind::row) != inTable) {
                body << (inTable ? "</table>\n" : "<table>\n");
                inTable = !inTable;
            }
            if (block.kind == SummaryBlock::Kind::row) {
                body << "<tr><th>" << escaped(block.label) << "</th><td"
                     << (block.value.empty() ? " class=\"none\">not recorded" : ">" + escaped(block.value))
                     << "</td></tr>\n";
            } else if (block.kind == SummaryBlock::Kind::chart) {
                body << errorChart(summary.errorsOverTime);
            } else if (block.lines.empty()) {
                body << "<p class=\"none\">" << escaped(block.label) << "</p>\n";
            } else {
                body << "<pre>";
                for (const std::string& line : block.lines) {
                    body << escaped(line) << "\n";
                }
                body << "</pre>\n";
            }
        }
        body << (inTable ? "</table>\n" : "") << "</section>\n";
    }
    std::ostringstream html;
    // Self-contained: the policy lets the page load nothing at all, its style being inline.
    html << "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">\n"
         << "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; style-src 'unsafe-inline'\">\n"
         << "<title>Problem report " << escaped(summary.reportName) << "</title>\n<style>" << kStyle << "</style></head>\n"
         << "<body>\n<h1>Problem report " << escaped(summary.reportName) << "</h1>\n"
         << body.str() << "</body></html>\n";
    return html.str();
}
