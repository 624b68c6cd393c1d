#pragma once

#include <map>
#include <string>

#include "report/ap_report.h"

// The report as the command line asks for it: the option map, and the generation of the report in
// its fixed order of stages.
class CCmdApReport : public CApReport {
public:
    CCmdApReport() = default;
    ~CCmdApReport() override = default;

    // True when the options were read and applied; false means no report is made.
    bool parseCommandLine();
    // False only when default settings were needed and could not be made.
    bool applyOptions();

    // The option's value when it was given with a non-empty value; otherwise fallback.
    std::wstring getOptionValue(const std::wstring& name, const std::wstring& fallback) const;
    // True when the option is absent or empty; otherwise its value read as a decimal number, so
    // "0" clears the flag and any other number sets it (text that is no number reads as 0).
    bool getOptionFlag(const std::wstring& name) const;

    // Runs the report stages in order. Reports false on every path; the caller does not look.
    bool generateReport();

    // Prints what generateReport would put into the report, as text or as JSON, and does nothing
    // else: the working files and dumps the run would make are listed, not made.
    void previewReport(bool json);

    // The path the report is meant for; empty until the report generation has settled it.
    const std::wstring& outputPath() const { return outputPath_; }

private:
    // Names keep their leading "/" and compare exactly, case included.
    std::map<std::wstring, std::wstring> options_;
    std::wstring outputPath_;
};
