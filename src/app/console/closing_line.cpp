#include "app/console/closing_line.h"

#include <cwchar>

std::wstring reasonText(NoReportReason reason, const std::wstring& outputPath)
{
    switch (reason) {
    case NoReportReason::NoTemporaryFolder:
        return L"no usable temporary folder (TMP and TEMP name none, or one whose path is too long); "
               L"nothing was written or deleted";
    case NoReportReason::AnotherInstance:
        return L"another instance of VosselPRT is running in this session";
    case NoReportReason::NoClientWindow:
        return L"the running Vossel client was not found (no client window to ask for its material)";
    case NoReportReason::CommandLineUnreadable:
        return L"the command line could not be read";
    case NoReportReason::NoSettings:
        return L"the client wrote no settings file and no default settings could be made";
    case NoReportReason::OutputIsWorkingFile:
        return L"the output file " + outputPath + L" is one of the tool's working files, which the run deletes at its end";
    case NoReportReason::OutputIsDeletedLog:
        return L"the output file " + outputPath + L" is named like the logs that \"DeleteLogs\" deletes at the end of the run";
    case NoReportReason::OutputFileKept:
        return L"the output file " + outputPath + L" exists and \"/overwrite 0\" keeps it";
    case NoReportReason::OutputFileNotReplaceable:
        return L"the output file " + outputPath + L" exists and cannot be replaced";
    case NoReportReason::ArchiveCannotBegin:
        return L"the report archive could not be begun";
    case NoReportReason::NoCertificate:
        return L"encryption is switched on and its certificate was not found";
    case NoReportReason::NotSaved:
        return L"the report could not be saved in the temporary folder";
    case NoReportReason::MoveFailed:
        return L"the report could not be moved to " + outputPath;
    case NoReportReason::None:
    case NoReportReason::EndedEarly:
        break;
    }
    return L"the run ended before the report was saved";
}

std::wstring formatReportSize(std::uint64_t bytes)
{
    const double megabytes = static_cast<double>(bytes) / 1048576.0;
    if (bytes > 0 && megabytes < 0.005) {
        return L"less than 0.01 MB";
    }
    wchar_t text[64] = {};
    std::swprintf(text, 64, megabytes < 10.0 ? L"%.2f MB" : L"%.1f MB", megabytes);
    return text;
}

std::wstring formatClosingLine(const RunOutcome& outcome, const std::wstring& logPath)
{
    if (!outcome.reportWritten) {
        std::wstring line = L"No report was made: " + reasonText(outcome.reason, outcome.outputPath);
        if (outcome.reason == NoReportReason::NoTemporaryFolder) {
            return line;
        }
        if (!outcome.keptReportPath.empty()) {
            line += L"; the report is kept at " + outcome.keptReportPath;
        }
        return line + L". See the diagnostic log " + logPath;
    }
    std::wstring details = L" (" + std::to_wstring(outcome.entries)
        + (outcome.entries == 1 ? L" entry, " : L" entries, ") + formatReportSize(outcome.bytes) + L")";
    if (outcome.leftOut > 0) {
        details += L"; " + std::to_wstring(outcome.leftOut) + (outcome.leftOut == 1 ? L" entry was" : L" entries were")
            + L" left out, the diagnostic log PRT.txt in it names them";
    }
    if (outcome.certificateSubject.empty()) {
        return L"Report written to " + outcome.outputPath + details;
    }
    return L"Report encrypted for " + outcome.certificateSubject + L" and written to " + outcome.outputPath
        + details;
}
