#include <algorithm>
#include <sstream>

#include "decrypt/text_encoding.h"
#include "decrypt/triage_summary.h"

std::string summaryText(const TriageSummary& summary)
{
    std::ostringstream out;
    const std::vector<SummarySection> sections = summarySections(summary);
    for (const SummarySection& section : sections) {
        out << (&section == &sections.front() ? "" : "\n") << section.title << "\n";
        for (const SummaryBlock& block : section.blocks) {
            if (block.kind == SummaryBlock::Kind::row) {
                std::string label = "  " + printable(block.label) + ":";
                label.resize(std::max<std::size_t>(label.size() + 1, 18), ' ');
                out << label << (block.value.empty() ? "not recorded" : printable(block.value)) << "\n";
            } else if (block.kind == SummaryBlock::Kind::lines) {
                for (const std::string& line : block.lines) {
                    out << "  " << printable(line) << "\n";
                }
                if (block.lines.empty()) {
                    out << "  " << block.label << "\n";
                }
            }
        }
    }
    return out.str();
}
