#include "report/ap_report.h"

#include "base/stage_guard.h"
#include "crypto/report_saving.h"

CApReport::CApReport()
{
    // Both exports are taken now, once: what the client changes later does not reach the report.
    runStage(L"service exports", [this] {
        getServiceText(0);
        getServiceText(1);
    });
}

CApReport::~CApReport() = default;

void CApReport::saveReport()
{
    tempReportPath_ = saveReportArchive(archive_, getArchiveFileName());
}

void CApReport::moveReportToOutput(const std::wstring& outputPath)
{
    reportReachedOutput_ = moveReportFile(tempReportPath_, outputPath);
}
