#include "decrypt/command_messages.h"
#include "decrypt/companion_commands.h"
#include "decrypt/report_opening.h"
#include "decrypt/report_verification.h"
#include "decrypt/text_encoding.h"

int verifyCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    VerbArguments split;
    if (!splitArguments(arguments, {}, {}, split) || split.words.empty() || split.words.size() > 2) {
        printUsage(err);
        return kExitUsage;
    }
    COpenedReport report;
    std::string why;
    if (!openReportArgument(report, split.words[0], split.words.size() == 2 ? &split.words[1] : nullptr, err, why)) {
        return failWith(err, why + "; the report is not whole");
    }
    const ReportVerification verification = verifyReport(report.archive());
    for (const std::string& problem : verification.problems) {
        out << "problem: " << problem << "\n";
    }
    const std::string name = printable(report.name());
    const std::string entries = std::to_string(verification.entries) + " entries";
    if (!verification.problems.empty()) {
        out << "not whole: " << name << " has " << verification.problems.size() << " problem"
            << (verification.problems.size() == 1 ? "" : "s") << " (" << entries << " read)\n";
        return kExitFailed;
    }
    if (!verification.hasManifest) {
        out << "older report: " << name << " has no manifest.json; its structure and the CRC-32 of all " << entries
            << " are right, but whether anything is missing cannot be told\n";
        return kExitOlderReport;
    }
    out << "whole: " << name << ", " << entries << ", every one as its manifest lists it (size, CRC-32, SHA-256)\n";
    return kExitDone;
}
