#include "report/ap_report.h"

void CApReport::saveReport()
{
}

void CApReport::moveReportToOutput(const std::wstring&)
{
}
