#include "settings/report_options.h"

namespace {

struct ReportOptions {
    std::wstring reportFilePath;
    std::wstring attachFilePath;
    bool dntDumpEnabled = false;
};

ReportOptions& reportOptions()
{
    static ReportOptions options;
    return options;
}

} // namespace

void setReportFilePath(const std::wstring& path) { reportOptions().reportFilePath = path; }
std::wstring getReportFilePath() { return reportOptions().reportFilePath; }
void setAttachFilePath(const std::wstring& path) { reportOptions().attachFilePath = path; }
std::wstring getAttachFilePath() { return reportOptions().attachFilePath; }
void setDntDumpEnabled(bool enabled) { reportOptions().dntDumpEnabled = enabled; }
bool isDntDumpEnabled() { return reportOptions().dntDumpEnabled; }
