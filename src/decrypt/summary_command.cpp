#include "decrypt/command_messages.h"
#include "decrypt/companion_commands.h"
#include "decrypt/file_access.h"
#include "decrypt/output_file.h"
#include "decrypt/report_opening.h"
#include "decrypt/text_encoding.h"
#include "decrypt/triage_summary.h"

int summaryCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    VerbArguments split;
    if (!splitArguments(arguments, {"--json"}, {"--html"}, split) || split.words.empty() || split.words.size() > 2) {
        printUsage(err);
        return kExitUsage;
    }
    COpenedReport report;
    std::string why;
    if (!openReportArgument(report, split.words[0], split.words.size() == 2 ? &split.words[1] : nullptr, err, why)) {
        return failWith(err, why);
    }
    const TriageSummary summary = summariseReport(report);
    if (const auto html = split.value("--html")) {
        if (isSameFile(pathFromUtf8(*html), pathFromUtf8(split.words[0]))) {
            return failWith(err, "the page would replace the report itself; choose another name");
        }
        const std::string page = summaryHtml(summary);
        if (!writeOutputFile(pathFromUtf8(*html), page.data(), page.size(), true)) {
            return failWith(err, "cannot write " + *html);
        }
        err << "VosselPRTDecrypt: wrote " << *html << "\n";
    }
    if (split.has("--json")) {
        out << summaryJson(summary);
    } else if (!split.value("--html")) {
        out << summaryText(summary);
    }
    return kExitDone;
}
